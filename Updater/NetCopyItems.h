// The transfer list of TNetCopy: one TNetCopyItem per transfer, kept in a
// TNetCopyItems collection. Platform-free data; the transfers themselves are
// TNetCopy's work.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/string_list.h"

namespace oru {

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

// Names and order are part of the streamed format.
enum class TNetCopyProtocol : uint8_t {
    wpHttp,
    wpFtp,
    wpFile,
    wpFtpUpload,
    wpHttpUpload,
    wpMultiFtp,
    wpMultiFtpUpload,
    wpFtpDelete,
    wpFtpList,
    wpFtpTest
};
enum class TNetCopyAuthentication : uint8_t { waNever, waAlways, waAuto };
enum class TNetCopyHTTPCommand : uint8_t { hcPost, hcPut };

const wchar_t* ProtocolName(TNetCopyProtocol p);

// One entry of an FTP listing.
struct TFileDetailItem {
    uint32_t Attributes = 0;
    std::wstring FileName;
    uint32_t SizeLow = 0;
    uint32_t SizeHigh = 0;
    uint64_t LastWriteTime = 0;  // a FILETIME as one number
};

class TFileDetailItems {
public:
    TFileDetailItem& Add() { return items_.emplace_back(); }
    int Count() const { return static_cast<int>(items_.size()); }
    TFileDetailItem& operator[](int i) { return items_.at(static_cast<size_t>(i)); }
    const TFileDetailItem& operator[](int i) const { return items_.at(static_cast<size_t>(i)); }

private:
    std::vector<TFileDetailItem> items_;
};

class TNetCopyItem {
public:
    TNetCopyItem() = default;
    TNetCopyItem(const TNetCopyItem&) = delete;
    TNetCopyItem& operator=(const TNetCopyItem&) = delete;

    // Copies every published field and nothing else.
    void CopyFrom(const TNetCopyItem& other);

    // Published fields, in declaration order.
    std::wstring URL;
    std::wstring TargetDir;
    std::wstring TargetFilename;
    TNetCopyProtocol Protocol = TNetCopyProtocol::wpHttp;
    TNetCopyHTTPCommand HTTPCommand = TNetCopyHTTPCommand::hcPost;
    std::wstring FTPHost;
    std::wstring FTPUserID;
    std::wstring FTPPassword;
    int32_t FTPPort = 21;
    bool Active = true;
    bool CopyNewerOnly = false;
    TDateTime FileDate = 0;
    TNetCopyAuthentication Authenticate = TNetCopyAuthentication::waNever;
    std::wstring HTTPUserID;
    std::wstring DisplayURL;
    std::wstring HTTPPassword;

    // Set by the component's user: the size to expect when the server sends
    // no Content-Length.
    uint32_t FileSize = 0;

    // Results of the last run.
    bool Success = false;
    bool NoNewFile = false;
    TDateTime NewFileDate = 0;
    bool Cancelled = false;
    // Made by an FTP listing.
    std::unique_ptr<fw::TStringList> FileNames;
    std::unique_ptr<TFileDetailItems> FileDetails;
};

class TNetCopyItems {
public:
    explicit TNetCopyItems(fw::TComponent* owner) : owner_(owner) {}
    TNetCopyItems(const TNetCopyItems&) = delete;
    TNetCopyItems& operator=(const TNetCopyItems&) = delete;

    // The component that owns the list (reported for streaming).
    fw::TComponent* Owner() const { return owner_; }

    TNetCopyItem& Add();
    int Count() const { return static_cast<int>(items_.size()); }
    TNetCopyItem& operator[](int i) { return *items_.at(static_cast<size_t>(i)); }
    const TNetCopyItem& operator[](int i) const { return *items_.at(static_cast<size_t>(i)); }
    TNetCopyItem& Items(int i) { return (*this)[i]; }
    int ActiveCount() const;
    // Clear and Delete raise EInvalidOperation while a run holds the list:
    // the run keeps references to its items.
    void Clear();
    void Delete(int i);

    // Held by TNetCopy::Execute.
    void Lock() { ++locks_; }
    void Unlock() { --locks_; }

private:
    void CheckUnlocked() const;
    fw::TComponent* owner_;
    std::vector<std::unique_ptr<TNetCopyItem>> items_;
    int locks_ = 0;
};

// Active items whose protocol is not wpFile.
int CountNetworkItems(const TNetCopyItems& items);

// Whether the FTP connection of item `index` is kept for the next one: there
// is a next item, both are wpFtp or wpFtpUpload, and server and credentials
// are the same.
bool KeepConnectionFor(const TNetCopyItems& items, int index);

}  // namespace oru
