// Line framing of a byte stream.
#include "framework/net/line_framer.h"

namespace fw::net {

bool TLineFramer::Feed(const char* data, size_t size, std::vector<std::wstring>& lines) {
    if (failed_) return false;
    for (size_t i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == '\n') {
            if (!partial_.empty() && partial_.back() == L'\r') partial_.pop_back();
            lines.push_back(std::move(partial_));
            partial_.clear();
            continue;
        }
        // The CR that may still be dropped is allowed past the cap by one.
        if (partial_.size() >= max_ + (byte == '\r' ? 1 : 0)) {
            failed_ = true;
            partial_.clear();
            return false;
        }
        partial_.push_back(byte < 0x80 ? static_cast<wchar_t>(byte) : L'?');
    }
    return true;
}

}  // namespace fw::net
