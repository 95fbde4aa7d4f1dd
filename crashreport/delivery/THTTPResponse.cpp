#include "crashreport/delivery/THTTPResponse.h"

#include "framework/core/exceptions.h"

namespace drevnik {

void THTTPResponse::Assign(const THTTPResponse* source) {
    if (source == nullptr) throw fw::Exception(L"Cannot assign a THTTPResponse class to a NIL value.");
    StatusCode = source->StatusCode;
    StatusText = source->StatusText;
    RawHeaders = source->RawHeaders;
    PageText = source->PageText;
    PageName = source->PageName;
    ErrorCode = source->ErrorCode;
    ErrorMessage = source->ErrorMessage;
}

void THTTPResponse::Clear() {
    StatusCode = 0;
    ErrorCode = 0;
    StatusText.clear();
    RawHeaders.clear();
    PageText.clear();
    PageName.clear();
    ErrorMessage.clear();
}

}  // namespace drevnik
