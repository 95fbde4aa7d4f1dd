// Feeds arbitrary bytes to the DNS reply reader: it must neither read outside
// the reply nor loop, and every name it gives must be well-formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "crashreport/delivery/DnsMxQuery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::string host = drevnik::ParseMxReply(reply);
    if (host.size() > drevnik::kMaxDnsNameWireLength) abort();
    for (size_t start = 0; start < size && start < 64; ++start) {
        size_t position = start;
        if (auto name = drevnik::ReadDnsName(reply, position)) {
            if (position <= start || position > size || name->size() > drevnik::kMaxDnsNameWireLength) abort();
        } else if (position != start) {
            abort();
        }
    }
    return 0;
}
