// The report text: the general part of numbered sections, the call-stack,
// modules and processes tables, the assembler listing around the exception
// address and the CPU section, joined into one 8-bit text with CR LF breaks.
// Everything here is platform-free: the facts arrive as values, and foreign
// memory and address names through the small interfaces below, so the text
// is built and tested alike on the host and under Windows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/DrevnikOptions.h"

namespace drevnik {

constexpr const char* kReportVersionLine = "DrevnikLog 6.0.25";

// ---- General part ----------------------------------------------------------------------

// One item of the general part: where it stands, its label text and its mask bit.
struct TGeneralItemDef {
    int Section;
    int Item;
    int LabelText;
    int MaskBit;
};
// The seven sections' items in report order (47 items).
const std::vector<TGeneralItemDef>& GeneralItemDefs();
constexpr int kGeneralSectionTexts[7] = {37, 44, 55, 61, 66, 78, 84};

// The values of the general part's items, by item id ("2.7").
struct TGeneralValues {
    std::array<std::string, 47> Values;
    // False for a web or console program: the Active Controls section goes.
    bool ShowActiveControls = true;
    std::string& operator[](std::string_view id);
    const std::string& operator[](std::string_view id) const;
};

// "DrevnikLog 6.0.25", an empty line and the laid-out sections.
std::string BuildGeneralPartText(const TDrevnikModuleOptions& options, const TGeneralValues& values);

// Item 1.4: the command line without the program's path.
std::string ParametersFromCommandLine(std::string_view commandLine, std::string_view programFileName);
// Every byte below 32 other than CR and LF becomes a blank.
std::string ReplaceControlCharsKeepBreaks(std::string_view text);

// A custom section numbered StartSection + 1 after the general part:
// one unlabelled item (text) or one item per "name=value" field. Empty when
// there is nothing to add; otherwise the section text with its final CR LF.
std::string CustomTextSection(int32_t startSection, std::string_view caption, std::string_view text);
std::string CustomDataSection(int32_t startSection, std::string_view caption, const std::vector<std::string>& fields);

// ---- Tables ------------------------------------------------------------------------------

// Writes "|cell   |cell |" CR LF into a blank-filled buffer at `position`
// (0-based here); cells longer than their width are cut.
void WriteTableRow(std::string& buffer, std::size_t& position, const std::vector<std::string_view>& cells,
                   const std::vector<std::size_t>& widths);
// LF, CR and "|" become "?".
std::string ReplaceTableChars(std::string_view text);
std::string EmptySectionCaption(std::string_view caption);
// Upper-case hexadecimal with at least `digits` digits.
std::string HexText(uint64_t value, int digits);

// What the caption of a thread block needs to know of a thread; Tracked
// false prints "??" as the priority.
struct TThreadFacts {
    bool Tracked = false;
    int32_t Priority = 0;
    std::string ClassName;
    bool IsMain = false;
};
using TThreadFactsLookup = std::function<TThreadFacts(uint32_t threadId)>;

std::string ThreadBlockCaption(const TDrevnikModuleOptions& options, const TCallStackEntry& entry, bool full,
                               const TThreadFactsLookup& threads);

// The entry kinds the report shows: 4 always, 2 and 3 as the stack options say.
bool IsShownEntryKind(const TDrevnikModuleOptions& options, uint8_t kind);

// Each table: caption line, dash line, header, dash line, rows, dash line,
// CR LF and an empty line.
std::string BuildCallStackTable(const TDrevnikModuleOptions& options, const TDrevnikStackList& stack,
                                const TThreadFactsLookup& threads);
std::string BuildModulesTable(const TDrevnikModuleOptions& options, const TDrevnikModulesList& modules);
std::string BuildProcessesTable(const TDrevnikModuleOptions& options, const TDrevnikProcessesList& processes);

// ---- Assembler and CPU ------------------------------------------------------------------

// Foreign memory: Read copies `length` bytes from `address` and is false
// (copying nothing) unless all of them are readable.
struct TReportMemory {
    std::function<bool(uintptr_t address, void* buffer, std::size_t length)> Read;
    bool Readable(uintptr_t address, std::size_t length) const;
};

// Names for the listing's headers and operands. Lookup fills EntryKind,
// UnitFile, ClassPart, RoutineName, SourceLine and LineInRoutine of an
// address; ObjectClassName names the class of a valid object at an address
// (empty otherwise); ResolveThunk follows an import thunk. Any may be empty.
struct TAddressNames {
    std::function<void(uintptr_t address, TCallStackEntry& entry)> Lookup;
    std::function<std::string(uintptr_t address)> ObjectClassName;
    std::function<uintptr_t(uintptr_t address)> ResolveThunk;
};

struct TAssemblerListing {
    std::string Caption;  // caption and dash line, no line break after it
    std::string Text;     // the listing, CR LF after every line
};
// Empty (no caption either) when the 4 bytes at the address are unreadable.
TAssemblerListing BuildAssemblerListing(const TDrevnikModuleOptions& options, uintptr_t address,
                                        const TReportMemory& memory, const TAddressNames& names);

// The 32-bit registers of the faulting thread.
struct TCpuRegisters {
    uint32_t Eax = 0, Ebx = 0, Ecx = 0, Edx = 0, Esi = 0, Edi = 0, Esp = 0, Eip = 0;
};
// 16 lines of stack words beside a memory dump at the exception address;
// empty unless 64 bytes at the stack pointer and 256 at the address are readable.
std::string BuildMemoryDumpText(uintptr_t stackPointer, uintptr_t address, const TReportMemory& memory);
// Registers print "????    " without a context.
std::string BuildCpuSection(const TDrevnikModuleOptions& options, const std::optional<TCpuRegisters>& registers,
                            std::string_view memoryDump);

// ---- The whole report ------------------------------------------------------------------------

struct TReportInputs {
    TGeneralValues General;
    const TDrevnikStackList* Stack = nullptr;
    const TDrevnikModulesList* Modules = nullptr;
    const TDrevnikProcessesList* Processes = nullptr;
    TThreadFactsLookup Threads;
    uintptr_t ExceptionAddress = 0;
    std::optional<TCpuRegisters> Registers;
    uintptr_t StackPointer = 0;
    TReportMemory Memory;
    TAddressNames Names;
    // False where the listing and the dump cannot be made (a 64-bit process:
    // the disassembler and the CPU layout are 32-bit).
    bool CodeIs32Bit = true;
};

struct TReportTexts {
    std::string GeneralText;
    std::string ReportText;
    std::string TextToSend;
    std::string ReportHeaderText;
    std::string AssemblerCaption;
    std::string AssemblerText;
    std::string CpuText;
};

// Step numbers go to `step` as the text is built.
TReportTexts BuildReportTexts(const TDrevnikModuleOptions& options, const TReportInputs& inputs,
                              const std::function<void(int32_t)>& step = {});

// Inserts a custom section after the general part of the texts (and of
// `reportCopy` when given); nothing for an empty section.
void InsertCustomSection(TReportTexts& texts, std::string* reportCopy, std::string_view section);

}  // namespace drevnik
