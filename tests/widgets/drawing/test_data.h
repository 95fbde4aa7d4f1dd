// Fixture files of the drawing tests, reachable from the host build and from
// Windows programs under Wine (through drive Z:).
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

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

}  // namespace kel::test
