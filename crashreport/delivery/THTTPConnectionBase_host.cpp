// Host build: there is no WinInet, so a connection can be built and its forms
// filled, but it never connects.
#include "crashreport/delivery/THTTPConnectionBase.h"

#include "crashreport/delivery/InternetErrorTexts.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {

THTTPConnectionBase::~THTTPConnectionBase() = default;

void THTTPConnectionBase::ReleaseHandles() noexcept {}

bool THTTPConnectionBase::Connect(const TServer&) { return false; }

void THTTPConnectionBase::Open() {
    NotifyProgress(hpConnecting, 0);
    throw fw::Exception(fw::AnsiToWide("Cannot create an HTTP connection with the host: " + Host));
}

void THTTPConnectionBase::Close() {
    NotifyProgress(hpDisconnecting, 0);
    NotifyProgress(hpDisconnected, 0);
}

bool THTTPConnectionBase::SendRequest(THTTPResponse& response, bool) {
    response.Clear();
    response.ErrorCode = 12019;  // the handle is not in the right state: nothing is open
    response.ErrorMessage = InternetErrorTableText(12019);
    return false;
}

}  // namespace drevnik
