// The transfer list and the component's published defaults.
#include "Updater/NetCopyItems.h"

#include <gtest/gtest.h>

#include "Updater/NetCopyHelpers.h"
#include "Updater/NetCopyOptions.h"
#include "framework/core/exceptions.h"

namespace oru {
namespace {

TEST(NetCopyItems, DefaultsAndCopyFromTakesPublishedFieldsOnly) {
    fw::TComponent owner(nullptr);
    TNetCopyItems items(&owner);
    EXPECT_EQ(items.Owner(), &owner);
    TNetCopyItem& a = items.Add();
    EXPECT_EQ(a.Protocol, TNetCopyProtocol::wpHttp);
    EXPECT_EQ(a.HTTPCommand, TNetCopyHTTPCommand::hcPost);
    EXPECT_EQ(a.Authenticate, TNetCopyAuthentication::waNever);
    EXPECT_EQ(a.FTPPort, 21);
    EXPECT_TRUE(a.Active);
    EXPECT_FALSE(a.CopyNewerOnly);
    EXPECT_EQ(a.FileDate, 0.0);
    EXPECT_EQ(a.FileSize, 0u);
    EXPECT_FALSE(a.FileNames);

    a.URL = L"http://h/f";
    a.TargetDir = L"C:\\t";
    a.TargetFilename = L"g";
    a.Protocol = TNetCopyProtocol::wpFtp;
    a.HTTPCommand = TNetCopyHTTPCommand::hcPut;
    a.FTPHost = L"fh";
    a.FTPUserID = L"fu";
    a.FTPPassword = L"fp";
    a.FTPPort = 2121;
    a.Active = false;
    a.CopyNewerOnly = true;
    a.FileDate = 45000.5;
    a.Authenticate = TNetCopyAuthentication::waAuto;
    a.HTTPUserID = L"hu";
    a.DisplayURL = L"shown";
    a.HTTPPassword = L"hp";
    a.FileSize = 77;
    a.Success = true;
    a.NoNewFile = true;
    a.NewFileDate = 1;
    a.Cancelled = true;

    TNetCopyItem& b = items.Add();
    b.CopyFrom(a);
    EXPECT_EQ(b.URL, a.URL);
    EXPECT_EQ(b.TargetDir, a.TargetDir);
    EXPECT_EQ(b.TargetFilename, a.TargetFilename);
    EXPECT_EQ(b.Protocol, a.Protocol);
    EXPECT_EQ(b.HTTPCommand, a.HTTPCommand);
    EXPECT_EQ(b.FTPHost + b.FTPUserID + b.FTPPassword, L"fhfufp");
    EXPECT_EQ(b.FTPPort, 2121);
    EXPECT_FALSE(b.Active);
    EXPECT_TRUE(b.CopyNewerOnly);
    EXPECT_EQ(b.FileDate, 45000.5);
    EXPECT_EQ(b.Authenticate, TNetCopyAuthentication::waAuto);
    EXPECT_EQ(b.HTTPUserID + b.DisplayURL + b.HTTPPassword, L"hushownhp");
    // Run results and the user's expected size are not published.
    EXPECT_EQ(b.FileSize, 0u);
    EXPECT_FALSE(b.Success);
    EXPECT_FALSE(b.NoNewFile);
    EXPECT_EQ(b.NewFileDate, 0.0);
    EXPECT_FALSE(b.Cancelled);
}

TEST(NetCopyItems, CountsAndTheKeptFtpConnection) {
    using P = TNetCopyProtocol;
    fw::TComponent owner(nullptr);
    TNetCopyItems items(&owner);
    auto add = [&](P p, const wchar_t* host, bool active = true) {
        TNetCopyItem& it = items.Add();
        it.Protocol = p;
        it.FTPHost = host;
        it.FTPUserID = L"u";
        it.Active = active;
    };
    add(P::wpFtp, L"a");        // 0: next is an upload to the same server
    add(P::wpFtpUpload, L"a");  // 1: next is another server
    add(P::wpFtp, L"b");        // 2: next is a file copy
    add(P::wpFile, L"b");       // 3
    add(P::wpHttp, L"", false); // 4: inactive
    add(P::wpFtp, L"c");        // 5: last
    EXPECT_EQ(items.ActiveCount(), 5);
    EXPECT_EQ(CountNetworkItems(items), 4);
    const bool keep[] = {true, false, false, false, false, false};
    for (int i = 0; i < items.Count(); ++i) EXPECT_EQ(KeepConnectionFor(items, i), keep[i]) << i;
    EXPECT_FALSE(KeepConnectionFor(items, -1));
}

TEST(NetCopyItems, ListCannotShrinkWhileARunHoldsIt) {
    fw::TComponent owner(nullptr);
    TNetCopyItems items(&owner);
    items.Add();
    items.Add();
    items.Lock();
    EXPECT_THROW(items.Clear(), fw::EInvalidOperation);
    EXPECT_THROW(items.Delete(0), fw::EInvalidOperation);
    items.Add();  // appending keeps the run's references valid
    items.Unlock();
    EXPECT_EQ(items.Count(), 3);
    EXPECT_THROW(items.Delete(3), fw::EInvalidOperation);
    items.Delete(0);
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
}

TEST(NetCopyOptions, PublishedDefaults) {
    TNetCopyOptions o;
    EXPECT_EQ(o.Agent, L"NetCopy");
    EXPECT_EQ(o.DlgCaption + L"|" + o.DlgCancel + L"|" + o.DlgClose + L"|" + o.DlgCompleted, L"Downloading|Cancel|Close|completed");
    EXPECT_EQ(o.DlgDwnload + L"|" + o.DlgUpload + L"|" + o.DlgCopying, L"Downloading|Uploading|Copying");
    EXPECT_EQ(o.DlgFileLabel + L"|" + o.DlgFileOfLabel + L"|" + o.DlgFromServerLabel + L"|" + o.DlgToServerLabel,
              L"File :|of|from|to");
    EXPECT_EQ(o.DlgProgressLabel + L"|" + o.DlgRateLabel + L"|" + o.DlgTimeLabel + L"|" + o.DlgElapsedTimeLabel,
              L"Progress :|Transfer rate :|Estimated time left :|Elapsed time :");
    EXPECT_EQ(o.DlgOpenFile + L"|" + o.DlgOpenFolder, L"Open file|Open folder");
    EXPECT_TRUE(o.DlgShowCancel && o.ShowDialog && o.ShowDialogOnTop && o.ShowFileName && o.ShowServer);
    EXPECT_FALSE(o.AlwaysOnTop || o.CreateUniqueFilenames || o.DlgShowCloseBtn || o.FTPPassive ||
                 o.HTTPKeepAliveAuthentication || o.ShowOpenFile || o.ShowOpenFolder || o.ShowCompletion ||
                 o.ShowElapsedTime || o.ShowTime);
    EXPECT_TRUE(o.Proxy.empty() && o.ProxyUserID.empty() && o.ProxyPassword.empty());
    EXPECT_EQ(VersionText(kNetCopyVersion), L"2.3.0.1");
}

}  // namespace
}  // namespace oru
