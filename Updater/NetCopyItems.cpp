// TNetCopyItem and TNetCopyItems.
#include "Updater/NetCopyItems.h"

#include "framework/core/exceptions.h"

namespace oru {

const wchar_t* ProtocolName(TNetCopyProtocol p) {
    switch (p) {
        case TNetCopyProtocol::wpHttp: return L"wpHttp";
        case TNetCopyProtocol::wpFtp: return L"wpFtp";
        case TNetCopyProtocol::wpFile: return L"wpFile";
        case TNetCopyProtocol::wpFtpUpload: return L"wpFtpUpload";
        case TNetCopyProtocol::wpHttpUpload: return L"wpHttpUpload";
        case TNetCopyProtocol::wpMultiFtp: return L"wpMultiFtp";
        case TNetCopyProtocol::wpMultiFtpUpload: return L"wpMultiFtpUpload";
        case TNetCopyProtocol::wpFtpDelete: return L"wpFtpDelete";
        case TNetCopyProtocol::wpFtpList: return L"wpFtpList";
        case TNetCopyProtocol::wpFtpTest: return L"wpFtpTest";
    }
    return L"?";
}

void TNetCopyItem::CopyFrom(const TNetCopyItem& o) {
    if (&o == this) return;
    URL = o.URL;
    TargetDir = o.TargetDir;
    TargetFilename = o.TargetFilename;
    Protocol = o.Protocol;
    HTTPCommand = o.HTTPCommand;
    FTPHost = o.FTPHost;
    FTPUserID = o.FTPUserID;
    FTPPassword = o.FTPPassword;
    FTPPort = o.FTPPort;
    Active = o.Active;
    CopyNewerOnly = o.CopyNewerOnly;
    FileDate = o.FileDate;
    Authenticate = o.Authenticate;
    HTTPUserID = o.HTTPUserID;
    DisplayURL = o.DisplayURL;
    HTTPPassword = o.HTTPPassword;
}

TNetCopyItem& TNetCopyItems::Add() {
    items_.push_back(std::make_unique<TNetCopyItem>());
    return *items_.back();
}

int TNetCopyItems::ActiveCount() const {
    int n = 0;
    for (const auto& item : items_) {
        if (item->Active) ++n;
    }
    return n;
}

void TNetCopyItems::CheckUnlocked() const {
    if (locks_ > 0) throw fw::EInvalidOperation(L"The transfer list cannot be changed while it runs");
}

void TNetCopyItems::Clear() {
    CheckUnlocked();
    items_.clear();
}

void TNetCopyItems::Delete(int i) {
    CheckUnlocked();
    if (i < 0 || i >= Count()) throw fw::EInvalidOperation(L"List index out of bounds (" + std::to_wstring(i) + L")");
    items_.erase(items_.begin() + i);
}

int CountNetworkItems(const TNetCopyItems& items) {
    int n = 0;
    for (int i = 0; i < items.Count(); ++i) {
        if (items[i].Active && items[i].Protocol != TNetCopyProtocol::wpFile) ++n;
    }
    return n;
}

bool KeepConnectionFor(const TNetCopyItems& items, int index) {
    if (index < 0 || index + 1 >= items.Count()) return false;
    auto isFtp = [](const TNetCopyItem& it) {
        return it.Protocol == TNetCopyProtocol::wpFtp || it.Protocol == TNetCopyProtocol::wpFtpUpload;
    };
    const TNetCopyItem& a = items[index];
    const TNetCopyItem& b = items[index + 1];
    return isFtp(a) && isFtp(b) && a.FTPHost + a.FTPUserID + a.FTPPassword == b.FTPHost + b.FTPUserID + b.FTPPassword;
}

}  // namespace oru
