// The settings file on a real Windows (Wine) file system: what cannot be
// opened, files held by another program, read-only files and folders.
#include "common/SettingsFile.h"

#include "common/SettingsFormat.h"
#include "framework/core/exceptions.h"
#include "tests/common/settings_samples.h"
#include "tests/common/win_test_support.h"

namespace common {
namespace {

using test::ReadBytes;
using test::TScratchFolder;
using test::WriteBytes;

// Open without sharing, as an editor or a backup program may hold a file.
class TLockedFile {
public:
    explicit TLockedFile(const std::wstring& path)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {}
    ~TLockedFile() { Unlock(); }
    TLockedFile(const TLockedFile&) = delete;
    TLockedFile& operator=(const TLockedFile&) = delete;
    bool Locked() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Unlock() {
        if (Locked()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

TEST(SettingsFileOnDisk, WhatCannotBeOpenedKeepsTheValues) {
    TScratchFolder folder;
    struct Row {
        std::wstring path;
        TSettingsLoad result;
    };
    const Row rows[] = {
        {folder.Path() + L"gsf", TSettingsLoad::Missing},
        {folder.Path() + L"no such folder\\gsf", TSettingsLoad::Missing},
        {folder.Path(), TSettingsLoad::Unreadable},  // a folder
    };
    for (const Row& r : rows) {
        TGeneralSettings settings = test::ChangedSettings();
        EXPECT_EQ(TSettingsFile(r.path).Load(settings), r.result) << r.path;
        EXPECT_EQ(settings, test::ChangedSettings()) << r.path;
    }
}

TEST(SettingsFileOnDisk, BadNumberIsRaisedAfterTheFileIsClosed) {
    TScratchFolder folder;
    const std::wstring path = folder.Path() + L"gsf";
    WriteBytes(path, "1\r\n1\r\nthree\r\n");
    TGeneralSettings settings;
    try {
        TSettingsFile(path).Load(settings);
        ADD_FAILURE() << "no exception";
    } catch (const fw::EInOutError& e) {
        EXPECT_EQ(e.Message(), L"Invalid numeric input");
        TLockedFile noOtherHandle(path);
        EXPECT_TRUE(noOtherHandle.Locked());
    }
    EXPECT_EQ(settings.Language, 1);
    EXPECT_EQ(settings.Theme, 1);
    EXPECT_EQ(settings.WindowTop, 0);
}

// Held by another program at start-up: the user's settings must survive the
// save at close, whether the file is still held then or not.
TEST(SettingsFileOnDisk, FileHeldByAnotherProgramIsNeverOverwritten) {
    TScratchFolder folder;
    const std::wstring path = folder.Path() + L"gsf";
    const std::string users = WriteGeneralSettings(test::ChangedSettings());
    WriteBytes(path, users);
    TLockedFile lock(path);
    ASSERT_TRUE(lock.Locked());
    TSettingsFile file(path);
    TGeneralSettings settings;
    EXPECT_EQ(file.Load(settings), TSettingsLoad::Unreadable);
    EXPECT_EQ(settings, TGeneralSettings{});

    EXPECT_FALSE(file.Save(settings));  // still held: it can be neither kept nor replaced
    lock.Unlock();
    EXPECT_EQ(ReadBytes(path), users);

    ASSERT_TRUE(file.Save(settings));
    EXPECT_EQ(file.KeptFile().wstring(), path + L".unreadable");
    EXPECT_EQ(ReadBytes(path + L".unreadable"), users);
    EXPECT_EQ(ReadBytes(path), WriteGeneralSettings(settings));
}

TEST(SettingsFileOnDisk, FailedSaveLeavesTheOldFileAsItWas) {
    TScratchFolder folder;
    const std::wstring path = folder.Path() + L"gsf";
    const std::string old = WriteGeneralSettings(TGeneralSettings{});
    WriteBytes(path, old);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(TSettingsFile(path).Save(test::ChangedSettings()));
    EXPECT_EQ(ReadBytes(path), old);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST(SettingsFileOnDisk, SaveThatCannotWriteLeavesNothingBehind) {
    struct Row {
        const char* name;
        const wchar_t* file;
        const wchar_t* folder;  // made before the save, if any
    };
    const Row rows[] = {
        {"settings folder missing", L"settings\\gsf", nullptr},
        {"name taken by a folder", L"gsf", L"gsf"},
    };
    for (const auto& r : rows) {
        TScratchFolder folder;
        if (r.folder) test::MakeFolders(folder.Path() + r.folder);
        EXPECT_FALSE(TSettingsFile(folder.Path() + r.file).Save(test::ChangedSettings())) << r.name;
        EXPECT_FALSE(test::PathExists(folder.Path() + r.file + L".tmp")) << r.name;
        EXPECT_FALSE(test::PathExists(folder.Path() + L"settings")) << r.name;
    }
}

}  // namespace
}  // namespace common
