// The delivery's platform-free rules: the temporary log copy's text, the
// auto-crash decision and the progress steps of the send dialog.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace drevnik {

// Whether the text ends with "\r\n\r\n\r\n".
bool TextToSendEndsWithBlankLines(std::string_view text);
// The text of the temporary log copy: the report with three line breaks
// added unless it has them, every line ended by CR LF.
std::string TempLogCopyText(std::string_view textToSend);

// Whether `count` reports (the newest kept, as day numbers with '.') came
// within `minutes`: exactly `count` entries, last - first <= minutes / 1440.
bool AutoCrashDue(const std::vector<std::string>& times, uint32_t count, int32_t minutes);

// Nearest integer, halves to even.
int32_t RoundHalfEven(double value);
// Done / Total x 100, rounded; 0 for an empty total.
int32_t UploadPercent(uint32_t total, uint32_t done);

// What one progress notice of an HTTP connection does to the dialog.
struct TConnectionProgressStep {
    int TextIndex = 0;      // the text shown; 0: none
    bool ResetFirst = false;  // stored position := 0 before the move
    bool Advance = false;   // advance by Value, else set to Value
    int32_t Value = 0;
};
// Kinds 0 to 9; other kinds do nothing (TextIndex 0, no move: Value -1).
TConnectionProgressStep ConnectionProgressStep(uint8_t kind, int32_t value);

}  // namespace drevnik
