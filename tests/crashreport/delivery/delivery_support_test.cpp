// The answer record, the upload proxy settings and the WinInet error texts.
#include <gtest/gtest.h>

#include "crashreport/delivery/InternetErrorTexts.h"
#include "crashreport/delivery/THTTPResponse.h"
#include "crashreport/delivery/UploadProxy.h"
#include "framework/core/exceptions.h"

namespace drevnik {
namespace {

TEST(HTTPResponse, AssignsAllFieldsAndRefusesNull) {
    THTTPResponse source;
    source.StatusCode = 404;
    source.StatusText = "Not Found";
    source.RawHeaders = "HTTP/1.1 404 Not Found\r\n";
    source.PageText = "gone";
    source.PageName = "view.php";
    source.ErrorCode = 12002;
    source.ErrorMessage = "The request has timed out.";
    THTTPResponse copy;
    copy.Assign(&source);
    EXPECT_EQ(copy.StatusCode, 404);
    EXPECT_EQ(copy.StatusText, "Not Found");
    EXPECT_EQ(copy.RawHeaders, source.RawHeaders);
    EXPECT_EQ(copy.PageText, "gone");
    EXPECT_EQ(copy.PageName, "view.php");
    EXPECT_EQ(copy.ErrorCode, 12002);
    EXPECT_EQ(copy.ErrorMessage, source.ErrorMessage);

    try {
        copy.Assign(nullptr);
        FAIL() << "no exception";
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), L"Cannot assign a THTTPResponse class to a NIL value.");
    }
    EXPECT_EQ(copy.StatusCode, 404);

    copy.Clear();
    EXPECT_EQ(copy.StatusCode, 0);
    EXPECT_EQ(copy.ErrorCode, 0);
    EXPECT_TRUE(copy.StatusText.empty() && copy.RawHeaders.empty() && copy.PageText.empty() &&
                copy.PageName.empty() && copy.ErrorMessage.empty());
}

TEST(UploadProxy, KeepsTextAndCredentialsUntilShutDown) {
    SetUploadProxy("", 8080);
    EXPECT_EQ(UploadProxyText(), ":8080");
    EXPECT_FALSE(UploadProxyConfigured());
    SetUploadProxy("proxy.lan", 3128);
    SetUploadProxyCredentials("joe", "p:w");
    EXPECT_EQ(UploadProxyText(), "proxy.lan:3128");
    EXPECT_TRUE(UploadProxyConfigured());
    EXPECT_EQ(UploadProxyUser(), "joe");
    EXPECT_EQ(UploadProxyPassword(), "p:w");
    WebToolsDone();
    EXPECT_EQ(UploadProxyText(), "");
    EXPECT_FALSE(UploadProxyConfigured());
    EXPECT_EQ(UploadProxyUser(), "");
    EXPECT_EQ(UploadProxyPassword(), "");
}

TEST(InternetErrorTexts, CoverTheWinInetCodes) {
    const std::pair<unsigned long, unsigned long> ranges[] = {
        {12001, 12033}, {12036, 12045}, {12052, 12052}, {12055, 12055}, {12110, 12112},
        {12130, 12138}, {12150, 12156}, {12160, 12171},
    };
    for (auto [first, last] : ranges) {
        for (unsigned long code = first; code <= last; ++code) {
            std::string text = InternetErrorTableText(code);
            EXPECT_FALSE(text.empty()) << code;
            EXPECT_EQ(text.back(), '.') << code;
        }
    }
    EXPECT_EQ(InternetErrorTableText(12002), "The request has timed out.");
    EXPECT_EQ(InternetErrorTableText(12007), "The server name could not be resolved.");
    EXPECT_EQ(InternetErrorTableText(12029), "The attempt to connect to the server failed.");
    EXPECT_EQ(InternetErrorTableText(12171), "The function failed due to a security check.");
    for (unsigned long code : {0ul, 5ul, 12000ul, 12034ul, 12035ul, 12046ul, 12157ul, 12172ul, 120010ul}) {
        EXPECT_EQ(InternetErrorTableText(code), "") << code;
    }
}

}  // namespace
}  // namespace drevnik
