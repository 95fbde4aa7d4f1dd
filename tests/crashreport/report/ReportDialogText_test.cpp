#include "crashreport/report/ReportDialogText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace drevnik {
namespace {

// The body of a document: what follows the "\f0\fsN" line, without the final "}".
std::string Body(const std::string& rtf) {
    const std::size_t start = rtf.find("\\f0\\fs16\r\n");
    EXPECT_NE(start, std::string::npos) << rtf;
    EXPECT_EQ(rtf.back(), '}');
    return rtf.substr(start + 10, rtf.size() - start - 11);
}

TEST(ReportRtf, EscapesInOrderAndBreaksLines) {
    EXPECT_EQ(EscapeRtf("a\\b{c}\r\nd\ne"), "a\\\\b\\{c\\}\\par\r\nd\ne");
    EXPECT_EQ(RtfHeader(238, "Courier New").rfind("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1040{\\fonttbl"
                                                 "{\\f0\\fmodern\\fprq1\\fcharset238 Courier New;}}\r\n{\\colortbl ;",
                                                 0),
              0u);
}

TEST(ReportRtf, GeneralPartColoursCaptionsDashesAndItems) {
    const std::string text =
        "DrevnikLog 6.0.25\r\n\r\nApplication:\r\n------------\r\n  1.1 Start Date : Mon\r\n  continued\r\n";
    const std::string body = Body(GeneralPartToRtf(text, {}));
    EXPECT_EQ(body,
              "\\cf1\\b DrevnikLog 6.0.25\\par\\b0\r\n"
              "\\par\r\n"
              "\\cf3\\b Application:\\par\\b0\r\n"
              "\\cf3 ------------\\par\r\n"
              "\\cf5   1.1\\cf2  Start Date \\cf4 : Mon\\par\r\n"
              "  continued\\par\r\n");
}

TEST(ReportRtf, AssemblerCommentsAndHeaderLines) {
    const std::string body = Body(AssemblerPartToRtf("; Unit1.pas Form1.Click line 12\r\nmov eax, 1 ; note", {}));
    EXPECT_EQ(body,
              "\\cf5 \\cf6 ; Unit1.p\\cf4\\b as\\b0\\cf7  Form1.Click line 12\\par\r\n"
              "mov eax, 1 \\cf6 ; note");
}

TEST(ReportRtf, CpuRegistersTabsAndDumpLines) {
    std::string text = "Registers:\r\n----------\r\n";
    for (int i = 0; i < 4; ++i) text += "EAX: 00000001   EBX: 00000002\r\n";
    text += "\r\nStack:               Memory Dump:\r\n-----------------------------------\r\n";
    text += "0012FF00: 00000001   00401000: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10  ................";
    const std::string body = Body(CpuPartToRtf(text, {}, 1234));
    EXPECT_NE(body.find("\\cf3\\b Registers:\\par\\cf2\\b0\r\n"), std::string::npos);
    EXPECT_NE(body.find("EAX: \\cf4 00000001\\cf2    EBX: \\cf4 00000002\\cf2 \\par"), std::string::npos) << body;
    EXPECT_NE(body.find("\\pard\\tx1234\\cf3\\b Stack:\\tab Memory Dump:\\par\\cf2\\b0"), std::string::npos) << body;
    EXPECT_NE(body.find("\\cf3 ------------------\\tab ---"), std::string::npos) << body;
    EXPECT_NE(body.find("0012FF00: \\cf4 00000001\\cf2 \\tab 00401000: \\cf4 01 02"), std::string::npos) << body;
    EXPECT_NE(body.find("0F 10\\cf5   ................\\cf2 "), std::string::npos) << body;
}

TEST(ReportDialogMeasure, WrappedHeightCountsRowsPerLine) {
    // Every character 10 pixels wide, 12 high.
    const TMeasureText measure = [](std::string_view s) { return TTextSize{static_cast<int>(s.size()) * 10, 12}; };
    struct Case {
        const char* text;
        int width;
        int rows;
    } cases[] = {
        {"short", 200, 1},
        {"", 200, 1},
        {"a\r\n\r\nb", 200, 3},
        {"!!!!! ????? -----", 200, 1},  // only separators: one row per line
        {"!!!!! ????? -----\r\n??", 200, 2},
        {"aaaa bbbb cccc dddd", 106, 3},  // a run that reaches the width starts a row
    };
    for (const Case& c : cases)
        EXPECT_EQ(EstimateWrappedTextHeight(c.text, c.width, measure), 12 * c.rows) << c.text << " / " << c.width;
    // A box narrower than its margin does not divide by zero.
    EXPECT_GT(EstimateWrappedTextHeight("word", 3, measure), 12);
}

TEST(ReportDialogMeasure, CompactViewStaysWithin640Pixels) {
    const auto width = [](std::string_view s) { return static_cast<int>(s.size()) * 7; };
    const TCompactLayout small = CompactMessageLayout("Boom", "checks", 70, 13, width);
    EXPECT_EQ(small.DialogWidth, 340);
    EXPECT_EQ(small.TextHeight, 26);
    const TCompactLayout wide = CompactMessageLayout(std::string(300, 'x'), "checks", 70, 13, width);
    EXPECT_EQ(wide.DialogWidth, 640);
    // 2116 pixels in 570: three extra rows, then the line itself and the check line.
    EXPECT_EQ(wide.TextHeight, 13 * 5);
}

TEST(ReportDialogSession, BandPagesAndTabs) {
    EXPECT_EQ(BottomBandHeight(false, false, false, false), 0);
    EXPECT_EQ(BottomBandHeight(false, false, true, false), 20);
    EXPECT_EQ(BottomBandHeight(false, false, false, true), 20);
    EXPECT_EQ(BottomBandHeight(true, true, false, false), 34);
    EXPECT_EQ(BottomBandHeight(false, false, true, true), 34);
    // Start page 4 with the modules group off: the third tab shows it.
    EXPECT_EQ(NormalizeStartPage(4, false, true), 4);
    EXPECT_EQ(TabOfPage(4, false, true), 2);
    EXPECT_EQ(PageOfTab(2, false, true), 4);
    EXPECT_EQ(PageOfTab(3, false, true), 5);
    EXPECT_EQ(PageOfTab(2, true, false), 2);
    EXPECT_EQ(PageOfTab(-3, false, false), 3);
    EXPECT_EQ(NormalizeStartPage(2, false, true), 0);
    EXPECT_EQ(NormalizeStartPage(5, true, false), 0);
    EXPECT_EQ(NormalizeStartPage(9, true, true), 0);
}

TEST(ReportDialogSession, EmailChecksAndReportItem) {
    struct Case {
        const char* text;
        bool ok;
    } cases[] = {{"a@b.c", true},      {".x@y", true},        {"ab@cd", false},       {"a.b", false},
                 {"", false},          {"a@b.c\r\n", false},  {"a b@c.d", false},     {"<a@b.c>", false}};
    for (const Case& c : cases) EXPECT_EQ(IsPlausibleEmail(c.text), c.ok) << c.text;

    std::string report = "User:\r\n  3.1 ID    : 1\r\n  3.3 Email : \r\n  3.4 Company : X\r\n";
    EXPECT_TRUE(ReplaceReportEmailItem(report, "me@x.org"));
    EXPECT_EQ(report, "User:\r\n  3.1 ID    : 1\r\n  3.3 Email : me@x.org\r\n  3.4 Company : X\r\n");
    std::string hidden = "User:\r\n  3.1 ID : 1\r\n";
    EXPECT_FALSE(ReplaceReportEmailItem(hidden, "me@x.org"));
    std::string noColon = "x\r\n  3.3 Email\r\n  3.4 C : y\r\n";
    EXPECT_FALSE(ReplaceReportEmailItem(noColon, "me@x.org"));
    EXPECT_EQ(noColon, "x\r\n  3.3 Email\r\n  3.4 C : y\r\n");
}

TEST(ReportDialogSession, StoredNumbers) {
    EXPECT_EQ(ParseStoredInt("745", 1), 745);
    EXPECT_EQ(ParseStoredInt(" -20 ", 1), -20);
    EXPECT_EQ(ParseStoredInt("12px", 7), 7);
    EXPECT_EQ(ParseStoredInt("", 7), 7);
    EXPECT_EQ(ParseStoredInt("99999999999", 7), 7);
}

TEST(ReportIdeLocation, LineCellsAndRecord) {
    struct Case {
        const char* cell;
        const char* line;
        const char* offset;
    } cases[] = {{"12[3]", "12", "3"}, {"12", "12", "-1"}, {"12[3", "12", "-1"}, {"7[]", "7", "-1"}};
    for (const Case& c : cases) {
        const TLineCell cell = SplitLineCell(c.cell);
        EXPECT_EQ(cell.Line, c.line) << c.cell;
        EXPECT_EQ(cell.Offset, c.offset) << c.cell;
    }
    const auto record = BuildIdeSourceRecord(std::string(120, 'U'), "TForm1", "Click", 12, 3, 45000.5);
    EXPECT_EQ(record[0], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 90)), std::string(89, 'U'));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 180)), "TForm1");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record.data() + 270)), "Click");
    int32_t line = 0, offset = 0;
    double time = 0;
    std::memcpy(&line, record.data() + 360, 4);
    std::memcpy(&offset, record.data() + 364, 4);
    std::memcpy(&time, record.data() + 368, 8);
    EXPECT_EQ(line, 12);
    EXPECT_EQ(offset, 3);
    EXPECT_EQ(time, 45000.5);
}

}  // namespace
}  // namespace drevnik
