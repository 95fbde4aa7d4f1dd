// Sample program for the decoder tests: its code section, built by our i686
// toolchain with libstdc++ and the C run time linked in, is a realistic mix of
// compiled code (see make_code_fixture.sh).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "crashreport/capture/InstructionLength.cpp"
#include "framework/core/text_codec.cpp"

volatile double g_d = 1.5;
volatile int64_t g_i = 123456789012345LL;

int main(int argc, char**) {
    std::map<std::string, double> m;
    for (int i = 0; i < argc * 10; ++i) m[std::to_string(i)] = std::sin(g_d * i) / (i + 1);
    std::vector<int64_t> v;
    for (auto& [k, d] : m) v.push_back(static_cast<int64_t>(d * 1e9) / (g_i % 97 + 1) + (g_i >> 7));
    std::sort(v.begin(), v.end());
    char buf[64];
    std::snprintf(buf, sizeof buf, "%g %lld", g_d, static_cast<long long>(v.front()));
    try {
        if (argc > 5) throw std::runtime_error(buf);
    } catch (const std::exception& e) {
        std::puts(e.what());
    }
    int len = 0;
    drevnik::GetInstructionLength(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(buf), 16), len);
    return static_cast<int>(fw::WideToAnsi(fw::AnsiToWide(buf)).size()) + len;
}
