// The last answer of an HTTP request, or the error of a failed one.
#pragma once

#include <cstdint>
#include <string>

namespace drevnik {

class THTTPResponse {
public:
    virtual ~THTTPResponse() = default;

    // Copies all seven fields; a null source is refused with an exception.
    virtual void Assign(const THTTPResponse* source);
    virtual void Clear();

    int32_t StatusCode = 0;
    std::string StatusText;
    std::string RawHeaders;  // CR LF separated
    std::string PageText;    // after a finished request: one line, bytes below 32 made blanks
    std::string PageName;    // page of the request, or of the redirect target
    int32_t ErrorCode = 0;   // Windows or WinInet error of a failed call
    std::string ErrorMessage;
};

}  // namespace drevnik
