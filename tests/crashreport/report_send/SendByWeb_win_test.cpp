// The web channel between its action events, with the retry loop of the
// error event, in the test process against the upload page of web_peers.sh.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/report/SendReport.h"
#include "tests/crashreport/capture/DrevnikTestFolder.h"

namespace drevnik {
namespace {

std::vector<int> gEvents;  // actions; errors as 100 + action
int gRetries = 0;
bool gRefuse = false;

class TWebChannel : public testing::Test {
protected:
    void SetUp() override {
        const char* port = std::getenv("KYN_UPLOAD_PORT");
        if (port == nullptr) GTEST_SKIP() << "run through the peers' scripts";
        upload_ = std::atoi(port);
        closed_ = std::atoi(std::getenv("KYN_CLOSED_PORT"));
        ReportState().HandlerOptions = std::make_unique<TDrevnikModuleOptionsEx>(std::string());
        TDrevnikModuleOptions& o = *ReportState().HandlerOptions;
        o.SetSendFlags(o.SendFlags() & ~sdShowProgress);
        o.SetWebMode(wmHttp);
        o.SetWebUrl("http://127.0.0.1/upload/store.php?as=channel");
        std::ofstream(folder_.NativePath() + "BugReport.zip", std::ios::binary) << "PK\x03\x04 archive";
        ReportState().AttachedFiles = {folder_.Path() + "BugReport.zip"};
        ReportState().WebFields.clear();
        ClearWarning();
        gEvents.clear();
        gRetries = 0;
        gRefuse = false;
        GlobalHandlers().GlobalExceptionActionNotify = [](const TDrevnikExceptionRecord&, TDrevnikActionType action,
                                                          bool& execute) {
            gEvents.push_back(action);
            if (gRefuse && action == atSendingWebMessage) execute = false;
        };
        GlobalHandlers().GlobalExceptionErrorNotify = [](const TDrevnikExceptionRecord&, TDrevnikActionType action,
                                                         bool& retry) {
            gEvents.push_back(100 + action);
            retry = gRetries-- > 0;
        };
    }
    void TearDown() override {
        GlobalHandlers().GlobalExceptionActionNotify = nullptr;
        GlobalHandlers().GlobalExceptionErrorNotify = nullptr;
        ReportState().AttachedFiles.clear();
        ReportState().HandlerOptions.reset();
    }
    TestFolder folder_{"web_channel"};
    int upload_ = 0, closed_ = 0;
};

TEST_F(TWebChannel, ASuccessfulUploadRunsOnceBetweenItsEvents) {
    ReportState().HandlerOptions->SetWebPort(upload_);
    EXPECT_TRUE(SendByWeb());
    EXPECT_TRUE(DeliveryState().ExecuteFlag);
    EXPECT_EQ(gEvents, (std::vector<int>{atSendingWebMessage, atSentWebMessage}));
    EXPECT_EQ(ReportState().LastWarningCode, eeNone);
}

TEST_F(TWebChannel, TheErrorEventAsksForAnotherRunOfTheSameChannel) {
    ReportState().HandlerOptions->SetWebPort(closed_);
    gRetries = 1;
    EXPECT_FALSE(SendByWeb());
    EXPECT_EQ(gEvents, (std::vector<int>{atSendingWebMessage, 100 + atSentWebMessage, 100 + atSentWebMessage,
                                         atSentWebMessage}));
    EXPECT_EQ(ReportState().LastWarningCode, eeWebHTTPError);
    EXPECT_EQ(ReportState().LastWarningText,
              "HTTP error code: 12029 (The attempt to connect to the server failed.)");
}

TEST_F(TWebChannel, ARefusedChannelSendsNothingAndCountsAsFailed) {
    ReportState().HandlerOptions->SetWebPort(closed_);
    gRefuse = true;
    EXPECT_FALSE(SendByWeb());
    EXPECT_EQ(gEvents, (std::vector<int>{atSendingWebMessage}));
    EXPECT_EQ(ReportState().LastWarningCode, eeNone);
}

TEST_F(TWebChannel, NoAttachmentsSendsNothingAndSucceeds) {
    ReportState().HandlerOptions->SetWebPort(closed_);
    ReportState().AttachedFiles.clear();
    EXPECT_TRUE(SendByWeb());
    EXPECT_EQ(ReportState().LastWarningCode, eeNone);
}

}  // namespace
}  // namespace drevnik
