#include "crashreport/capture/DrevnikUtils.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

bool IsSeparator(std::string_view separators, char c) { return separators.find(c) != std::string_view::npos; }

constexpr long long kMsPerDay = 86400000;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<long long>(yoe) + era * 400 + (month <= 2));
}

const long long kEpochOffset = DaysFromCivil(1899, 12, 30);  // 1899-12-30 from 1970-01-01

}  // namespace

// ---- Text ----------------------------------------------------------------

std::string Trim(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && static_cast<unsigned char>(text[first]) <= ' ') {
        ++first;
    }
    while (last > first && static_cast<unsigned char>(text[last - 1]) <= ' ') {
        --last;
    }
    return std::string(text.substr(first, last - first));
}

std::string UpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return result;
}

std::string LowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && UpperCase(a) == UpperCase(b);
}

void SplitText(std::string_view text, std::vector<std::string>& list, std::string_view separators, bool raw,
               bool keepEmpty) {
    const std::string trimmed = raw ? std::string(text) : Trim(text);
    const std::string_view s = trimmed;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (!IsSeparator(separators, s[i])) {
            continue;
        }
        std::string piece = raw ? std::string(s.substr(start, i - start + 1)) : Trim(s.substr(start, i - start));
        if (!piece.empty() || keepEmpty) {
            list.push_back(std::move(piece));
        }
        start = i + 1;
    }
    std::string rest = raw ? std::string(s.substr(start)) : Trim(s.substr(start));
    if (!rest.empty()) {
        list.push_back(std::move(rest));
    }
}

void SplitTrimmedText(std::string_view separators, std::string_view text, std::vector<std::string>& list) {
    std::size_t start = 0;
    while (start < text.size() && IsSeparator(separators, text[start])) {
        ++start;
    }
    for (std::size_t i = start; i < text.size(); ++i) {
        if (IsSeparator(separators, text[i])) {
            list.push_back(Trim(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    std::string rest = Trim(text.substr(std::min(start, text.size())));
    if (!rest.empty()) {
        list.push_back(std::move(rest));
    }
}

std::size_t PosFrom(std::string_view sub, std::string_view text, std::size_t start) {
    if (sub.empty() || start < 1 || start > text.size()) {
        return 0;
    }
    const std::size_t pos = text.find(sub, start - 1);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

std::string ReplaceAll(std::string_view text, std::string_view search, std::string_view replacement) {
    if (search.empty()) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size());
    std::size_t start = 0;
    for (;;) {
        const std::size_t pos = text.find(search, start);
        if (pos == std::string_view::npos) {
            break;
        }
        result.append(text.substr(start, pos - start)).append(replacement);
        start = pos + search.size();
    }
    result.append(text.substr(start));
    return result;
}

std::string CollapseControlChars(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    bool inRun = false;
    for (const char c : text) {
        if (static_cast<unsigned char>(c) < 32) {
            if (!inRun) {
                result.push_back(' ');
            }
            inRun = true;
        } else {
            result.push_back(c);
            inRun = false;
        }
    }
    return result;
}

std::string PadTextRight(std::string_view text, std::size_t width) {
    std::string result(text);
    if (result.size() < width) {
        result.append(width - result.size(), ' ');
    }
    return result;
}

std::string HtmlEscape(std::string_view text) {
    // The ampersand goes first so the entities made below are not escaped again.
    std::string s = ReplaceAll(text, "&", "&amp;");
    s = ReplaceAll(s, "\"", "&quot;");
    s = ReplaceAll(s, "'", "&#039;");
    s = ReplaceAll(s, "<", "&lt;");
    s = ReplaceAll(s, ">", "&gt;");
    s = ReplaceAll(s, "  ", "&nbsp;&nbsp;");
    return ReplaceAll(s, "\r\n", "<br>\r\n");
}

std::size_t Utf16ToUtf8Buffer(std::u16string_view source, char* buffer, std::size_t bufferSize) {
    if (buffer != nullptr && bufferSize == 0) {
        return 0;
    }
    std::size_t written = 0;
    const std::size_t limit = buffer != nullptr ? bufferSize - 1 : SIZE_MAX;
    for (std::size_t i = 0; i < source.size(); ++i) {
        uint32_t cp = source[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < source.size() && source[i + 1] >= 0xDC00 &&
            source[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (source[i + 1] - 0xDC00u);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        char bytes[4];
        std::size_t n;
        if (cp < 0x80) {
            bytes[0] = static_cast<char>(cp);
            n = 1;
        } else if (cp < 0x800) {
            bytes[0] = static_cast<char>(0xC0 | (cp >> 6));
            bytes[1] = static_cast<char>(0x80 | (cp & 0x3F));
            n = 2;
        } else if (cp < 0x10000) {
            bytes[0] = static_cast<char>(0xE0 | (cp >> 12));
            bytes[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | (cp & 0x3F));
            n = 3;
        } else {
            bytes[0] = static_cast<char>(0xF0 | (cp >> 18));
            bytes[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            bytes[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[3] = static_cast<char>(0x80 | (cp & 0x3F));
            n = 4;
        }
        if (written + n > limit) {
            break;
        }
        if (buffer != nullptr) {
            std::copy(bytes, bytes + n, buffer + written);
        }
        written += n;
    }
    if (buffer != nullptr) {
        buffer[written] = '\0';
    }
    return written + 1;
}

std::string Utf16ToUtf8(std::u16string_view source) {
    std::string result(Utf16ToUtf8Buffer(source, nullptr, 0), '\0');
    Utf16ToUtf8Buffer(source, result.data(), result.size());
    result.pop_back();
    return result;
}

// ---- Numbers, dates and times ----------------------------------------------

std::string FloatToStrDot(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

double StrToFloatDot(std::string_view text) {
    const std::string trimmed = Trim(text);
    std::string_view s = trimmed;
    if (!s.empty() && s.front() == '+') {
        s.remove_prefix(1);
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) {
        throw fw::EConvertError(L"'" + fw::AnsiToWide(text) + L"' is not a valid floating point value");
    }
    return value;
}

std::string PluralUnit(std::string_view unit, double amount) {
    std::string result(unit);
    if (std::trunc(amount) > 1) {
        result.push_back('s');
    }
    return result;
}

std::string FormatTimeSpan(double days) {
    if (!(days > 0)) {
        days = 0;
    }
    days = std::min(days, 1e9);
    const long long ms = std::llround(days * static_cast<double>(kMsPerDay));
    const long long d = ms / kMsPerDay;
    const long long h = ms / 3600000 % 24;
    const long long m = ms / 60000 % 60;
    const long long s = ms / 1000 % 60;
    std::string result;
    const auto part = [&result](long long amount, const char* unit, const char* tail) {
        result += std::to_string(amount) + ' ' + PluralUnit(unit, static_cast<double>(amount)) + tail;
    };
    if (d > 0) {
        part(d, "day", ", ");
    }
    if (h > 0) {
        part(h, "hour", ", ");
    }
    if (m > 0) {
        part(m, "minute", ", ");
    }
    part(s, "second", "");
    return result;
}

double EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
    const long long days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochOffset;
    const double time =
        static_cast<double>(((hour * 60LL + minute) * 60 + second) * 1000 + millisecond) / static_cast<double>(kMsPerDay);
    return days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
}

TDateTimeParts DecodeDateTime(double dateTime) {
    if (!std::isfinite(dateTime) || std::fabs(dateTime) > 3e6) {
        dateTime = 0;
    }
    long long day;
    long long msOfDay;
    if (dateTime >= 0) {
        const long long total = std::llround(dateTime * static_cast<double>(kMsPerDay));
        day = total / kMsPerDay;
        msOfDay = total % kMsPerDay;
    } else {
        // Before 1899-12-30 the fraction still counts forward from midnight.
        day = static_cast<long long>(std::trunc(dateTime));
        msOfDay = std::llround((static_cast<double>(day) - dateTime) * static_cast<double>(kMsPerDay));
        if (msOfDay >= kMsPerDay) {
            msOfDay -= kMsPerDay;
            --day;
        }
    }
    TDateTimeParts parts;
    CivilFromDays(day + kEpochOffset, parts.Year, parts.Month, parts.Day);
    parts.Hour = static_cast<int>(msOfDay / 3600000);
    parts.Minute = static_cast<int>(msOfDay / 60000 % 60);
    parts.Second = static_cast<int>(msOfDay / 1000 % 60);
    parts.Millisecond = static_cast<int>(msOfDay % 1000);
    parts.DayOfWeek = static_cast<int>(((day % 7) + 7 + 6) % 7);  // day 0 was a Saturday
    return parts;
}

std::string FormatUtcOffset(int offsetMinutes) {
    const char sign = offsetMinutes < 0 ? '-' : '+';
    int a = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    a = std::min(a, 99 * 60 + 59);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%c%02d%02d", sign, a / 60, a % 60);
    return buffer;
}

std::string FormatRfc822Date(double localDateTime, int utcOffsetMinutes) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const TDateTimeParts p = DecodeDateTime(localDateTime);
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%s, %d %s %d %02d:%02d:%02d %s", kDays[p.DayOfWeek], p.Day,
                  kMonths[p.Month - 1], p.Year, p.Hour, p.Minute, p.Second, FormatUtcOffset(utcOffsetMinutes).c_str());
    return buffer;
}

// ---- Versions ----------------------------------------------------------------

std::string PadVersionPart(std::string_view part) {
    std::string result(part);
    if (result.size() < 5) {
        result.insert(0, 5 - result.size(), '0');
    }
    return result;
}

std::string NormalizeVersion(std::string_view version) {
    if (version.empty()) {
        return std::string();
    }
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t dot = version.find('.', start);
        if (dot == std::string_view::npos) {
            parts.push_back(version.substr(start));
            break;
        }
        parts.push_back(version.substr(start, dot - start));
        start = dot + 1;
    }
    std::string result;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            result.push_back('.');
        }
        const std::size_t blank = parts[i].find(' ');
        if (i + 1 == parts.size() && blank != std::string_view::npos) {
            result += PadVersionPart(parts[i].substr(0, blank));
            result += parts[i].substr(blank);
        } else {
            result += PadVersionPart(parts[i]);
        }
    }
    for (std::size_t count = parts.size(); count < 4; ++count) {
        result += ".00000";
    }
    return result;
}

bool IsNewerVersion(std::string_view base, std::string_view candidate) {
    const std::string b = NormalizeVersion(base);
    const std::string c = NormalizeVersion(candidate);
    return !b.empty() && !c.empty() && c > b;
}

// ---- Path strings ------------------------------------------------------------

std::string RemoveVsHostSuffix(std::string_view fileName) { return ReplaceAll(fileName, ".vshost", ""); }

bool IsIdeProgramFileName(std::string_view programFileName) {
    return UpperCase(ExtractFileName(programFileName)) == "BDS.EXE";
}

// ---- %NAME% variables ------------------------------------------------------------

bool IsVariableNameChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z');
}

std::string ExpandVariablesWith(std::string_view text, const std::function<std::string(std::string_view)>& resolve) {
    std::string result;
    result.reserve(text.size());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        if (text[i] != '%') {
            result.push_back(text[i++]);
            continue;
        }
        // The name may run up to, but not over, the last character of the text.
        std::size_t j = i + 1;
        while (j + 1 < n && IsVariableNameChar(text[j])) {
            ++j;
        }
        if (j < n && text[j] == '%') {
            result += resolve(text.substr(i + 1, j - i - 1));
        } else {
            result.append(text.substr(i, std::min(j, n - 1) - i + 1));
        }
        i = j + 1;
    }
    return result;
}

}  // namespace drevnik
