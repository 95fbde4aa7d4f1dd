#include "crashreport/report/ReportState.h"
#include "crashreport/report/ReportDialogs.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "crashreport/capture/CpuContext.h"
#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikLog.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikAddressLookup.h"
#include "crashreport/debuginfo/DrevnikModuleSystem.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "crashreport/debuginfo/DrevnikSystemFacts.h"
#include "crashreport/delivery/Crc16.h"
#include "crashreport/report/BugReportZip.h"
#include "crashreport/report/ReportLogItem.h"
#include "crashreport/report/Screenshot.h"
#include "crashreport/report/SendReport.h"
#include "crashreport/report/WebApplication.h"

namespace drevnik {

namespace {

TReportAddressLookup gAddressLookup = nullptr;
std::unique_ptr<TLogFile> gLogFile;
std::string gLogPath;
bool gDuplicate = false;

// Never destroyed: a report may run while static objects go.
TReportTexts& Texts() {
    static TReportTexts& texts = *new TReportTexts;
    return texts;
}

TDrevnikModuleOptions* Options() {
    const TReportState& state = ReportState();
    if (state.HandlerOptions) return state.HandlerOptions.get();
    return FindCurrentDrevnikLogOptions();
}

void Step(int32_t n) { ReportState().ReportStep.store(n); }

// Reads the process's own memory; a page that goes away meanwhile fails
// the read instead of faulting.
bool ReadOwnMemory(uintptr_t address, void* buffer, std::size_t length) {
    SIZE_T read = 0;
    return ReadProcessMemory(GetCurrentProcess(), reinterpret_cast<const void*>(address), buffer, length, &read) &&
           read == length;
}

std::string ModulePathOf(uintptr_t address) {
    HMODULE module = nullptr;
    if (address != 0 &&
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(address), &module))
        return GetModuleFileNameLong(reinterpret_cast<TModuleHandle>(module));
    // No module: the path asked for an absent module is the program's.
    return GetProgramFileName();
}

std::string ExceptionModuleName(uintptr_t address) {
    const std::string path = ModulePathOf(address);
    std::string description, version;
    GetFileVersionFacts(path, description, version);
    description = Trim(description);
    return ExtractFileName(path) + (description.empty() ? std::string() : " - (" + description + ")");
}

std::string ExceptionModuleVersion(uintptr_t address) {
    std::string description, version;
    GetFileVersionFacts(ModulePathOf(address), description, version);
    return version;
}

std::string ExceptionClassName(const TDrevnikExceptionRecord& record) {
    return record.RaisedObject ? RaisedClassName(record.RaisedObject) : "Unknown exception type";
}

// Program, module and class: the start of the text the bug ID is the CRC of.
std::string BugIdPrefixStep(const TDrevnikExceptionRecord& record) {
    return GetApplicationNameText() + ExceptionModuleName(record.RaisedAddress) + ExceptionClassName(record);
}

std::string ExceptionMessageText(const TDrevnikExceptionRecord& record) {
    std::string text;
    if (!record.RaisedObject) {
        text = "Unknown error message.";
    } else {
        text = RaisedMessage(record.RaisedObject);
        const EXCEPTION_RECORD* os = record.OsRecord;
        if (os != nullptr && os->ExceptionCode == EXCEPTION_ACCESS_VIOLATION && os->NumberParameters >= 2) {
            const uintptr_t at = reinterpret_cast<uintptr_t>(os->ExceptionAddress);
            const char* access = os->ExceptionInformation[0] != 0 ? "Write" : "Read";
            const uintptr_t target = os->ExceptionInformation[1];
            const int digits = static_cast<int>(sizeof(void*) * 2);
            MEMORY_BASIC_INFORMATION info{};
            char path[261] = {};
            if (VirtualQuery(os->ExceptionAddress, &info, sizeof info) == sizeof info && info.State == MEM_COMMIT &&
                GetModuleFileNameA(static_cast<HMODULE>(info.AllocationBase), path, sizeof path) > 0) {
                text = "Access violation at address " + HexText(at, digits) + " in module '" +
                       ExtractFileName(ExpandLongPathName(path)) + "'. " + access + " of address " +
                       HexText(target, digits);
            } else {
                text = "Access violation at address " + HexText(at, digits) + ". " + access + " of address " +
                       HexText(target, digits);
            }
        }
    }
    if (!text.empty() && text.back() != '.') text += ".";
    return text;
}

std::string WindowClassText(HWND window) {
    char buffer[256] = {};
    return window != nullptr && GetClassNameA(window, buffer, 256) > 0 ? std::string(buffer) : std::string();
}

// Read without a message: the window's thread may be suspended.
std::string WindowText(HWND window) {
    char buffer[256] = {};
    if (window == nullptr) return std::string();
    const LRESULT n = DefWindowProcA(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer));
    return n > 0 ? CollapseControlChars(std::string(buffer, static_cast<std::size_t>(n))) : std::string();
}

std::string LanguageText() {
    wchar_t name[1024] = {};
    if (GetLocaleInfoW(MAKELCID(GetSystemDefaultLangID(), SORT_DEFAULT), LOCALE_SENGLANGUAGE, name, 1024) <= 0)
        return std::string();
    std::string text;
    for (const wchar_t* c = name; *c != 0; ++c) text += static_cast<char>(*c < 128 ? *c : '?');
    return text;
}

TGeneralValues GeneralValues(const TDrevnikExceptionRecord& record, uintptr_t address,
                             const TDrevnikModulesList* modules) {
    const TReportState& state = ReportState();
    const TReportSeams& seams = ReportSeams();
    TGeneralValues v;
    const TNetworkFacts net = GetNetworkFacts();
    const double start = LibraryStartTime();
    v["1.1"] = GetStartDateText(start);
    v["1.2"] = GetApplicationNameText();
    v["1.3"] = GetProgramVersion();
    v["1.4"] = ParametersFromCommandLine(GetCommandLineText(), GetProgramFileName());
    if (modules != nullptr) {
        const TModuleHandle own = reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr));
        for (int i = 0; i < modules->Count(); ++i) {
            const TDrevnikModuleInfo& m = (*modules)[i];
            if (m.ModuleHandle == own && m.DataBuildTime != 0)
                v["1.5"] = FormatRfc822Date(m.DataBuildTime + GetUtcOffsetHours() / 24.0);
        }
    }
    v["1.6"] = FormatTimeSpan(state.ReportTime - start);
    v["2.1"] = FormatRfc822Date(state.ReportTime);
    v["2.2"] = address == 0 ? std::string() : HexText(address, 8);
    v["2.3"] = ExceptionModuleName(address);
    v["2.4"] = ExceptionModuleVersion(address);
    ReportTypeText() = ExceptionClassName(record);
    v["2.5"] = ReportTypeText();
    ReportMessageText() = ExceptionMessageText(record);
    v["2.6"] = ReportMessageText();
    v["2.7"] = state.BugId;
    v["2.8"] = "1";
    v["2.9"] = "New";
    v["3.1"] = GetUserNameText();
    v["3.2"] = GetRegisteredOwner();
    v["3.3"] = GetEnteredEmail();
    v["3.4"] = GetRegisteredOrganization();
    v["3.5"] = GetPrivilegesText();
    v.ShowActiveControls = !(seams.IsWebApplication != nullptr && seams.IsWebApplication()) &&
                           !(seams.IsConsoleApplication != nullptr && seams.IsConsoleApplication());
    const HWND foreground = GetForegroundWindow();
    v["4.1"] = WindowClassText(foreground);
    v["4.2"] = WindowText(foreground);
    if (state.ReportParams != nullptr) {
        v["4.3"] = state.ReportParams->FocusedClass;
        v["4.4"] = CollapseControlChars(state.ReportParams->FocusedText);
    }
    v["5.1"] = GetComputerNameText();
    v["5.2"] = GetTotalMemoryText();
    v["5.3"] = GetFreeMemoryText();
    v["5.4"] = GetTotalDiskText();
    v["5.5"] = GetFreeDiskText();
    v["5.6"] = GetSystemUpTimeText();
    v["5.7"] = GetProcessorName();
    v["5.8"] = GetDisplayModeText();
    v["5.9"] = GetDisplayDpiText();
    v["5.10"] = GetVideoCardText();
    v["5.11"] = GetDefaultPrinterText();
    v["6.1"] = GetWindowsName();
    v["6.2"] = GetWindowsBuild();
    v["6.3"] = Trim(WindowsVersion().ServicePack);
    v["6.4"] = LanguageText();
    v["6.5"] = std::to_string(GetUserCharset());
    v["7.1"] = net.Addresses;
    v["7.2"] = net.Masks;
    v["7.3"] = net.Gateways;
    v["7.4"] = net.Dns1;
    v["7.5"] = net.Dns2;
    v["7.6"] = net.Dhcp;
    return v;
}

// A thread's facts from the copy of the threads list made before the other
// threads were suspended: no lock is taken, since a suspended thread may
// hold it. An unknown priority is read and kept in the copy only.
TThreadFacts ThreadFactsOf(uint32_t threadId) {
    TThreadFacts facts;
    facts.IsMain = threadId == MainThreadIdValue();
    TDrevnikThreadsList* threads = ReportState().ThreadsSnapshot;
    if (threads == nullptr) return facts;
    const int i = threads->IndexOfThreadId(threadId);
    if (i < 0) return facts;
    TTrackedThread& record = (*threads)[i];
    if (record.Priority == kNoPriority && record.ThreadHandle.Get() != 0)
        record.Priority = GetThreadPriority(reinterpret_cast<HANDLE>(record.ThreadHandle.Get()));
    facts.Tracked = true;
    facts.Priority = record.Priority;
    return facts;
}

std::string BuildReportTextStep(const TDrevnikExceptionRecord& record) {
    TReportState& state = ReportState();
    const TDrevnikModuleOptions& options = *Options();
    TReportInputs inputs;
    // Held while the text reads the modules list: a lookup may change it.
    const TModulesListLock modulesLock;
    const uintptr_t address = record.RaisedAddress;
    Step(702200);
    inputs.Modules = modulesLock.Locked() ? ModulesList() : nullptr;
    inputs.General = GeneralValues(record, address, inputs.Modules);
    inputs.Stack = record.StackList;
    inputs.Processes = state.Processes.get();
    inputs.Threads = ThreadFactsOf;
    inputs.ExceptionAddress = address;
    inputs.Memory.Read = ReadOwnMemory;
    inputs.Names.ResolveThunk = ResolveImportThunk;
    if (gAddressLookup != nullptr) {
        inputs.Names.Lookup = gAddressLookup;
    } else {
        inputs.Names.Lookup = [](uintptr_t at, TCallStackEntry& entry) { LookupAddress(at, 0, entry, 1, 0); };
    }
#if defined(__i386__) || defined(_M_IX86)
    if (record.CpuContext != nullptr) {
        const CONTEXT& c = *record.CpuContext;
        inputs.Registers = TCpuRegisters{c.Eax, c.Ebx, c.Ecx, c.Edx, c.Esi, c.Edi, c.Esp, c.Eip};
        inputs.StackPointer = c.Esp;
    } else if (state.ReportParams != nullptr) {
        inputs.StackPointer = state.ReportParams->StackStart;
    }
#else
    // The listing and the CPU layout are of 32-bit code.
    inputs.CodeIs32Bit = false;
#endif
    Texts() = BuildReportTexts(options, inputs, Step);
    return Texts().ReportText;
}

std::string ReportHeaderTextStep() {
    const TDrevnikModuleOptions* options = Options();
    return options != nullptr ? options->GetText(4) + "\r\n\r\n" : std::string();
}

void AddSection(const std::string& section) {
    TDrevnikExceptionRecord* record = ReportState().CurrentReport.load();
    InsertCustomSection(Texts(), record != nullptr ? &record->ReportTextCopy : nullptr, section);
}

void AddCustomDataStep(const std::vector<std::string>& fields) {
    const TDrevnikModuleOptions* options = Options();
    if (options != nullptr) AddSection(CustomDataSection(7, options->GetText(91), fields));
}

void AddReproduceStep(const std::string& text) {
    const TDrevnikModuleOptions* options = Options();
    if (options != nullptr) AddSection(CustomTextSection(7, options->GetText(123), text));
}

void NewLogOnVersionChangeStep() {
    OpenLogFile();
    if (TLogFile* log = CurrentLogFile(); log != nullptr && log->GetCount() > 0) {
        const std::string version = log->GetItemValue("1.3", log->GetCount() - 1);
        if (!version.empty() && version != GetProgramVersion()) {
            const std::string path = log->FileName;
            CloseLogFile();
            DeleteFileA(path.c_str());
            return;
        }
    }
    CloseLogFile();
}

std::string TempName(std::string_view name) { return GetTempFolder() + std::string(name); }

std::string ExpandedLogPath() {
    const TDrevnikModuleOptions* options = Options();
    return options != nullptr ? ExpandVariables(options->GetModuleLogFileName()) : std::string();
}

}  // namespace

TReportTexts& CurrentReportTexts() { return Texts(); }

TThreadFacts ReportThreadFacts(uint32_t threadId) { return ThreadFactsOf(threadId); }

std::string& ReportMessageText() {
    static std::string& text = *new std::string;
    return text;
}

std::string& ReportTypeText() {
    static std::string& text = *new std::string;
    return text;
}

void SetReportAddressLookup(TReportAddressLookup lookup) { gAddressLookup = lookup; }

namespace {
HMODULE gLoadedMainModule = nullptr;
}  // namespace

std::string GetHostExeName() { return RemoveVsHostSuffix(GetProgramFileName()); }

uintptr_t GetMainModuleHandle() {
    const std::string name = GetHostExeName();
    HMODULE module = GetModuleHandleA(name.c_str());
    if (module == nullptr) {
        if (gLoadedMainModule == nullptr) gLoadedMainModule = LoadLibraryA(name.c_str());
        module = gLoadedMainModule;
    }
    return reinterpret_cast<uintptr_t>(module);
}

void ReleaseMainModuleHandle() {
    if (gLoadedMainModule != nullptr) FreeLibrary(gLoadedMainModule);
    gLoadedMainModule = nullptr;
}

void InstallReportSteps() {
    TReportSeams& seams = ReportSeams();
    seams.BugIdPrefix = BugIdPrefixStep;
    seams.CalcCrc16 = [](const std::string& text) { return CalcCrc16(text); };
    seams.BuildReportText = BuildReportTextStep;
    seams.ReportHeaderText = ReportHeaderTextStep;
    seams.CheckDuplicateReport = CheckDuplicateReport;
    seams.IsDuplicateReport = IsDuplicateReport;
    seams.AddCustomDataSection = AddCustomDataStep;
    seams.AddReproduceSection = AddReproduceStep;
    seams.NewLogOnVersionChange = NewLogOnVersionChangeStep;
    seams.SaveReportToLog = SaveReportToLog;
    InstallMailSteps();
    InstallReportDialogs();
    InstallSendSteps();
    InstallScreenshotSteps();
    InstallWebSteps();
}

// ---- Log handling ------------------------------------------------------------------------

TLogFile* CurrentLogFile() { return gLogFile.get(); }

void OpenLogFile() {
    const std::string path = ExpandedLogPath();
    if (gLogFile && path != gLogPath) gLogFile.reset();
    if (!gLogFile) {
        gLogPath = path;
        gLogFile = std::make_unique<TLogFile>(path, false);
    }
}

void CloseLogFile() { gLogFile.reset(); }

bool IsDuplicateReport() { return gDuplicate; }

void CheckDuplicateReport(bool countIt) {
    const TDrevnikModuleOptions* options = Options();
    if (options == nullptr) return;
    if ((options->LogFlags() & lgCountDuplicates) == 0) {
        gDuplicate = false;
        return;
    }
    try {
        OpenLogFile();
        const int32_t k = gLogFile->FindReport({"2.7"}, {ReportState().BugId});
        gDuplicate = k != -1;
        if (gDuplicate && countIt) {
            int n = 1;
            const std::string count = gLogFile->GetItemValue("2.8", k);
            try {
                std::size_t used = 0;
                n = std::stoi(count, &used);
                if (used != count.size()) n = 1;
            } catch (...) {
                n = 1;
            }
            gLogFile->SetItemValue("2.8", std::to_string(n + 1), k, "Count");
            gLogFile->SaveToFile();
        }
    } catch (...) {
        ReportExceptionWarning(eeLogError, "Log");
    }
    CloseLogFile();
}

void SaveReportToLog() {
    const auto writing = [] {
        const TDrevnikModuleOptions* options = Options();
        return options != nullptr && options->WriteLogFile();
    };
    ClearWarning();
    bool execute = true;
    if (writing()) execute = FireActionEvent(atSavingLogFile);
    bool added = false;
    for (;;) {
        ClearWarning();
        try {
            OpenLogFile();
            const TDrevnikModuleOptions* options = Options();
            // A retry after a failed save must not add the report twice.
            if (!gDuplicate && !added && options != nullptr) {
                gLogFile->AddReport(Texts().ReportText, options->LogKeepCount());
                added = true;
            }
            if (options != nullptr && (options->SendFlags() & sdWholeLog) != 0) Texts().TextToSend = gLogFile->GetText();
            if (execute && writing()) gLogFile->SaveToFile();
        } catch (...) {
            ReportExceptionWarning(eeLogError, "Log");
            execute = false;
        }
        bool retry = false;
        if (writing() && !execute) retry = FireErrorEvent(atSavedLogFile);
        if (!retry) break;
        execute = true;
        // The retried attempt reloads the file; the report goes in again.
        CloseLogFile();
        added = false;
    }
    CloseLogFile();
    if (writing()) FireActionEvent(atSavedLogFile);
}

// ---- File names ---------------------------------------------------------------------------

std::string GetTempLogFileName() { return TempName(ExtractFileName(ExpandedLogPath())); }

std::string GetScreenshotFileName() {
    const TDrevnikModuleOptions* o = Options();
    return o != nullptr && (o->SendFlags() & sdAttachScreenshot) != 0 ? TempName("Screenshot.png") : std::string();
}

std::string GetLastHTMLPageFileName() {
    const TDrevnikModuleOptions* o = Options();
    return o != nullptr && (o->SendFlags() & sdAttachLastHtmlPage) != 0 ? TempName("LastHTMLPage.html") : std::string();
}

std::string GetTempXMLLogFileName() {
    const TDrevnikModuleOptions* o = Options();
    if (o == nullptr || (o->SendFlags() & sdAttachXml) == 0) return std::string();
    return TempName(ChangeFileExt(ExtractFileName(ExpandedLogPath()), ".xml"));
}

std::string GetBugReportZipName() { return TempName("BugReport.zip"); }

std::string StampFileName(std::string_view path) {
    const TDrevnikModuleOptions* o = Options();
    const uint16_t flags = o != nullptr ? o->SendFlags() : 0;
    return StampFileName(path, (flags & sdStampComputerName) != 0, GetComputerNameText(),
                         (flags & sdStampDateTime) != 0, ReportState().ReportTime);
}

void SaveXMLLogCopy() {
    const std::string xmlName = GetTempXMLLogFileName();
    if (xmlName.empty()) return;
    const std::string logName = GetTempLogFileName();
    TLogFile log(logName, true);
    if (logName.empty()) log.AddReport(Texts().TextToSend, 1);
    log.DataPassword = ReportState().Password;
    log.SaveXMLToFile(xmlName);
}

std::string LoadTextFile(std::string_view path) {
    std::string bytes;
    if (path.empty() || !ReadWholeFile(path, bytes, TLogFile::MaxFileSize)) return std::string();
    std::string text = NormalizeLineBreaks(bytes);
    if (!text.empty() && (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)) text += "\r\n";
    return text;
}

void BuildAttachmentList(bool forEmail, std::vector<std::string>& list) {
    list.clear();
    const TDrevnikModuleOptions* o = Options();
    if (o == nullptr) return;
    SplitText(o->AttachFiles(), list, ";", false, false);
    const std::string log = GetTempLogFileName();
    if (!forEmail || (!o->AppendReportToMessage() && !log.empty())) list.push_back(log);
    if (const std::string shot = GetAttachedScreenshotFileName(); !shot.empty()) list.push_back(shot);
    if (const std::string xml = GetTempXMLLogFileName(); !xml.empty()) list.push_back(xml);
    for (std::string& entry : list) entry = ExpandVariables(entry);
}

}  // namespace drevnik
