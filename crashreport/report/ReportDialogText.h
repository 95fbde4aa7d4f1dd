// What the report dialogs compute without a window: the coloured rich text of
// the General, Assembler and CPU pages, the wrapped-text and compact-view
// measures (with the pixel measuring handed in), the page and tab numbers,
// the e-mail item of the report, the line cell of the call-stack list and the
// record that names a source location for the development environment.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace drevnik {

// ---- Rich text ----------------------------------------------------------------------

// "\" "{" "}" escaped, every CR LF turned into "\par" CR LF.
std::string EscapeRtf(std::string_view text);
// Font table (the fixed face in `charset`) and the colour table.
std::string RtfHeader(int charset, std::string_view fixedFace);

struct TRtfFont {
    int Charset = 0;
    std::string Face = "Lucida Console";
    int PointSize = 8;
};
// Whole documents for the three rich-text pages. `tabTwips` is the tab stop
// of the CPU page's two columns.
std::string GeneralPartToRtf(std::string_view text, const TRtfFont& font);
std::string AssemblerPartToRtf(std::string_view text, const TRtfFont& font);
std::string CpuPartToRtf(std::string_view text, const TRtfFont& font, int tabTwips);

// "yyyy-mm-dd hh:nn:ss".
std::string FormatReportDateTime(double dateTime);

// ---- Measuring --------------------------------------------------------------------------

struct TTextSize {
    int Width = 0;
    int Height = 0;
};
using TMeasureText = std::function<TTextSize(std::string_view text)>;

// The height of `text` wrapped at `width` - 6 pixels, word by word.
int EstimateWrappedTextHeight(std::string_view text, int width, const TMeasureText& measure);

// The compact view: dialog width and message height for the message lines
// and the line of the two check-box texts, within 640 pixels.
struct TCompactLayout {
    int DialogWidth = 0;
    int TextHeight = 0;
};
TCompactLayout CompactMessageLayout(std::string_view message, std::string_view extraLine, int frame,
                                    int lineHeight, const std::function<int(std::string_view)>& widthOf);

// ---- Dialog session helpers -----------------------------------------------------------

// Height of the band under the buttons: 0, 20 or 34.
int BottomBandHeight(bool sendCheck, bool screenshotCheck, bool copyCheck, bool supportLink);
// Page shown for tab position `n` (or minus a page number) and the tab that
// shows `page`; -1 when no tab does.
int PageOfTab(int n, bool modulesAndProcesses, bool assemblerAndCpu);
int TabOfPage(int page, bool modulesAndProcesses, bool assemblerAndCpu);
// The start page, 0 when its group is switched off or it is unknown.
int NormalizeStartPage(int page, bool modulesAndProcesses, bool assemblerAndCpu);

// Contains "@" and "."; no control character, blank or angle bracket that
// could break the report's line or a mail header.
bool IsPlausibleEmail(std::string_view text);
// Replaces the value of report item 3.3; false when the item line is missing.
bool ReplaceReportEmailItem(std::string& text, std::string_view address);

// A stored decimal setting; `fallback` when the text is not a whole number.
int ParseStoredInt(std::string_view text, int fallback);

// ---- Source location for the development environment ----------------------------------

// The line cell "12[3]" split: line text "12", offset text "3"; offset "-1"
// when no bracket or nothing after its digits.
struct TLineCell {
    std::string Line;
    std::string Offset = "-1";
};
TLineCell SplitLineCell(std::string_view cell);

constexpr std::size_t kIdeRecordSize = 376;
// The mailslot record: unit, class and routine cut to 89 characters.
std::array<uint8_t, kIdeRecordSize> BuildIdeSourceRecord(std::string_view unit, std::string_view className,
                                                        std::string_view routine, int32_t line, int32_t offset,
                                                        double buildTime);

}  // namespace drevnik
