// The settings file on disk: loading, replacing and their error boxes.
#include "Display/kynSettingsFile.h"

#include "framework/core/exceptions.h"
#include "tests/Display/win_test_support.h"

namespace kyn {
namespace {

using test::ReadBytes;
using test::TBoxRecorder;
using test::TScratchFolder;
using test::TShownBox;
using test::WriteBytes;

TGeneralSettings Changed() {
    TGeneralSettings s;
    s.Language = 2;
    s.Theme = 1;
    s.LineThickness = 5;
    s.BackgroundColour = {0.0, 1.0, 0.0, 3, 0.0};
    s.ServerIP = L"127.0.0.1";
    s.ServerPort = 4000;
    return s;
}

TEST(SettingsFileOnDisk, SavesTheTextFormAndLoadsItBack) {
    TScratchFolder folder;
    const std::wstring path = folder.Path() + L"gsf";
    TBoxRecorder boxes;
    ASSERT_TRUE(SaveSettingsFile(path, Changed()));
    EXPECT_EQ(ReadBytes(path), WriteGeneralSettings(Changed()));
    EXPECT_FALSE(test::PathExists(path + L".tmp"));

    TGeneralSettings read;
    ASSERT_TRUE(LoadSettingsFile(path, read));
    EXPECT_EQ(read, Changed());
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST(SettingsFileOnDisk, MissingFileShowsTheBoxAndKeepsTheValues) {
    TScratchFolder folder;
    TBoxRecorder boxes;
    TGeneralSettings settings = Changed();
    for (const std::wstring& path : {folder.Path() + L"gsf", folder.Path() + L"no such folder\\gsf", folder.Path()}) {
        EXPECT_FALSE(LoadSettingsFile(path, settings));
    }
    EXPECT_EQ(settings, Changed());
    const std::vector<TShownBox> expected(3, {TMessageBoxKind::Error, L"General Settings File Loading Failed"});
    EXPECT_EQ(boxes.boxes, expected);
}

TEST(SettingsFileOnDisk, BadNumberIsRaisedAfterTheFileIsClosed) {
    TScratchFolder folder;
    const std::wstring path = folder.Path() + L"gsf";
    WriteBytes(path, "1\r\n1\r\nthree\r\n");
    TGeneralSettings settings;
    try {
        LoadSettingsFile(path, settings);
        ADD_FAILURE() << "no exception";
    } catch (const fw::EInOutError& e) {
        EXPECT_EQ(e.Message(), L"Invalid numeric input");
        // Opening without sharing succeeds only when no other handle is open.
        HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
    EXPECT_EQ(settings.Language, 1);
    EXPECT_EQ(settings.Theme, 1);
    EXPECT_EQ(settings.WindowTop, 0);
}

TEST(SettingsFileOnDisk, FailedSaveLeavesTheOldFileAsItWas) {
    struct Row {
        const char* name;
        void (*obstruct)(const std::wstring& path);
    };
    const Row rows[] = {
        {"temporary file cannot be created", [](const std::wstring& p) { test::MakeFolders(p + L".tmp"); }},
        {"old file is read-only",
         [](const std::wstring& p) { SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_READONLY); }},
    };
    for (const auto& r : rows) {
        TScratchFolder folder;
        const std::wstring path = folder.Path() + L"gsf";
        const std::string old = WriteGeneralSettings(TGeneralSettings{});
        WriteBytes(path, old);
        r.obstruct(path);
        TBoxRecorder boxes;
        EXPECT_FALSE(SaveSettingsFile(path, Changed())) << r.name;
        EXPECT_EQ(ReadBytes(path), old) << r.name;
        EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{{TMessageBoxKind::Error, L"General Setting File Saving Failed"}}))
            << r.name;
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
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
        TBoxRecorder boxes;
        EXPECT_FALSE(SaveSettingsFile(folder.Path() + r.file, Changed())) << r.name;
        EXPECT_FALSE(test::PathExists(folder.Path() + r.file + L".tmp")) << r.name;
        EXPECT_FALSE(test::PathExists(folder.Path() + L"settings")) << r.name;
        EXPECT_EQ(boxes.boxes.size(), 1u) << r.name;
    }
}

}  // namespace
}  // namespace kyn
