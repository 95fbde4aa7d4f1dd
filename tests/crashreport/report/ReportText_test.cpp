#include "crashreport/report/ReportText.h"

#include <gtest/gtest.h>

#include <sstream>

#include "RecordedCrash.h"

namespace drevnik {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t br; (br = text.find("\r\n", start)) != std::string::npos; start = br + 2)
        lines.push_back(text.substr(start, br - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// Every line of a table is as long as its dash lines.
void ExpectRectangular(const std::string& table) {
    const std::vector<std::string> lines = Lines(table);
    ASSERT_GE(lines.size(), 5u);
    const std::size_t width = lines[1].size();
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        if (lines[i].empty()) break;
        EXPECT_EQ(lines[i].size(), width) << lines[i];
        EXPECT_TRUE(lines[i][0] == '|' || lines[i][0] == '-') << lines[i];
    }
}

TEST(ReportText, CallStackTableBlocksAndCells) {
    test::RecordedCrash crash;
    const std::string table = BuildCallStackTable(crash.options, crash.stack, crash.Inputs().Threads);
    ExpectRectangular(table);
    const std::vector<std::string> lines = Lines(table);
    EXPECT_EQ(lines[0], "Call Stack Information:");
    EXPECT_EQ(lines[2].substr(0, 10), "|Address |");
    // Fault entry: its own block; the next entry of the same thread stays in it.
    EXPECT_NE(lines[4].find("*Exception Thread: ID=100; Priority=2; Class=; [Main]"), std::string::npos) << lines[4];
    EXPECT_NE(lines[6].find("|00401010|crash_program.exe|crash_main.cpp|"), std::string::npos) << lines[6];
    EXPECT_NE(lines[6].find("|12[3]|"), std::string::npos);
    EXPECT_NE(lines[7].find("|00401200|"), std::string::npos);
    // The entry of a stored stack opens a calling-thread block without an empty row.
    EXPECT_EQ(lines[8].substr(0, 2), "|-");
    EXPECT_NE(lines[9].find("Calling Thread: ID=100"), std::string::npos) << lines[9];
    EXPECT_NE(lines[11].find("crt?start.c"), std::string::npos) << "a name with a bar keeps the row";
    EXPECT_EQ(lines[11].substr(lines[11].size() - 7), "|     |") << "line 0 gives an empty cell";
    // Another thread's own stack: dash row, empty row, caption.
    EXPECT_EQ(lines[12].substr(0, 2), "|-");
    EXPECT_EQ(lines[13].find_first_not_of(' ', 1), lines[13].size() - 1);
    EXPECT_NE(lines[14].find("Running Thread: ID=200; Priority=??; Class="), std::string::npos) << lines[14];
    EXPECT_NE(lines[16].find("|TWorker|Execute         |40[5]|"), std::string::npos) << lines[16];
    EXPECT_EQ(table.find("7B001000"), std::string::npos) << "module-only entries are not shown";
    EXPECT_EQ(table.substr(table.size() - 4), "\r\n\r\n");
}

TEST(ReportText, ModulesAndProcessesTablesKeepTheirRows) {
    test::RecordedCrash crash;
    const std::string modules = BuildModulesTable(crash.options, crash.modules);
    ExpectRectangular(modules);
    EXPECT_NE(modules.find("|00400000|crash_program.exe|Crash test program|1.0.0.4   |123456|2025-12-09 12:00:00|"), std::string::npos);
    EXPECT_NE(modules.find("|Wine core ? dll?? |"), std::string::npos) << modules;
    EXPECT_NE(modules.find("|C:\\windows\\system32|"), std::string::npos);
    const std::string processes = BuildProcessesTable(crash.options, crash.processes);
    ExpectRectangular(processes);
    EXPECT_NE(processes.find("|32|proc?0.exe|Process 0  |       |1048576|Normal  |??     |C:\\windows\\system32|"), std::string::npos)
        << processes;
    // A very long caption is cut to the row, never breaking it.
    TCallStackEntry entry;
    entry.LeakGroupStart = 1;
    entry.LeakTypeText = std::string(300, 'x');
    EXPECT_EQ(ThreadBlockCaption(crash.options, entry, true, {}).substr(0, 7), "+Memory");
}

TEST(ReportText, CpuSectionLayout) {
    test::RecordedCrash crash;
    const TReportInputs in = crash.Inputs();
    const std::string dump = BuildMemoryDumpText(in.StackPointer, in.ExceptionAddress, in.Memory);
    const std::vector<std::string> dumpLines = Lines(dump);
    ASSERT_EQ(dumpLines.size(), 16u);
    for (const std::string& l : dumpLines) EXPECT_EQ(l.size(), 96u) << l;
    EXPECT_EQ(dumpLines[0].substr(0, 31), "0022FF00: 150E0700   00401010: ");
    EXPECT_EQ(dumpLines[0].substr(31, 9), "C7 00 2A ");
    const std::string cpu = BuildCpuSection(crash.options, in.Registers, dump);
    const std::vector<std::string> lines = Lines(cpu);
    EXPECT_EQ(lines[0], "Registers:");
    EXPECT_EQ(lines[1], std::string(29, '-'));
    EXPECT_EQ(lines[2], "EAX: 00000000   EDI: 00000005");
    EXPECT_EQ(lines[5], "EDX: 00000003   EIP: 00401010");
    EXPECT_EQ(lines[7], "Stack:               Memory Dump:");
    EXPECT_EQ(lines[8], std::string(18, '-') + "   " + std::string(75, '-'));
    EXPECT_EQ(Lines(BuildCpuSection(crash.options, std::nullopt, ""))[3], "EBX: ????       ESI: ????    ");
    EXPECT_EQ(BuildMemoryDumpText(0x10, in.ExceptionAddress, in.Memory), "") << "unreadable stack";
}

TEST(ReportText, AssemblerListingAroundTheFault) {
    test::RecordedCrash crash;
    const TReportInputs in = crash.Inputs();
    const TAssemblerListing listing = BuildAssemblerListing(crash.options, in.ExceptionAddress, in.Memory, in.Names);
    const std::vector<std::string> lines = Lines(listing.Text);
    ASSERT_GE(lines.size(), 4u) << listing.Text;
    EXPECT_EQ(lines[0], "; crash_main.Fault (Line=10 - Offset=1)") << listing.Text;
    EXPECT_EQ(lines[1], "; " + std::string(lines[0].size() - 2, '-'));
    int before = 0, after = 0;
    bool seen = false;
    std::size_t commentColumn = 0;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line.find("<-- EXCEPTION") != std::string::npos) {
            EXPECT_EQ(line.substr(0, 8), "00401010");
            seen = true;
            commentColumn = line.find(';');
        } else {
            ++(seen ? after : before);
        }
    }
    EXPECT_TRUE(seen);
    EXPECT_LE(before, 10);
    EXPECT_LE(after, 10);
    const std::string& last = lines.back();
    EXPECT_EQ(last, "00401020  leave") << "ends at leave, a neighbour of the returns";
    EXPECT_NE(listing.Text.find("'Hello crash'"), std::string::npos) << listing.Text;
    EXPECT_NE(listing.Text.find("Helper"), std::string::npos) << listing.Text;
    // Comments line up after the widest code part.
    for (const std::string& line : lines) {
        const std::size_t semi = line.find(';');
        if (semi != std::string::npos && semi > 0) {
            EXPECT_EQ(semi, commentColumn) << line;
        }
    }
    EXPECT_EQ(listing.Caption.substr(0, 24), "Assembler Information:\r\n");
    // Unreadable address: neither caption nor listing.
    const TAssemblerListing none = BuildAssemblerListing(crash.options, 0x10, in.Memory, in.Names);
    EXPECT_TRUE(none.Caption.empty() && none.Text.empty());
}

TEST(ReportText, WholeReportOrderAndFlags) {
    test::RecordedCrash crash;
    const TReportTexts t = BuildReportTexts(crash.options, crash.Inputs());
    EXPECT_EQ(t.ReportText.rfind("DrevnikLog 6.0.25\r\n\r\nApplication:\r\n", 0), 0u);
    const std::size_t stack = t.ReportText.find("\r\n\r\nCall Stack Information:\r\n");
    const std::size_t modules = t.ReportText.find("\r\n\r\nModules Information:\r\n");
    const std::size_t processes = t.ReportText.find("\r\n\r\nProcesses Information:\r\n");
    const std::size_t assembler = t.ReportText.find("\r\n\r\nAssembler Information:\r\n");
    const std::size_t cpu = t.ReportText.find("\r\n\r\nRegisters:\r\n");
    EXPECT_TRUE(stack < modules && modules < processes && processes < assembler && assembler < cpu) << t.ReportText;
    EXPECT_EQ(t.ReportText.substr(0, t.GeneralText.size()), t.GeneralText);
    EXPECT_EQ(t.TextToSend, t.ReportText);

    // An unreadable exception address: the caption without a listing, and
    // never four line breaks in a row inside the report.
    TReportInputs unreadable = crash.Inputs();
    unreadable.ExceptionAddress = 0x10;
    const TReportTexts noListing = BuildReportTexts(crash.options, unreadable);
    EXPECT_NE(noListing.ReportText.find("-\r\n\r\nAssembler Information:\r\n----------------------\r\n\r\nRegisters:\r\n"),
              std::string::npos)
        << noListing.ReportText;
    EXPECT_EQ(noListing.ReportText.find("\r\n\r\n\r\n\r\n"), std::string::npos);
    EXPECT_EQ(t.ReportText.find("\r\n\r\n\r\n\r\n"), std::string::npos);

    crash.options.SetLogFlags(0);
    const TReportTexts off = BuildReportTexts(crash.options, crash.Inputs());
    EXPECT_NE(off.ReportText.find("-\r\n\r\nModules Information:\r\n--------------------\r\n\r\n"
                                  "Processes Information:\r\n----------------------\r\n\r\n"
                                  "Assembler Information:\r\n----------------------\r\n\r\n"
                                  "Registers:\r\n----------\r\n\r\n"),
              std::string::npos)
        << off.ReportText;
}

TEST(ReportText, CustomSectionsFollowTheGeneralPart) {
    test::RecordedCrash crash;
    TReportTexts t = BuildReportTexts(crash.options, crash.Inputs());
    std::string copy = t.ReportText;
    const std::size_t general = t.GeneralText.size();
    InsertCustomSection(t, &copy, CustomDataSection(7, "Custom Information", {" Key = value ", "Other=2"}));
    InsertCustomSection(t, &copy, CustomTextSection(7, "Request", "Clicked Run twice"));
    InsertCustomSection(t, &copy, CustomTextSection(7, "Request", ""));
    EXPECT_EQ(copy, t.ReportText);
    EXPECT_EQ(t.ReportText.substr(general + 2, 79),
              "Custom Information:\r\n------------------\r\n  8.1 Key  : value\r\n  8.2 Other: 2\r\n\r\n");
    EXPECT_NE(t.GeneralText.find("\r\nRequest:\r\n-------------------------\r\n  8.1 : Clicked Run twice\r\n"), std::string::npos)
        << t.GeneralText;
    EXPECT_EQ(t.ReportText.substr(0, t.GeneralText.size()), t.GeneralText);
    EXPECT_NE(t.ReportText.find(t.GeneralText + "\r\nCall Stack Information:"), std::string::npos);
}

TEST(ReportText, ParametersAndControlCharacters) {
    EXPECT_EQ(ParametersFromCommandLine("\"C:\\Program Files\\Q.exe\"  -a b ", "C:\\Program Files\\Q.exe"), "-a b");
    EXPECT_EQ(ParametersFromCommandLine("C:\\Q.exe", "C:\\Q.exe"), "");
    EXPECT_EQ(ReplaceControlCharsKeepBreaks(std::string("a\tb\r\nc\x01", 7)), "a b\r\nc ");
}

}  // namespace
}  // namespace drevnik
