// The display form's services on a real Windows (Wine) system: the data
// folder in the prefix's My Documents and beside the program, the settings
// file there, and the program's version.
#include "Display/kynResourceManager.h"

#include "Display/kynDisplayModel.h"
#include "common/SettingsFormat.h"
#include "framework/core/exceptions.h"
#include "tests/common/win_test_support.h"

namespace kyn {
namespace {

using common::TMessageBoxKind;
using common::test::TBoxRecorder;
using common::test::TShownBox;

class DisplayDataFolder : public common::test::TRealQuorvexFolders {
protected:
    TkynDisplayModel model;
    TkynResourceManager resources{model};
};

TEST_F(DisplayDataFolder, MarkerInMyDocumentsWinsAndHoldsTheSettingsFile) {
    PutMarker();
    PutFolderBesideProgram();
    TBoxRecorder boxes;
    ASSERT_TRUE(resources.FindDataFolder());
    EXPECT_EQ(resources.DataFolder(), docsQuorvex);
    EXPECT_EQ(resources.ExeFolder(), common::RunningProgramFolder());
    EXPECT_EQ(resources.ExeFolder().back(), L'\\');

    model.SetTheme(1);
    model.SetServerBinding(L"10.1.2.3", 0);
    ASSERT_TRUE(resources.SaveSettings());
    EXPECT_EQ(common::test::ReadBytes(docsQuorvex + L"settings\\gsf"), common::WriteGeneralSettings(model.Settings()));
    EXPECT_EQ(common::test::ReadBytes(docsQuorvex + L"settings\\acs"), "");  // the marker is never touched

    const TGeneralSettings saved = model.Settings();
    model.ReplaceSettings({});
    ASSERT_TRUE(resources.LoadSettings());
    EXPECT_EQ(model.Settings(), saved);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(boxes.endRequests, 0);
}

TEST_F(DisplayDataFolder, EmptySettingsFolderBesideTheProgramIsAccepted) {
    PutFolderBesideProgram();
    TBoxRecorder boxes;
    ASSERT_TRUE(resources.FindDataFolder());
    EXPECT_EQ(resources.DataFolder(), besideQuorvex);
    EXPECT_FALSE(resources.LoadSettings());
    EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{{TMessageBoxKind::Error, L"General Settings File Loading Failed"}}));
    EXPECT_EQ(model.Settings(), TGeneralSettings{});  // the program runs on the defaults
}

TEST_F(DisplayDataFolder, NoFolderEndsTheProgramWithoutTouchingAnyFile) {
    TBoxRecorder boxes;
    EXPECT_FALSE(resources.FindDataFolder());
    EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{
                               {TMessageBoxKind::Error, L"Application Folder Not Found. Quorvex Display will Now Close"}}));
    EXPECT_EQ(boxes.endRequests, 1);
    EXPECT_EQ(resources.DataFolder(), docsQuorvex);
    EXPECT_FALSE(resources.DataFolderFound());

    EXPECT_FALSE(resources.LoadSettings());
    EXPECT_FALSE(resources.SaveSettings());
    EXPECT_EQ(boxes.boxes.size(), 1u);
    EXPECT_FALSE(common::test::PathExists(docsQuorvex));
    EXPECT_FALSE(common::test::PathExists(L"settings\\gsf"));
}

// A file the display could not read at start-up (a typo, far too large) is
// kept beside the one the close writes; a save that fails shows its box and
// raises nothing, so the close goes on.
TEST_F(DisplayDataFolder, SettingsThatCouldNotBeReadSurviveTheSaveAtClose) {
    PutFolderBesideProgram();
    const std::wstring gsf = besideQuorvex + L"settings\\gsf";
    TGeneralSettings users;
    users.Language = 2;
    users.Theme = 1;
    users.LineThickness = 4;
    std::string typo = common::WriteGeneralSettings(users);
    typo.insert(typo.find("4\r\n"), "x");  // line 7
    struct Row {
        const char* name;
        std::string bytes;
        bool raises;
        std::vector<TShownBox> boxes;
    };
    const Row rows[] = {
        {"typo", typo, true, {}},
        {"far too large", std::string(common::TSettingsFile::kMaxSize + 1, ' '), false,
         {{TMessageBoxKind::Error, L"General Settings File Loading Failed"}}},
    };
    for (const Row& r : rows) {
        common::test::DeleteTree(besideQuorvex + L"settings");
        PutFolderBesideProgram();
        common::test::WriteBytes(gsf, r.bytes);
        TkynDisplayModel runModel;
        TkynResourceManager run(runModel);
        TBoxRecorder boxes;
        ASSERT_TRUE(run.FindDataFolder()) << r.name;
        if (r.raises) {
            EXPECT_THROW(run.LoadSettings(), fw::EInOutError) << r.name;
            EXPECT_EQ(runModel.Settings().Theme, 1) << r.name;  // lines 1 to 6 were read
        } else {
            EXPECT_FALSE(run.LoadSettings()) << r.name;
        }
        EXPECT_EQ(boxes.boxes, r.boxes) << r.name;
        ASSERT_TRUE(run.SaveSettings()) << r.name;
        EXPECT_EQ(common::test::ReadBytes(gsf + L".unreadable"), r.bytes) << r.name;
        EXPECT_EQ(common::test::ReadBytes(gsf), common::WriteGeneralSettings(runModel.Settings())) << r.name;
    }

    TBoxRecorder boxes;
    SetFileAttributesW(gsf.c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(resources.FindDataFolder());
    EXPECT_FALSE(resources.SaveSettings());
    SetFileAttributesW(gsf.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{{TMessageBoxKind::Error, L"General Setting File Saving Failed"}}));
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
    EXPECT_EQ(GetVersionText(), FormatVersionText(common::TFileVersion{KYN_TEST_VERSION_MAJOR, KYN_TEST_VERSION_MINOR,
                                                                       KYN_TEST_VERSION_RELEASE, KYN_TEST_BUILD_NUMBER}));

    common::TFileVersion quorvex;
    ASSERT_TRUE(common::ReadFileVersion(common::test::WindowsPath(KYN_QUORVEX_EXE), quorvex));
    EXPECT_EQ(quorvex.Build, KYN_TEST_BUILD_NUMBER);
    EXPECT_EQ(quorvex.Major, KYN_TEST_VERSION_MAJOR);
}

}  // namespace
}  // namespace kyn
