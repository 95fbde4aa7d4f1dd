// Fixture files of the drawing tests, reachable from the host build and from
// Windows programs under Wine (through drive Z:).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/streams.h"

namespace kel::test {

inline std::wstring DataFile(const std::string& name) {
    std::string path = std::string(KYN_TEST_DATA) + "/" + name;
    std::wstring w(path.begin(), path.end());
#ifdef _WIN32
    for (auto& c : w)
        if (c == L'/') c = L'\\';
    w = L"Z:" + w;
#endif
    return w;
}

inline std::vector<uint8_t> DataBytes(const std::string& name) {
    std::ifstream in(std::filesystem::path(DataFile(name)), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A memory stream made from bytes given as text, read back as text.
class TextStream : public fw::TMemoryStream {
public:
    TextStream() = default;
    explicit TextStream(std::string_view bytes) {
        if (!bytes.empty()) WriteBuffer(bytes.data(), bytes.size());
        SetPosition(0);
    }
    std::string Text() { return std::string(reinterpret_cast<const char*>(Memory()), static_cast<size_t>(Size())); }
};

}  // namespace kel::test
