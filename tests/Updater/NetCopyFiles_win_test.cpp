// The Windows side of the transfer helpers: dates, folders, error texts.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "Updater/NetCopy.h"

namespace oru {
namespace {

TEST(NetCopyWin, DatesOfSystemAndFileTimes) {
    SYSTEMTIME st{};
    st.wYear = 2023;
    st.wMonth = 11;
    st.wDay = 14;
    st.wHour = 22;
    st.wMinute = 13;
    st.wSecond = 20;
    EXPECT_DOUBLE_EQ(NetCopyHttpDateToDateTime(st), EncodeDateTime(2023, 11, 14, 22, 13, 20, 0));
    FILETIME ft{};
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    EXPECT_DOUBLE_EQ(NetCopyFileTimeToDateTime(ft), EncodeDateTime(2023, 11, 14, 22, 13, 20, 0));

    // No date: the current local time.
    SYSTEMTIME now{};
    GetLocalTime(&now);
    TDateTime before = EncodeDateTime(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    TDateTime taken = NetCopyHttpDateToDateTime(SYSTEMTIME{});
    EXPECT_GE(taken, before);
    EXPECT_LT(taken - before, 60.0 / 86400.0);
}

TEST(NetCopyWin, FoldersAndUniqueNamesOnTheRealFileSystem) {
    wchar_t tmp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, tmp);
    std::wstring root = std::wstring(tmp) + L"nc-files-" + std::to_wstring(GetCurrentProcessId());
    std::filesystem::remove_all(root);
    TNcFileSystem& fs = NcWindowsFileSystem();
    std::wstring deep = root + L"\\a\\b\\c\\";
    EXPECT_FALSE(FolderExists(root, fs));
    EXPECT_TRUE(CreateFolderPath(deep, fs));
    EXPECT_TRUE(FolderExists(root + L"\\a\\b\\c", fs));
    EXPECT_TRUE(CreateFolderPath(deep, fs));  // already there
    std::wstring file = root + L"\\a\\setup.exe";
    EXPECT_EQ(UniqueFileName(file, fs), root + L"\\a\\setup(1).exe");
    CloseHandle(CreateFileW((root + L"\\a\\setup(1).exe").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    EXPECT_EQ(UniqueFileName(file, fs), root + L"\\a\\setup(2).exe");
    // A file in the way of a folder.
    EXPECT_FALSE(CreateFolderPath(root + L"\\a\\setup(1).exe\\sub", fs));
    std::filesystem::remove_all(root);
}

TEST(NetCopyWin, WinInetErrorTextComesFromWininetMessages) {
    std::wstring text = WinInetErrorText(12002);  // ERROR_INTERNET_TIMEOUT
    EXPECT_FALSE(text.empty());
    EXPECT_LE(text.size(), 255u);
    EXPECT_NE(text.back(), L'\n');
    EXPECT_EQ(WinInetErrorText(0x7FFFFFF0), L"");
    wchar_t sep = NcDecimalSeparator();
    EXPECT_TRUE(sep == L'.' || sep == L',') << static_cast<int>(sep);
}

}  // namespace
}  // namespace oru
