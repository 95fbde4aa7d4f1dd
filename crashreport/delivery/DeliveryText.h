// Small ASCII text helpers of the delivery code (8-bit strings; case folding
// and trimming touch ASCII only, as the web formats want).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace drevnik::text {

inline char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

inline bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline bool IsAsciiAlnum(char c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

inline std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = AsciiLower(c);
    return out;
}

inline bool IEquals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    }
    return true;
}

// True when `s` holds `what` at `at`, ignoring case.
inline bool IMatchAt(std::string_view s, size_t at, std::string_view what) {
    return at <= s.size() && s.size() - at >= what.size() && IEquals(s.substr(at, what.size()), what);
}

// First position at or after `from` where `what` occurs, ignoring case; npos when none.
inline size_t IFind(std::string_view s, std::string_view what, size_t from = 0) {
    if (what.empty()) return from <= s.size() ? from : std::string_view::npos;
    for (size_t i = from; i < s.size() && s.size() - i >= what.size(); ++i) {
        if (IMatchAt(s, i, what)) return i;
    }
    return std::string_view::npos;
}

// Trims bytes up to and including the blank, like the library's other trims.
inline std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

}  // namespace drevnik::text
