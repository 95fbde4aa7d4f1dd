// The progress dialog's layout as the settings shape it.
#include "Updater/NetCopyDialog.h"

#include <gtest/gtest.h>

#include "tests/support/win_test_app.h"

namespace oru {
namespace {

struct FreeForm {
    void operator()(fw::TForm* f) const { f->Free(); }
};

TEST(NetCopyDialog, LayoutFollowsTheSettings) {
    fw::test::TestApplication();
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    struct Row {
        bool showTime, showElapsed, showFileName, showCancel, openFile, openFolder, closeBtn;
        int height, buttonTop, progressTop, openFileLeft;
    };
    const Row rows[] = {
        // time, elapsed, file line, Cancel, open file, open folder, close box
        {false, false, true, true, false, false, false, caption + 188, 140, 100, 0},
        {true, true, true, true, true, false, true, caption + 228, 180, 100, 130},
        {true, false, false, true, true, true, false, caption + 208, 140, 80, 45},
        {false, false, true, false, false, false, false, caption + 168, 140, 100, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.height - caption);
        TNetCopyOptions o;
        o.ShowTime = r.showTime;
        o.ShowElapsedTime = r.showElapsed;
        o.ShowFileName = r.showFileName;
        o.DlgShowCancel = r.showCancel;
        o.ShowOpenFile = r.openFile;
        o.ShowOpenFolder = r.openFolder;
        o.DlgShowCloseBtn = r.closeBtn;
        std::unique_ptr<TNetCopyDialog, FreeForm> d(new TNetCopyDialog(nullptr, o));
        EXPECT_EQ(d->Width(), 300);
        EXPECT_EQ(d->Height(), r.height);
        EXPECT_EQ(d->Caption(), L"Downloading ...");
        EXPECT_EQ(d->FileLabel->Visible(), r.showFileName);
        EXPECT_EQ(d->FileLabel->Caption(), L"File :");
        EXPECT_EQ(d->ProgressLabel->Top(), r.progressTop);
        EXPECT_EQ(d->RateLabel->Top(), r.progressTop + 20);
        EXPECT_EQ(d->TimeLabel->Top(), r.progressTop + 40);
        EXPECT_EQ(d->TimeLabel->Visible(), r.showTime);
        EXPECT_EQ(d->ElapsedLabel->Top(), r.progressTop + 60);
        EXPECT_EQ(d->ElapsedLabel->Visible(), r.showElapsed);
        EXPECT_EQ(d->ProgressBar->Top(), 60);
        EXPECT_EQ(d->ProgressBar->Width(), 280);
        EXPECT_EQ(d->CancelButton->Top(), r.buttonTop);
        EXPECT_EQ(d->CancelButton->Left() + d->CancelButton->Width() + 10, d->ClientWidth());
        EXPECT_EQ(d->CancelButton->Visible(), r.showCancel);
        EXPECT_EQ(d->CancelButton->Caption(), L"Cancel");
        EXPECT_EQ(d->OpenFileButton != nullptr, r.openFile);
        EXPECT_EQ(d->OpenFolderButton != nullptr, r.openFolder);
        if (d->OpenFileButton) {
            EXPECT_EQ(d->OpenFileButton->Left(), r.openFileLeft);
            EXPECT_FALSE(d->OpenFileButton->Enabled());
        }
        if (d->OpenFolderButton) {
            EXPECT_EQ(d->OpenFolderButton->Left(), 130);
        }
        LONG style = GetWindowLongW(d->Handle(), GWL_STYLE);
        EXPECT_EQ((style & WS_SYSMENU) != 0, r.closeBtn);
        EXPECT_TRUE(GetWindowLongW(d->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
        // Closing needs the close box or the end of the run.
        EXPECT_EQ(d->CloseQuery(), r.closeBtn);
        d->SetDone(true);
        EXPECT_TRUE(d->CloseQuery());
    }
}

}  // namespace
}  // namespace oru
