// Cuts a TCP byte stream into lines: each ends in LF, a CR right before the
// LF is dropped, and the bytes are read as ASCII (a byte above 0x7F becomes
// '?'). A line longer than the cap, ended or not, is an error: the stream
// cannot be trusted after it and the connection is to be closed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fw::net {

class TLineFramer {
public:
    explicit TLineFramer(size_t maxLineLength) : max_(maxLineLength) {}

    // Appends the complete lines among the bytes to `lines`; false once a
    // line is over the cap (and for every call after that).
    bool Feed(const char* data, size_t size, std::vector<std::wstring>& lines);
    bool Failed() const { return failed_; }
    // Bytes of an unfinished line.
    size_t Pending() const { return partial_.size(); }

private:
    size_t max_;
    std::wstring partial_;
    bool failed_ = false;
};

}  // namespace fw::net
