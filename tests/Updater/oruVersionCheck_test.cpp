// The version-check file's lines, build numbers, installer names and the
// update server's override.
#include "Updater/oruVersionCheck.h"

#include <gtest/gtest.h>

namespace oru {
namespace {

TEST(VersionCheckFile, ReadsItsLines) {
    std::wstring error;
    auto f = ParseVersionCheckFile(
        "Quorvex\r\n120\r\n-\r\nhttp://127.0.0.1/dl/\r\n-\r\nsetup.exe\r\n-\r\nRead this\r\n-\r\nOne\r\nTwo\r\n", error);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->LatestBuildText, L"120");
    EXPECT_EQ(f->DownloadBaseUrl, L"http://127.0.0.1/dl/");
    EXPECT_EQ(f->InstallerFileName, L"setup.exe");
    EXPECT_EQ(f->UpdateNotice, L"Read this");
    EXPECT_EQ(f->ReleaseNotes, (std::vector<std::wstring>{L"One", L"Two"}));
}

TEST(VersionCheckFile, OddInput) {
    struct Row {
        const char* what;
        std::string bytes;
        bool ok;
        std::wstring build, name, notice;
        size_t notes;
    } rows[] = {
        {"missing lines read as empty", "x\n7", true, L"7", L"", L"", 0},
        {"empty file", "", true, L"", L"", L"", 0},
        {"lone CR and LF line ends", "a\r9\nb\rhttp://h/\n\rs.msi\r\n\r\n\n\rnote", true, L"9", L"s.msi", L"", 1},
        {"8-bit text", "a\r\n5\r\n\r\n\r\n\r\nsetup.exe\r\n\r\nCaf\xe9 \x80\r\n", true, L"5", L"setup.exe", L"Caf\u00e9 \u20ac", 0},
        {"binary garbage", std::string("MZ\x90\0\x03\0\0\0", 8), false, L"", L"", L"", 0},
        {"huge file", std::string(kVersionCheckMaxBytes + 1, 'a'), false, L"", L"", L"", 0},
    };
    for (const auto& row : rows) {
        std::wstring error;
        auto f = ParseVersionCheckFile(row.bytes, error);
        ASSERT_EQ(f.has_value(), row.ok) << row.what;
        if (!f) {
            EXPECT_FALSE(error.empty()) << row.what;
            continue;
        }
        EXPECT_EQ(f->LatestBuildText, row.build) << row.what;
        EXPECT_EQ(f->InstallerFileName, row.name) << row.what;
        EXPECT_EQ(f->UpdateNotice, row.notice) << row.what;
        EXPECT_EQ(f->ReleaseNotes.size(), row.notes) << row.what;
    }
}

TEST(VersionCheckFile, BuildNumbers) {
    EXPECT_EQ(ParseBuildNumber(L"120"), 120u);
    EXPECT_EQ(ParseBuildNumber(L" 7 "), 7u);
    EXPECT_EQ(ParseBuildNumber(L"18446744073709551615"), UINT64_MAX);
    for (const wchar_t* bad : {L"", L" ", L"12a", L"-3", L"+3", L"1.2", L"0x10", L"18446744073709551616"})
        EXPECT_FALSE(ParseBuildNumber(bad)) << bad;
}

TEST(VersionCheckFile, InstallerNamesMustBePlain) {
    for (const wchar_t* good : {L"setup.exe", L"Quorvex Setup 1.2.MSI", L"a.b.exe"}) EXPECT_TRUE(IsPlainInstallerName(good)) << good;
    for (const wchar_t* bad : {L"", L"setup.bat", L"..\\setup.exe", L"../setup.exe", L"dir\\setup.exe", L"dir/setup.exe",
                               L"C:setup.exe", L"\\\\host\\share\\setup.exe", L"setup..exe", L".exe", L" setup.exe",
                               L"setup.exe ", L"set\tup.exe", L"setup.exe:stream.exe", L"se*up.exe", L"setup.exe.txt"})
        EXPECT_FALSE(IsPlainInstallerName(bad)) << bad;
}

TEST(VersionCheckFile, UpdateServerOverride) {
    EXPECT_EQ(VersionCheckUrl(kDefaultUpdateServer),
              L"http://update.morvane.com/download/applications/quorvex/versioncheck/versioncheck.txt");
    EXPECT_EQ(ReadUpdateServerOverride("; test server\r\nUpdateServer=127.0.0.1:8123\r\n"), L"127.0.0.1:8123");
    EXPECT_EQ(ReadUpdateServerOverride("UpdateServer= updates.example.org "), L"updates.example.org");
    for (const char* bad : {"", "Server=x", "UpdateServer=", "UpdateServer=h/x", "UpdateServer=u@h", "UpdateServer=h:0",
                            "UpdateServer=h:99999", "UpdateServer=h:8a", "UpdateServer=:80", "UpdateServer=h h"})
        EXPECT_FALSE(ReadUpdateServerOverride(bad)) << bad;
}

TEST(TransferTimeoutOverride, MillisecondsInRangeOnly) {
    EXPECT_EQ(ReadTransferTimeoutOverride("UpdateServer=h\r\nTransferTimeout= 1500 \r\n"), 1500u);
    for (const char* bad : {"", "TransferTimeout=", "TransferTimeout=99", "TransferTimeout=600001", "TransferTimeout=-5",
                            "TransferTimeout=4294967297", "TransferTimeout=1 5"})
        EXPECT_FALSE(ReadTransferTimeoutOverride(bad)) << bad;
}

}  // namespace
}  // namespace oru
