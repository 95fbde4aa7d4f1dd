// The typed edit's text rules.
#include "widgets/editors/KelEditText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string_view>

namespace kel {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int HexDigit(wchar_t c) {
    if (IsDigit(c)) return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return -1;
}

std::wstring Widen(const char* s) { return std::wstring(s, s + std::char_traits<char>::length(s)); }

// "-" is dropped from results whose digits are all zero ("-0.00").
std::wstring WithoutNegativeZero(std::wstring s) {
    if (!s.empty() && s[0] == L'-' &&
        std::none_of(s.begin() + 1, s.end(), [](wchar_t c) { return c >= L'1' && c <= L'9'; })) {
        s.erase(0, 1);
    }
    return s;
}

std::wstring NonFiniteText(double value) {
    if (std::isnan(value)) return L"NAN";
    return value < 0 ? L"-INF" : L"INF";
}

// Groups the integer digits of a plain "[-]digits[.digits]" text with the
// thousand separator and puts the decimal separator in place of the point.
std::wstring GroupThousands(const std::wstring& plain, const TNumberSeparators& seps) {
    size_t begin = plain[0] == L'-' ? 1 : 0;
    size_t end = plain.find(L'.');
    if (end == std::wstring::npos) end = plain.size();
    std::wstring out = plain.substr(0, begin);
    for (size_t i = begin; i < end; ++i) {
        if (i > begin && (end - i) % 3 == 0) out += seps.Thousand;
        out += plain[i];
    }
    if (end < plain.size()) out += seps.Decimal + plain.substr(end + 1);
    return out;
}

std::wstring SwapPoint(std::wstring s, wchar_t decimal) {
    if (size_t dot = s.find(L'.'); dot != std::wstring::npos) s[dot] = decimal;
    return s;
}

std::wstring PlainFixed(double value, int decimals) {
    decimals = std::clamp(decimals, 0, 18);
    const int n = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    std::string buf(static_cast<size_t>(n) + 1, '\0');
    std::snprintf(buf.data(), buf.size(), "%.*f", decimals, value);
    buf.resize(static_cast<size_t>(n));
    return WithoutNegativeZero(Widen(buf.c_str()));
}

}  // namespace

std::wstring ValueOfWindowText(const std::wstring& windowText, const std::wstring& prefix, const std::wstring& suffix) {
    std::wstring v = windowText;
    if (!prefix.empty() && v.compare(0, prefix.size(), prefix) == 0) v.erase(0, prefix.size());
    if (!suffix.empty() && v.size() >= suffix.size()) v.erase(v.size() - suffix.size());
    return v;
}

bool ReadDecimalNumber(const std::wstring& text, double& value) {
    size_t b = text.find_first_not_of(L' ');
    size_t e = text.find_last_not_of(L' ');
    if (b == std::wstring::npos) return false;
    std::string ascii;
    bool digits = false;
    size_t i = b;
    auto take = [&](auto pred) {
        while (i <= e && pred(text[i])) ascii += static_cast<char>(text[i++]);
    };
    if (text[i] == L'+' || text[i] == L'-') ascii += static_cast<char>(text[i++]);
    size_t before = ascii.size();
    take(IsDigit);
    digits = ascii.size() > before;
    if (i <= e && text[i] == L'.') {
        ascii += '.';
        ++i;
        before = ascii.size();
        take(IsDigit);
        digits = digits || ascii.size() > before;
    }
    if (!digits) return false;
    if (i <= e && (text[i] == L'e' || text[i] == L'E')) {
        ascii += 'e';
        ++i;
        if (i <= e && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
        before = ascii.size();
        take(IsDigit);
        if (ascii.size() == before) return false;
    }
    if (i <= e) return false;
    const double v = std::strtod(ascii.c_str(), nullptr);
    if (!std::isfinite(v)) return false;
    value = v;
    return true;
}

double TextToNumber(const std::wstring& text, const TNumberSeparators& seps) {
    std::wstring s;
    s.reserve(text.size());
    for (wchar_t c : text) {
        if (c == seps.Thousand) continue;
        // The locale's point becomes ".", and a literal "." that is not the
        // locale's point is no number.
        if (c == seps.Decimal) {
            s += L'.';
        } else if (c == L'.') {
            return 0;
        } else {
            s += c;
        }
    }
    double v = 0;
    return ReadDecimalNumber(s, v) ? v : 0;
}

int ClassifyNumberText(const std::wstring& text, const TNumberSeparators& seps) {
    bool integer = !text.empty(), separated = !text.empty(), hex = !text.empty();
    int decimals = 0, minus = 0;
    int lastThousand = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const wchar_t c = text[i];
        const int pos = static_cast<int>(i) + 1;
        if (c != L'-' && !IsDigit(c)) integer = false;
        if (c != L',' && c != L'-' && c != L'.' && !IsDigit(c)) separated = false;
        if (c != L'-' && HexDigit(c) < 0) hex = false;
        if (c == seps.Thousand) {
            if (pos == 1 || (lastThousand > 0 && pos - lastThousand < 3)) separated = false;
            lastThousand = pos;
        }
        if (c == seps.Decimal) ++decimals;
        if (c == L'-') ++minus;
    }
    int result = kNumberOther;
    if (hex && !integer) {
        result = kNumberHex;
    } else if (integer) {
        result = kNumberInteger;
    } else if (separated) {
        result = kNumberSeparated;
    }
    if (minus > 1 || decimals > 1) result = kNumberOther;
    return result;
}

int32_t HexToInt(const std::wstring& text) {
    uint32_t sum = 0, weight = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const int d = HexDigit(*it);
        sum += static_cast<uint32_t>(d < 0 ? 0 : d) * weight;
        weight *= 16;
    }
    return static_cast<int32_t>(sum);
}

std::wstring HexText(uint64_t value) {
    static const wchar_t kDigits[] = L"0123456789ABCDEF";
    std::wstring s;
    do {
        s.insert(s.begin(), kDigits[value & 15]);
        value >>= 4;
    } while (value);
    return s;
}

std::wstring FormatGeneral(double value, const TNumberSeparators& seps) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    if (value == 0) return L"0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", value);
    // buf: [-]d.ddddddddddddddde[+-]XX
    std::string s(buf);
    const bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    const size_t epos = s.find('e');
    const int exponent = std::atoi(s.c_str() + epos + 1);
    std::string digits = s.substr(0, 1) + s.substr(2, epos - 2);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string out = negative ? "-" : "";
    if (exponent >= -5 && exponent < 15) {
        if (exponent < 0) {
            out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
        } else {
            const size_t whole = static_cast<size_t>(exponent) + 1;
            if (digits.size() <= whole) {
                out += digits + std::string(whole - digits.size(), '0');
            } else {
                out += digits.substr(0, whole) + "." + digits.substr(whole);
            }
        }
    } else {
        out += digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    }
    return SwapPoint(Widen(out.c_str()), seps.Decimal);
}

std::wstring FormatFixed(double value, int decimals, const TNumberSeparators& seps) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    return SwapPoint(PlainFixed(value, decimals), seps.Decimal);
}

std::wstring FormatGrouped(double value, int decimals, const TNumberSeparators& seps) {
    if (!std::isfinite(value)) return NonFiniteText(value);
    return GroupThousands(PlainFixed(value, decimals), seps);
}

bool IsWordDelimiter(wchar_t c) {
    return std::wstring_view(L" ,.-'\\/:*$)\"").find(c) != std::wstring_view::npos;
}

std::wstring ToMixedCase(const std::wstring& text, const std::function<wchar_t(wchar_t)>& upper,
                         const std::function<wchar_t(wchar_t)>& lower) {
    std::wstring t = text;
    bool capital = true;
    const size_t n = t.size();
    for (size_t k = 0; k < n; ++k) {
        if (IsWordDelimiter(t[k])) {
            capital = true;
        } else if (capital) {
            t[k] = upper(t[k]);
            capital = false;
        } else {
            t[k] = lower(t[k]);
        }
        const size_t i = k + 1;  // characters done
        const size_t mc = t.find(L" Mc");
        if ((i == 2 && t.compare(0, 2, L"Mc") == 0) || (i == 3 && t.compare(0, 3, L"Mac") == 0) ||
            (mc != std::wstring::npos && mc + 3 == i && i > 2) ||
            (i + 2 >= n && ((i >= 2 && t.compare(i - 2, 2, L" I") == 0) || (i >= 3 && t.compare(i - 3, 3, L" II") == 0)))) {
            capital = true;
        }
    }
    return t;
}

bool IsURL(const std::wstring& value) {
    if (value.find(L"://") != std::wstring::npos) return true;
    if (size_t at = value.find(L'@'); at != std::wstring::npos && at >= 1) return true;
    if (value.size() < 4) return false;
    std::wstring head = value.substr(0, 4);
    for (wchar_t& c : head) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    }
    return head == L"www.";
}

std::optional<std::wstring> ShellOpenableURL(const std::wstring& value) {
    const size_t b = value.find_first_not_of(L' ');
    if (b == std::wstring::npos) return std::nullopt;
    const std::wstring v = value.substr(b, value.find_last_not_of(L' ') - b + 1);
    // Control characters have no place in an address.
    if (std::any_of(v.begin(), v.end(), [](wchar_t c) { return c < L' ' || c == 0x7F; })) return std::nullopt;
    std::wstring lower = v;
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c + 32);
    }
    auto starts = [&lower](std::wstring_view head) { return lower.compare(0, head.size(), head) == 0; };
    for (std::wstring_view scheme : {L"http://", L"https://", L"ftp://"}) {
        if (starts(scheme) && lower.size() > scheme.size()) return v;
    }
    if (starts(L"mailto:")) return lower.size() > 7 ? std::optional<std::wstring>(v) : std::nullopt;
    if (lower.find(L':') != std::wstring::npos) return std::nullopt;
    if (starts(L"www.") && lower.size() > 4) return L"http://" + v;
    const size_t at = v.find(L'@');
    if (at != std::wstring::npos && at >= 1 && at + 1 < v.size() && v.find_first_of(L" /\\") == std::wstring::npos) {
        return L"mailto:" + v;
    }
    return std::nullopt;
}

TTextRange ValueSelection(const std::wstring& prefix, const std::wstring& value, bool showURL) {
    const int p = static_cast<int>(prefix.size());
    TTextRange r{p, static_cast<int>(value.size())};
    if (!showURL) return r;
    for (const wchar_t* mark : {L"://", L"mailto:"}) {
        const size_t at = value.find(mark);
        if (at == std::wstring::npos) continue;
        const int behind = static_cast<int>(at + std::wcslen(mark));
        r = TTextRange{p + behind, static_cast<int>(value.size()) - behind};
    }
    return r;
}

int IntegerLength(const std::wstring& text, const TNumberSeparators& seps, bool signedNumber) {
    const size_t end = std::min(text.find(seps.Decimal), text.size());
    int n = 0;
    for (size_t i = 0; i < end; ++i) {
        if (text[i] != seps.Thousand) ++n;
    }
    if (signedNumber && text.find(L'-') != std::wstring::npos) --n;
    return n;
}

bool DecimalsExceeded(const std::wstring& text, int caret, int precision, wchar_t decimalSeparator) {
    const int len = static_cast<int>(text.size());
    const size_t at = text.find(decimalSeparator);
    if (precision <= 0 || len - caret > precision || at == std::wstring::npos) return false;
    const int d = static_cast<int>(at) + 1;
    return caret >= d && len - d >= precision;
}

bool ThousandSeparatorMisplaced(const std::wstring& text, int caret, wchar_t thousandSeparator) {
    std::wstring s = text;
    if (s.find(thousandSeparator) == std::wstring::npos) return false;
    int a = caret;
    int m = static_cast<int>(s.size());
    for (size_t at = s.find(thousandSeparator); at != std::wstring::npos; at = s.find(thousandSeparator)) {
        const int p = static_cast<int>(at) + 1;
        const int distance = std::abs(p - a);
        m = std::min(m, distance);
        if (distance < 3) return true;
        if (p < a) a -= p;
        s.erase(0, static_cast<size_t>(p));
    }
    return m > 3;
}

bool IsRangeSeparator(wchar_t c) { return c == L',' || c == L'-' || c == L';'; }

TMergedPaste MergePaste(const std::wstring& value, int selStart, int selLength, const std::wstring& clip) {
    const int len = static_cast<int>(value.size());
    const int start = std::clamp(selStart, 0, len);
    const int count = std::clamp(selLength, 0, len - start);
    TMergedPaste m;
    m.Value = value.substr(0, static_cast<size_t>(start)) + clip + value.substr(static_cast<size_t>(start + count));
    if (count == 0) {
        m.SelStart = start + static_cast<int>(clip.size());
    } else {
        m.SelStart = start;
        m.SelLength = static_cast<int>(clip.size());
    }
    return m;
}

std::wstring MoneyNumberText(const std::wstring& text, const TNumberSeparators& seps) {
    std::wstring s;
    for (wchar_t c : text) {
        if (c != seps.Thousand) s += c;
    }
    const size_t at = s.find(seps.Decimal);
    if (at != std::wstring::npos && at + 1 == s.size()) s.erase(at, 1);
    return s;
}

bool IsWellFormedNumber(const std::wstring& text, const TNumberSeparators& seps, bool allowSign, int decimals) {
    size_t i = 0;
    if (i < text.size() && text[i] == L'-') {
        if (!allowSign) return false;
        ++i;
    }
    // Integer part: digit groups; once a thousand separator is used, every
    // group after it has three digits and the first one one to three.
    int group = 0;
    bool grouped = false;
    for (; i < text.size() && text[i] != seps.Decimal; ++i) {
        if (IsDigit(text[i])) {
            ++group;
        } else if (text[i] == seps.Thousand) {
            if (group == 0 || (grouped ? group != 3 : group > 3)) return false;
            grouped = true;
            group = 0;
        } else {
            return false;
        }
    }
    if (grouped && group != 3) return false;
    if (i == text.size()) return true;
    if (decimals == 0) return false;
    ++i;  // the decimal separator
    const size_t fraction = text.size() - i;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return false;
    }
    return decimals < 0 || fraction <= static_cast<size_t>(decimals);
}

}  // namespace kel
