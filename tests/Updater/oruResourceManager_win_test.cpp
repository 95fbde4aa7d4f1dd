// The updater's data folder and theme on a real Windows (Wine) system.
#include "Updater/oruResourceManager.h"

#include "common/SettingsFile.h"
#include "framework/core/exceptions.h"
#include "tests/common/win_test_support.h"

namespace oru {
namespace {

using common::TMessageBoxKind;
using common::test::TBoxRecorder;
using common::test::TShownBox;

class UpdaterDataFolder : public common::test::TRealQuorvexFolders {
protected:
    void SetUp() override {
        TRealQuorvexFolders::SetUp();
        Reset();
    }
    void TearDown() override {
        Reset();
        TRealQuorvexFolders::TearDown();
    }
    static void Reset() {
        DataFolder.clear();
        ExeFolder.clear();
        DataFolderFound = false;
        UpdaterTheme = 0;
    }
};

TEST_F(UpdaterDataFolder, NoFolderShowsTheUpdatersTextAndLeavesTheEndToTheCaller) {
    TBoxRecorder boxes;
    EXPECT_FALSE(FindDataFolder());
    EXPECT_EQ(boxes.boxes,
              (std::vector<TShownBox>{
                  {TMessageBoxKind::Error, L"Application Folder Not Found. Morvane Application Update Will Now Close"}}));
    EXPECT_EQ(boxes.endRequests, 0);
    EXPECT_FALSE(LoadThemeAndLanguage());  // nothing is read without a data folder
    EXPECT_EQ(boxes.boxes.size(), 1u);
}

TEST_F(UpdaterDataFolder, ReadsTheThemeOfTheDisplaysSettingsFile) {
    PutMarker();
    TBoxRecorder boxes;
    ASSERT_TRUE(FindDataFolder());
    EXPECT_EQ(DataFolder, docsQuorvex);

    // The display program's own file, as it writes it.
    common::TGeneralSettings settings;
    settings.Language = 2;
    settings.Theme = 1;
    ASSERT_TRUE(common::TSettingsFile(docsQuorvex + L"settings\\gsf").Save(settings));
    EXPECT_TRUE(LoadThemeAndLanguage());
    EXPECT_EQ(UpdaterTheme, 1);
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(UpdaterDataFolder, MissingOrMalformedFileKeepsTheLightTheme) {
    PutFolderBesideProgram();
    TBoxRecorder boxes;
    ASSERT_TRUE(FindDataFolder());
    EXPECT_EQ(DataFolder, besideQuorvex);
    EXPECT_FALSE(LoadThemeAndLanguage());
    EXPECT_EQ(boxes.boxes, (std::vector<TShownBox>{{TMessageBoxKind::Error, L"General Settings File Loading Failed"}}));
    EXPECT_EQ(UpdaterTheme, 0);

    common::test::WriteBytes(besideQuorvex + L"settings\\gsf", "1\r\ndark\r\n");
    EXPECT_THROW(LoadThemeAndLanguage(), fw::EInOutError);
    EXPECT_EQ(UpdaterTheme, 0);
}

}  // namespace
}  // namespace oru
