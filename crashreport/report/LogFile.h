// The log file (.dvf): reports one after another, each followed by four
// CR LF, in the system's 8-bit code page. TLogFile reads it into one entry
// per report, finds and rewrites numbered items, counts a repeated
// exception in the earlier report, writes the log back whole (a temporary
// file replaces the old one, so a failed save leaves it as it was) and turns
// its reports into XML. Platform-free: the file goes through the library's
// whole-file helpers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace drevnik {

// What follows every entry: CR LF CR LF CR LF.
constexpr std::string_view kReportSeparator = "\r\n\r\n\r\n";

class TLogFile {
public:
    // An empty name makes a log without file. An existing file is read at once.
    TLogFile(std::string fileName, bool readOnly);

    // The bytes of a log file; fewer than 8 give no report.
    void LoadFromText(std::string_view bytes);
    void ParseReports(std::string_view text);
    // What SaveToFile writes.
    std::string SaveToText() const;
    // Replaces the file whole; throws fw::EInOutError when it cannot be
    // written, when the log is read-only, or when the file that was there
    // could not be read (it is then never overwritten).
    void SaveToFile();

    // Keeps at most keepCount reports (-1: all), the newest.
    void AddReport(std::string_view report, int32_t keepCount);
    // The index of the last report in which one of the items has its value; -1 for none.
    int32_t FindReport(const std::vector<std::string>& itemIds, const std::vector<std::string>& values) const;
    std::string GetItemValue(std::string_view itemId, int32_t index) const;
    void SetItemValue(std::string_view itemId, std::string_view value, int32_t index, std::string_view label);
    int32_t GetCount() const { return static_cast<int32_t>(Reports.size()); }
    std::string GetText() const;

    // ---- XML copy ----
    std::string GetReportVersion(int32_t index) const;
    std::string ReportToXML(int32_t index) const;
    std::string GetXMLText() const;
    void SaveXMLToFile(std::string_view path) const;  // throws fw::EInOutError on failure
    std::string GetGeneralPartText(int32_t index) const;
    std::string GetCallStackTableText(int32_t index) const;
    std::string GetModulesTableText(int32_t index) const;
    std::string GetProcessesTableText(int32_t index) const;
    std::string GetAssemblerText(int32_t index) const;
    std::string GetCpuText(int32_t index) const;
    std::string GetOldReproduceText(int32_t index) const;
    std::string GeneralPartToXML(int32_t index) const;
    std::string CallStackToXML(int32_t index) const;
    std::string ModulesToXML(int32_t index) const;
    std::string ProcessesToXML(int32_t index) const;
    std::string AssemblerToXML(int32_t index) const;
    std::string CpuToXML(int32_t index) const;
    std::string ReproduceToXML(int32_t index) const;

    std::string FileName;
    std::vector<std::string> Reports;  // each report followed by kReportSeparator
    std::string DataPassword;
    bool ReadOnly = false;
    // The file existed but could not be read (too large, no access).
    bool LoadFailed = false;

    // Larger files are not read (and so never overwritten).
    static std::size_t MaxFileSize;

private:
    const std::string* Report(int32_t index) const;
};

// 0-based position of the first CR LF CR LF CR LF CR LF at or after `from`; npos for none.
std::size_t FindFourLineBreaks(std::string_view text, std::size_t from);
// The value as the report lays it out for an item whose ": " stands at
// 1-based position indent - 1: continuation lines indented, CR LF after every line.
std::string FormatValueForMatch(std::string_view value, std::size_t indent);
bool ReportItemEquals(std::string_view itemId, std::string_view value, std::string_view report);
std::string PadToWidth(std::string_view text, std::size_t width);

// The item's value range in a report: [begin, end); false when it is missing.
bool FindItemValue(std::string_view report, std::string_view itemId, std::size_t& begin, std::size_t& end);

// "__" + computer name and "__" + yyyymmddhhnnss before the extension of
// the file name part, as the flags ask.
std::string StampFileName(std::string_view path, bool stampComputer, std::string_view computerName, bool stampTime,
                          double reportTime);

}  // namespace drevnik
