// What the transfers share of WinINet: the scoped handle, time-outs and the
// server's last reply.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

#include "Updater/NcBlockLoop.h"
#include "framework/core/scoped_handle.h"

namespace oru {

struct NcInetClose {
    static HINTERNET Empty() { return nullptr; }
    void operator()(HINTERNET h) const { InternetCloseHandle(h); }
};
using NcInetHandle = fw::TScopedHandle<HINTERNET, NcInetClose>;

// Connect, send and receive time-outs of a handle and the ones made from it.
void NcSetTimeouts(HINTERNET handle, DWORD ms);
// The text of the server's last reply on this thread (FTP), as WinINet kept it.
std::wstring NcLastServerReply();

// The network ends of a transfer's block loop: an open WinINet file or
// request read or written.
class TNcInternetSource : public TNcPieceSource {
public:
    explicit TNcInternetSource(HINTERNET handle) : handle_(handle) {}
    bool Read(char* buffer, std::size_t want, std::size_t& got) override;
    // The error code of the failed read.
    DWORD Error() const { return error_; }

private:
    HINTERNET handle_;
    DWORD error_ = 0;
};

class TNcInternetSink : public TNcPieceSink {
public:
    explicit TNcInternetSink(HINTERNET handle) : handle_(handle) {}
    bool Write(const char* data, std::size_t size) override;
    // The error code of the failed write.
    DWORD Error() const { return error_; }

private:
    HINTERNET handle_;
    DWORD error_ = 0;
};

}  // namespace oru
