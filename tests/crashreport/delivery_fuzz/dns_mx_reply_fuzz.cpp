// Feeds arbitrary bytes to the DNS reply reader: it must neither read outside
// the reply nor loop, and every name it gives must be well-formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crashreport/delivery/DnsMxQuery.h"

namespace {

// Dotted text that encodes back to a name: no NUL, no empty label.
bool WellFormed(std::string_view name) {
    if (name.empty()) return true;
    return name.size() <= drevnik::kMaxDnsNameWireLength && name.find('\0') == std::string_view::npos &&
           name.front() != '.' && name.back() != '.' && name.find("..") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::string host = drevnik::ParseMxReply(reply);
    if (!WellFormed(host)) abort();
    for (size_t start = 0; start < size && start < 64; ++start) {
        size_t position = start;
        if (auto name = drevnik::ReadDnsName(reply, position)) {
            if (position <= start || position > size || !WellFormed(*name)) abort();
        } else if (position != start) {
            abort();
        }
    }
    return 0;
}
