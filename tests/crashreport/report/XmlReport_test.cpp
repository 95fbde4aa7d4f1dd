#include "crashreport/report/XmlReport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "../capture/DrevnikTestFolder.h"
#include "RecordedCrash.h"
#include "crashreport/report/LogFile.h"
#include "crashreport/report/ReportText.h"

namespace drevnik {
namespace {

TEST(EscapeXmlText, Table) {
    struct Case {
        std::string in;
        const char* out;
    } cases[] = {
        {"plain", "plain"},
        {"a\r\nb", "a&#013;&#010;b"},
        {"<&>\"'", "&#060;&#038;&#062;&#034;&#039;"},
        {std::string("\x01\t\x1f", 3), "&#65533;&#009;&#65533;"},
        {"\xe4", "&#228;"},
        {"\x80", "&#8364;"},  // the euro sign of code page 1252, not U+0080
        {"\x7f", "&#127;"},
    };
    for (const Case& c : cases) EXPECT_EQ(EscapeXmlText(c.in), c.out) << c.in;
}

TEST(TXMLItem, WritesNestedElements) {
    TXMLItem root("Doc");
    TXMLItem& a = root.AddChild("A");
    a.AddAttribute("x", "1");
    a.AddChild("B").AddAttribute("y", "<");
    root.AddChild("C");
    EXPECT_EQ(a.ParentItem, &root);
    EXPECT_EQ(root.GetXML(), "<Doc>\r\n  <A x=\"1\">\r\n    <B y=\"&#060;\"/>\r\n  </A>\r\n  <C/>\r\n</Doc>\r\n");
}

TEST(XmlReport, EmptyLog) {
    TLogFile log("", true);
    EXPECT_EQ(log.GetXMLText(), "<Doc>\r\n</Doc>\r\n");
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "&#") == 0) {
            const std::size_t semi = text.find(';', i);
            const unsigned long code = std::stoul(text.substr(i + 2, semi - i - 2));
            out += code < 128 ? static_cast<char>(code) : '?';
            i = semi;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::map<std::string, std::string> Attributes(const std::string& element) {
    std::map<std::string, std::string> a;
    for (std::size_t eq = element.find("=\""); eq != std::string::npos; eq = element.find("=\"", eq + 1)) {
        const std::size_t nameStart = element.rfind(' ', eq) + 1;
        const std::size_t valueEnd = element.find('"', eq + 2);
        a[element.substr(nameStart, eq - nameStart)] = Unescape(element.substr(eq + 2, valueEnd - eq - 2));
        eq = valueEnd;
    }
    return a;
}

std::vector<std::string> Elements(const std::string& xml, const std::string& name) {
    std::vector<std::string> found;
    for (std::size_t at = 0; (at = xml.find("<" + name, at)) != std::string::npos; ++at) {
        const char next = xml[at + 1 + name.size()];
        if (next == ' ' || next == '=' || next == '/' || next == '>') found.push_back(xml.substr(at, xml.find('>', at) - at + 1));
    }
    return found;
}

// A recorded crash through the whole road: report text, log file, read
// back item by item, counted again, converted to XML that xmllint accepts.
TEST(XmlReport, RoundTripOfARecordedCrash) {
    test::RecordedCrash crash;
    const TReportTexts texts = BuildReportTexts(crash.options, crash.Inputs());
    TestFolder folder("xmlround");
    const std::string path = folder.Path() + "crash_program.dvf";
    {
        TLogFile log(path, false);
        log.AddReport(texts.ReportText, 32);
        log.SaveToFile();
    }
    TLogFile log(path, false);
    ASSERT_EQ(log.GetCount(), 1);
    for (const TGeneralItemDef& d : GeneralItemDefs()) {
        const std::string id = std::to_string(d.Section) + "." + std::to_string(d.Item);
        std::string expected = Trim(crash.values[id]);
        EXPECT_EQ(log.GetItemValue(id, 0), expected) << id;
    }
    // The same crash again: counted in the earlier report.
    const int32_t k = log.FindReport({"2.7"}, {"7F3A"});
    ASSERT_EQ(k, 0);
    log.SetItemValue("2.8", "2", k, "Count");
    log.SaveToFile();
    TLogFile counted(path, false);
    EXPECT_EQ(counted.GetItemValue("2.8", 0), "2");
    EXPECT_EQ(counted.GetItemValue("2.9", 0), "New");
    EXPECT_EQ(counted.Reports[0].substr(0, 40), texts.ReportText.substr(0, 40));

    const std::string xmlPath = folder.Path() + "crash_program.xml";
    counted.SaveXMLToFile(xmlPath);
    const std::string xml = counted.GetXMLText();
    for (unsigned char c : xml) EXPECT_LT(c, 128u) << "the document is plain ASCII";
    const std::string command = "xmllint --noout '" + folder.NativePath() + "crash_program.xml" + "'";
    if (std::system("command -v xmllint >/dev/null") == 0) {
        EXPECT_EQ(std::system(command.c_str()), 0) << xml;
    }

    for (const std::string& element : Elements(xml, "Line")) {
        const auto a = Attributes(element);
        if (a.count("Value") == 0 || a.count("ID") == 0) continue;
        std::string expected = a.at("ID") == "2.8" ? "2" : Trim(crash.values[a.at("ID")]);
        std::string value = a.at("Value");
        EXPECT_EQ(value, expected) << a.at("ID");
    }
    std::vector<std::string> stackLines;
    for (const std::string& l : Elements(xml, "Line"))
        if (Attributes(l).count("Procedure") != 0) stackLines.push_back(l);
    ASSERT_EQ(stackLines.size(), 4u) << xml;
    EXPECT_EQ(Attributes(stackLines[0]).at("Procedure"), "Fault");
    EXPECT_EQ(Attributes(stackLines[0]).at("Number"), "12");
    EXPECT_EQ(Attributes(stackLines[0]).at("Offset"), "3");
    EXPECT_EQ(Elements(xml, "ExceptionThread").size(), 1u);
    EXPECT_EQ(Attributes(Elements(xml, "ExceptionThread")[0]).at("MainThread"), "True");
    EXPECT_EQ(Elements(xml, "CallingThread").size(), 1u);
    EXPECT_EQ(Elements(xml, "RunningThread").size(), 1u);
    const auto modules = Elements(xml, "Module");
    ASSERT_EQ(modules.size(), 2u);
    EXPECT_EQ(Attributes(modules[1]).at("Description"), "Wine core ? dll??");
    EXPECT_EQ(Attributes(modules[0]).at("Modified").size(), 19u);
    EXPECT_EQ(Elements(xml, "Process").size(), 3u);
    const auto registers = Attributes(Elements(xml, "Registers")[0]);
    EXPECT_EQ(registers.at("EIP"), "00401010");
    EXPECT_EQ(registers.at("ESP"), "0022FF00");
    EXPECT_EQ(Elements(xml, "Line Address=\"0022FF00\" Value").size(), 1u);
    const auto dump = Elements(xml, "Line Address=\"00401010\" Bytes");
    ASSERT_EQ(dump.size(), 1u);
    EXPECT_EQ(Attributes(dump[0]).at("Bytes").substr(0, 8), "C7 00 2A");
    bool exceptionLine = false;
    for (const std::string& l : Elements(xml, "Line Address"))
        if (Attributes(l).count("Command") && Attributes(l).at("Comment").find("<-- EXCEPTION") != std::string::npos)
            exceptionLine = Attributes(l).at("Address") == "00401010";
    EXPECT_TRUE(exceptionLine);
}

TEST(XmlReport, PartsLeftOutGiveEmptyElements) {
    test::RecordedCrash crash;
    crash.options.SetLogFlags(0);
    TLogFile log("", true);
    log.AddReport(BuildReportTexts(crash.options, crash.Inputs()).ReportText, -1);
    const std::string xml = log.GetXMLText();
    EXPECT_NE(xml.find("    <Modules/>\r\n    <Processes/>\r\n    <Assembler/>\r\n    <CPU/>\r\n  </Log>\r\n"),
              std::string::npos)
        << xml;
    // Registers shown as "????    " give no attribute.
    crash.options.SetLogFlags(lgAssemblerAndCpu);
    TReportInputs in = crash.Inputs();
    in.Registers.reset();
    TLogFile noContext("", true);
    noContext.AddReport(BuildReportTexts(crash.options, in).ReportText, -1);
    EXPECT_NE(noContext.GetXMLText().find("<Registers/>"), std::string::npos) << noContext.GetXMLText();
}

TEST(XmlReport, ContinuationLineEndingInAColonStaysInItsValue) {
    TLogFile log("", true);
    log.AddReport("DrevnikLog 6.0.25\r\n\r\nS:\r\n--\r\n  1.1 Note: first\r\n           Details:\r\n  1.2 Next: x\r\n\r\n"
                  "Call Stack Information:\r\n---\r\n|A|\r\n---\r\n---\r\n\r\n",
                  -1);
    const std::string xml = log.GeneralPartToXML(0);
    EXPECT_NE(xml.find("Value=\"first&#013;&#010;Details:\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("ID=\"1.2\""), std::string::npos) << xml;
}

}  // namespace
}  // namespace drevnik
