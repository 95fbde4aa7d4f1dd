// The line builder of the report's numbered sections: "Caption:", a dash
// line, then "  n.m Label: value" lines whose colons line up.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace drevnik {

class TLogItem {
public:
    explicit TLogItem(int32_t startSection) : StartSection(startSection) { Clear(); }

    void Clear();
    void AddHeader(std::string_view caption);
    // Counts the next item; only a shown one gets its line(s).
    void AddItem(std::string_view label, std::string_view value, bool shown);
    // Empty sections dropped, colons aligned, dash lines widened; every line
    // ends with CR LF.
    std::string GetText() const;

    std::string Lines;
    int32_t SectionNumber = 0;
    int32_t ItemNumber = 0;
    int32_t StartSection = 0;
};

// A CR not followed by LF, or an LF not preceded by CR and not first.
bool HasUnpairedLineBreaks(std::string_view text);
// Every such lone CR or LF becomes CR LF.
std::string NormalizeLineBreaks(std::string_view text);

}  // namespace drevnik
