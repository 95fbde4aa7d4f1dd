// The published settings of TNetCopy with their defaults: what it shows in
// its progress dialog and how it connects.
#pragma once

#include <string>

namespace oru {

struct TNetCopyOptions {
    std::wstring Agent = L"NetCopy";
    bool AlwaysOnTop = false;
    bool CreateUniqueFilenames = false;
    std::wstring DlgCaption = L"Downloading";
    std::wstring DlgCancel = L"Cancel";
    std::wstring DlgClose = L"Close";
    std::wstring DlgCompleted = L"completed";
    std::wstring DlgDwnload = L"Downloading";
    std::wstring DlgUpload = L"Uploading";
    std::wstring DlgCopying = L"Copying";
    std::wstring DlgFileLabel = L"File :";
    std::wstring DlgFileOfLabel = L"of";
    std::wstring DlgFromServerLabel = L"from";
    std::wstring DlgToServerLabel = L"to";
    std::wstring DlgProgressLabel = L"Progress :";
    std::wstring DlgRateLabel = L"Transfer rate :";
    std::wstring DlgTimeLabel = L"Estimated time left :";
    std::wstring DlgElapsedTimeLabel = L"Elapsed time :";
    std::wstring DlgOpenFile = L"Open file";
    std::wstring DlgOpenFolder = L"Open folder";
    bool DlgShowCancel = true;
    bool DlgShowCloseBtn = false;
    bool FTPPassive = false;
    bool HTTPKeepAliveAuthentication = false;
    std::wstring Proxy;
    std::wstring ProxyUserID;
    std::wstring ProxyPassword;
    bool ShowDialog = true;
    bool ShowDialogOnTop = true;
    bool ShowOpenFile = false;
    bool ShowOpenFolder = false;
    bool ShowCompletion = false;
    bool ShowElapsedTime = false;
    bool ShowTime = false;
    bool ShowFileName = true;
    bool ShowServer = true;

    // Connect, send and receive time-out of every request, in milliseconds,
    // so that a server that stops answering cannot hold the program for ever.
    unsigned Timeout = 30000;
};

// The component version, packed 0x02030001 and shown as "2.3.0.1".
constexpr unsigned kNetCopyVersion = 0x02030001;

}  // namespace oru
