#include "crashreport/report/SendRules.h"

#include <cmath>
#include <climits>

#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {

bool TextToSendEndsWithBlankLines(std::string_view text) {
    return text.size() >= 6 && text.substr(text.size() - 6) == "\r\n\r\n\r\n";
}

std::string TempLogCopyText(std::string_view textToSend) {
    std::string text(textToSend);
    if (!TextToSendEndsWithBlankLines(text)) text += "\r\n\r\n\r\n";
    std::string out;
    out.reserve(text.size() + 16);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            out.append(text, start, std::string::npos);
            out += "\r\n";
            break;
        }
        out.append(text, start, end - start);
        out += "\r\n";
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return out;
}

bool AutoCrashDue(const std::vector<std::string>& times, uint32_t count, int32_t minutes) {
    if (count == 0 || times.size() != count) return false;
    const double first = StrToFloatDot(times.front());
    const double last = StrToFloatDot(times.back());
    return last - first <= static_cast<double>(minutes) / 1440.0;
}

int32_t RoundHalfEven(double value) {
    if (!(value == value)) return 0;
    if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
    if (value <= static_cast<double>(INT32_MIN)) return INT32_MIN;
    return static_cast<int32_t>(std::nearbyint(value));
}

int32_t UploadPercent(uint32_t total, uint32_t done) {
    if (total == 0) return 0;
    return RoundHalfEven(static_cast<double>(done) / total * 100.0);
}

TConnectionProgressStep ConnectionProgressStep(uint8_t kind, int32_t value) {
    switch (kind) {
    case 0:
        return {114, true, false, 5};
    case 1:
        return {115, false, true, 5};
    case 2:
        return {113, false, true, 5};
    case 3:
        return {118, false, true, 5};
    case 4:
        return {119, false, true, 5};
    case 5:
        return {120, false, true, 5};
    case 6:
        return {116, false, false, RoundHalfEven(value / 100.0 * 65 + 35)};
    case 7:
        return {117, false, false, 100};
    case 8:
        return {121, false, false, 100};
    case 9:
        return {122, false, false, 100};
    default:
        return {0, false, false, -1};
    }
}

}  // namespace drevnik
