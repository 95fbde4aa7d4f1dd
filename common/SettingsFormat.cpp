// Reader and writer of the general settings file's text form.
#include "common/SettingsFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace common {
namespace {

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsSkippedBeforeToken(char c) { return c == ' ' || c == '\t' || IsLineEnd(c); }
bool EndsToken(char c) {
    auto u = static_cast<unsigned char>(c);
    return u <= 0x20 || u == 0x7F;
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

[[noreturn]] void ThrowInvalidNumericInput() { throw fw::EInOutError(kInvalidNumericInput); }

// The decimal exponent of the first non-zero digit of a validated real
// token, e.g. 2 for "123.4", -3 for "0.00123e0". Only tells underflow from
// overflow, so a huge written exponent may saturate.
long long LeadingDigitExponent(std::string_view token) {
    size_t i = (token[0] == '+' || token[0] == '-') ? 1 : 0;
    long long digitsBeforePoint = 0;
    long long leadIndex = -1;  // among the mantissa's digits
    long long digitIndex = 0;
    bool seenPoint = false;
    for (; i < token.size() && token[i] != 'e' && token[i] != 'E'; ++i) {
        if (token[i] == '.') {
            seenPoint = true;
            continue;
        }
        if (!seenPoint) ++digitsBeforePoint;
        if (leadIndex < 0 && token[i] != '0') leadIndex = digitIndex;
        ++digitIndex;
    }
    long long exponent = 0;
    if (i < token.size()) {
        ++i;
        bool negative = false;
        if (token[i] == '+' || token[i] == '-') negative = token[i++] == '-';
        for (; i < token.size(); ++i) {
            if (exponent < 1000000) exponent = exponent * 10 + (token[i] - '0');
        }
        if (negative) exponent = -exponent;
    }
    return digitsBeforePoint - 1 - leadIndex + exponent;
}

}  // namespace

bool ParseSettingsInt(std::string_view token, int& value) {
    size_t i = 0;
    bool negative = false;
    if (!token.empty() && (token[0] == '+' || token[0] == '-')) {
        negative = token[0] == '-';
        i = 1;
    }
    if (i == token.size()) return false;
    long long magnitude = 0;
    for (; i < token.size(); ++i) {
        if (!IsDigit(token[i])) return false;
        magnitude = magnitude * 10 + (token[i] - '0');
        if (magnitude > 2147483648LL) return false;
    }
    const long long result = negative ? -magnitude : magnitude;
    if (result > std::numeric_limits<int>::max()) return false;
    value = static_cast<int>(result);
    return true;
}

bool ParseSettingsReal(std::string_view token, double& value) {
    // Grammar first: [+-] digits [. digits] | [+-] . digits, then [eE [+-] digits].
    // from_chars alone would also take "inf", "nan" and hex forms.
    size_t i = 0;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    const size_t signEnd = i;
    size_t mantissaDigits = 0;
    while (i < token.size() && IsDigit(token[i])) ++i, ++mantissaDigits;
    if (i < token.size() && token[i] == '.') {
        ++i;
        while (i < token.size() && IsDigit(token[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return false;
    if (i < token.size() && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
        size_t exponentDigits = 0;
        while (i < token.size() && IsDigit(token[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    if (i != token.size()) return false;

    const bool negative = signEnd == 1 && token[0] == '-';
    const char* first = token.data() + signEnd;
    const char* last = token.data() + token.size();
    double parsed = 0.0;
    auto [ptr, ec] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too small for a double reads as zero; too large is an error, never
        // a silent infinity.
        if (LeadingDigitExponent(token) >= 0) return false;
        parsed = 0.0;
    } else if (ec != std::errc() || ptr != last) {
        return false;
    }
    if (!std::isfinite(parsed)) return false;
    value = negative ? -parsed : parsed;
    return true;
}

std::string_view TSettingsReader::NextToken() {
    while (pos_ < text_.size() && IsSkippedBeforeToken(text_[pos_])) ++pos_;
    const size_t start = pos_;
    while (pos_ < text_.size() && !EndsToken(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
}

int TSettingsReader::ReadInt() {
    std::string_view token = NextToken();
    if (token.empty()) {
        if (AtEnd()) return 0;
        ThrowInvalidNumericInput();  // a control character where a number should start
    }
    int value = 0;
    if (!ParseSettingsInt(token, value)) ThrowInvalidNumericInput();
    return value;
}

double TSettingsReader::ReadReal() {
    std::string_view token = NextToken();
    if (token.empty()) {
        if (AtEnd()) return 0.0;
        ThrowInvalidNumericInput();
    }
    double value = 0.0;
    if (!ParseSettingsReal(token, value)) ThrowInvalidNumericInput();
    return value;
}

std::string TSettingsReader::ReadLineText() {
    const size_t start = pos_;
    while (pos_ < text_.size() && !IsLineEnd(text_[pos_])) ++pos_;
    return std::string(text_.substr(start, pos_ - start));
}

void TSettingsReader::NextLine() {
    while (pos_ < text_.size() && !IsLineEnd(text_[pos_])) ++pos_;
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == '\r') {
        ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else {
        ++pos_;
    }
}

std::string FormatSettingsInt(int value) {
    char buffer[16];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string FormatSettingsReal(double value) {
    // The largest doubles round up past the largest double at 15 digits and
    // would not read back; they are written one step lower.
    constexpr double kLargestWritable = 1.79769313486231e308;
    if (!std::isfinite(value)) value = 0.0;
    value = std::clamp(value, -kLargestWritable, kLargestWritable);
    std::string field;
    field.reserve(23);
    field.push_back(value < 0.0 ? '-' : ' ');  // -0.0 is zero: a blank
    // to_chars is locale-independent and rounds correctly: "d.<14 digits>e±x".
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    field.append(text.substr(0, e));
    field.push_back('E');
    field.push_back(text[e + 1]);
    std::string_view digits = text.substr(e + 2);
    field.append(4 - digits.size(), '0');
    field.append(digits);
    return field;
}

void ReadGeneralSettings(std::string_view text, TGeneralSettings& settings, int lines) {
    constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
    TSettingsReader reader(text);
    for (const TSettingsLine& line : SettingsLines().first(std::clamp(lines, 0, kSettingsLineCount))) {
        for (const TSettingsValue& value : line.Values()) {
            switch (value.Kind()) {
                case TSettingsValueKind::Int: value.Int(settings) = reader.ReadInt(); break;
                case TSettingsValueKind::Real: value.Real(settings) = reader.ReadReal(); break;
                case TSettingsValueKind::Text: value.Text(settings) = fw::AnsiToWide(reader.ReadLineText()); break;
            }
        }
        reader.NextLine();
    }
}

std::string WriteGeneralSettings(const TGeneralSettings& settings) {
    // The table hands out references for reading and writing alike.
    TGeneralSettings s = settings;
    std::string out;
    for (const TSettingsLine& line : SettingsLines()) {
        bool first = true;
        for (const TSettingsValue& value : line.Values()) {
            if (!first) out.push_back(' ');
            first = false;
            switch (value.Kind()) {
                case TSettingsValueKind::Int: out += FormatSettingsInt(value.Int(s)); break;
                case TSettingsValueKind::Real: out += FormatSettingsReal(value.Real(s)); break;
                case TSettingsValueKind::Text: {
                    std::string text = fw::WideToAnsi(value.Text(s));
                    std::erase_if(text, [](char c) { return IsLineEnd(c); });
                    out += text;
                    break;
                }
            }
        }
        out += "\r\n";
    }
    return out;
}

}  // namespace common
