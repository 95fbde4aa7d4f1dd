// The display form's services on a real Windows (Wine) system: the data
// folder in the prefix's My Documents and beside the program, the settings
// file there, the program's version and system error texts.
#include "Display/kynResourceManager.h"

#include "Display/kynFileVersion.h"
#include "Display/kynSettingsFile.h"
#include "framework/gui/application.h"
#include "tests/Display/win_test_support.h"

namespace kyn {
namespace {

using test::TBoxRecorder;
using test::TShownBox;

class DisplayDataFolder : public test::TRealQuorvexFolders {
protected:
    void SetUp() override {
        TRealQuorvexFolders::SetUp();
        DataFolder.clear();
        ExeFolder.clear();
        DataFolderFound = false;
        GeneralSettings = {};
    }
    void TearDown() override {
        DataFolder.clear();
        ExeFolder.clear();
        DataFolderFound = false;
        GeneralSettings = {};
        TRealQuorvexFolders::TearDown();
    }
};

TEST_F(DisplayDataFolder, MarkerInMyDocumentsWinsAndHoldsTheSettingsFile) {
    PutMarker();
    PutFolderBesideProgram();
    TBoxRecorder boxes;
    ASSERT_TRUE(FindDataFolder());
    EXPECT_EQ(DataFolder, docsQuorvex);
    EXPECT_EQ(ExeFolder, RunningProgramFolder());
    EXPECT_EQ(ExeFolder.back(), L'\\');

    GeneralSettings.Theme = 1;
    GeneralSettings.ServerIP = L"10.1.2.3";
    ASSERT_TRUE(SaveSettings());
    EXPECT_EQ(test::ReadBytes(docsQuorvex + L"settings\\gsf"), WriteGeneralSettings(GeneralSettings));
    EXPECT_EQ(test::ReadBytes(docsQuorvex + L"settings\\acs"), "");  // the marker is never touched

    const TGeneralSettings saved = GeneralSettings;
    GeneralSettings = {};
    ASSERT_TRUE(LoadSettings());
    EXPECT_EQ(GeneralSettings, saved);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(boxes.endRequests, 0);
}

TEST_F(DisplayDataFolder, EmptySettingsFolderBesideTheProgramIsAccepted) {
    PutFolderBesideProgram();
    TBoxRecorder boxes;
    ASSERT_TRUE(FindDataFolder());
    EXPECT_EQ(DataFolder, besideQuorvex);
    EXPECT_FALSE(LoadSettings());
    EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{{TMessageBoxKind::Error, L"General Settings File Loading Failed"}}));
    EXPECT_EQ(GeneralSettings, TGeneralSettings{});  // the program runs on the defaults
}

TEST_F(DisplayDataFolder, NoFolderEndsTheProgramWithoutTouchingAnyFile) {
    TBoxRecorder boxes;
    EXPECT_FALSE(FindDataFolder());
    EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{
                               {TMessageBoxKind::Error, L"Application Folder Not Found. Quorvex Display will Now Close"}}));
    EXPECT_EQ(boxes.endRequests, 1);
    EXPECT_EQ(DataFolder, docsQuorvex);
    EXPECT_FALSE(DataFolderFound);

    EXPECT_FALSE(LoadSettings());
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(test::PathExists(docsQuorvex));
    EXPECT_FALSE(test::PathExists(L"settings\\gsf"));
}

TEST(DisplayMessageBoxes, EndRequestTerminatesTheApplication) {
    if (fw::Application) GTEST_SKIP() << "the process's application object belongs to other tests";
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    RequestApplicationEnd();  // no application object yet: the loop's WM_QUIT
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));

    fw::TApplication application;
    RequestApplicationEnd();
    EXPECT_TRUE(application.Terminated());
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

TEST(DisplayMessageBoxes, SystemErrorShowsTheSystemsTextOrNothing) {
    TBoxRecorder boxes;
    ShowSystemError(ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, TMessageBoxKind::Plain);
    EXPECT_EQ(boxes.boxes[0].text, SystemErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(boxes.boxes[0].text.empty());
    EXPECT_NE(boxes.boxes[0].text.back(), L'\n');

    ShowSystemError(0x20001234);  // customer code: the system has no text
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path.push_back(c == '/' ? L'\\' : static_cast<wchar_t>(c));
    return path;
}

TEST(DisplayVersion, ReadsTheProgramsOwnVersionResource) {
    // This test program carries the same version resource as the programs.
    uint16_t major = 9, minor = 9, release = 9, build = 9;
    ASSERT_TRUE(GetOwnFileVersion(major, minor, release, build));
    EXPECT_EQ(major, KYN_TEST_VERSION_MAJOR);
    EXPECT_EQ(minor, KYN_TEST_VERSION_MINOR);
    EXPECT_EQ(release, KYN_TEST_VERSION_RELEASE);
    EXPECT_EQ(build, KYN_TEST_BUILD_NUMBER);

    const std::pair<int, std::wstring> parts[] = {
        {0, L""},
        {1, std::to_wstring(KYN_TEST_VERSION_MAJOR)},
        {2, std::to_wstring(KYN_TEST_VERSION_MINOR)},
        {3, std::to_wstring(KYN_TEST_VERSION_RELEASE)},
        {4, std::to_wstring(KYN_TEST_BUILD_NUMBER)},
        {5, L""},
        {-1, L""},
    };
    for (const auto& [index, text] : parts) EXPECT_EQ(GetOwnFileVersionPart(index), text) << index;
    EXPECT_EQ(GetVersionText(), FormatVersionText(TFileVersion{KYN_TEST_VERSION_MAJOR, KYN_TEST_VERSION_MINOR,
                                                               KYN_TEST_VERSION_RELEASE, KYN_TEST_BUILD_NUMBER}));

    TFileVersion quorvex;
    ASSERT_TRUE(ReadFileVersion(WindowsPath(KYN_QUORVEX_EXE), quorvex));
    EXPECT_EQ(quorvex.Build, KYN_TEST_BUILD_NUMBER);
    EXPECT_EQ(quorvex.Major, KYN_TEST_VERSION_MAJOR);
}

TEST(DisplayVersion, FileWithoutVersionReadsAsNone) {
    test::TScratchFolder folder;
    test::WriteBytes(folder.Path() + L"plain.txt", "no resource here");
    for (const std::wstring& path : {folder.Path() + L"plain.txt", folder.Path() + L"missing.exe"}) {
        TFileVersion version{1, 2, 3, 4};
        EXPECT_FALSE(ReadFileVersion(path, version));
        EXPECT_EQ(version.Build, 0);
        EXPECT_EQ(version.Major, 0);
    }
}

}  // namespace
}  // namespace kyn
