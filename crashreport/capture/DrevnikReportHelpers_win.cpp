// The report's helpers: the library's own failures and warnings, the
// emergency reserve, terminate or restart, the clipboard, the process's
// windows, the focused control and the report's environment variables.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "crashreport/capture/DrevnikLibrary.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::atomic<bool> gInInternalError{false};
std::atomic<void*> gEmergencyReserve{nullptr};
constexpr SIZE_T kEmergencyReserve = 0x500000;
std::vector<HWND> gWindowSnapshot;

constexpr UINT kBoxFlags = MB_TASKMODAL | MB_TOPMOST | MB_SERVICE_NOTIFICATION;

std::string Hex8(uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "%08llX", static_cast<unsigned long long>(value));
    return text;
}

// The current exception's message and class; "General internal error." for
// a foreign object.
void CurrentExceptionFacts(std::string& message, std::string& className, bool& isAbort) {
    message = "General internal error.";
    className.clear();
    isAbort = false;
    const std::exception_ptr current = std::current_exception();
    if (!current) return;
    const TRaisedObject raised = TRaisedObject::FromPtr(current);
    isAbort = !IsReportableObject(raised);
    if (RaisedAs<std::exception>(raised) != nullptr) {
        message = RaisedMessage(raised);
        className = RaisedClassName(raised);
    }
}

std::string ModuleFileOf(uintptr_t address, HMODULE& module) {
    module = nullptr;
    char path[MAX_PATH] = {};
    if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<const char*>(address), &module))
        GetModuleFileNameA(module, path, MAX_PATH);
    return path;
}

bool IsProcessMainWindowCandidate(HWND window) {
    RECT r;
    if (!IsWindowVisible(window) || !GetWindowRect(window, &r) || r.right - r.left <= 0 || r.bottom - r.top <= 0)
        return false;
    const auto className = [](HWND w) {
        char name[64] = {};
        GetClassNameA(w, name, sizeof name);
        return std::string(name);
    };
    const HWND desktop = GetDesktopWindow();
    HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_HWNDPARENT));
    if (owner != nullptr && owner != desktop && (GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0 &&
        className(owner) != "TApplication")
        owner = reinterpret_cast<HWND>(GetWindowLongPtrA(owner, GWLP_HWNDPARENT));
    if (owner != nullptr && owner != desktop && className(owner) != "TApplication") return false;
    const LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    return !((exStyle & WS_EX_TOOLWINDOW) != 0 && (exStyle & WS_EX_APPWINDOW) == 0);
}

template <class F>
struct TWindowVisit {
    DWORD ProcessId;
    F* Visit;
    static BOOL CALLBACK Callback(HWND window, LPARAM parameter) {
        auto& c = *reinterpret_cast<TWindowVisit*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        return owner != c.ProcessId || (*c.Visit)(window) ? TRUE : FALSE;
    }
};

// Calls `visit` for each top-level window of the process until it returns false.
template <class F>
void ForEachProcessWindow(DWORD processId, F visit) {
    TWindowVisit<F> context{processId, &visit};
    EnumWindows(TWindowVisit<F>::Callback, reinterpret_cast<LPARAM>(&context));
}

}  // namespace

const char* ErrorCodeName(TDrevnikLogErrorCode code) {
    static const char* const kNames[] = {"eeNone",          "eeShowError",       "eeLogError",     "eeEmailMAPIError",
                                         "eeEmailShellError", "eeEmailSMTPError", "eeWebHTTPError", "eeWebHTTPSError",
                                         "eeWebFTPError",   "eeWebTrakerError"};
    return code <= eeWebTrakerError ? kNames[code] : "eeNone";
}

// ---- The library's own failures -------------------------------------------------------

std::string InternalErrorLine(const std::string& section, uintptr_t address, const std::string& message) {
    return "[ERROR] - Section: " + section + " - Address: " + Hex8(address) + " - Message: \"" + message + "\"";
}

std::string WarningLine(TDrevnikLogErrorCode code, uintptr_t address, const std::string& text) {
    return std::string("[WARNING] - Code: ") + ErrorCodeName(code) + " - Address: " + Hex8(address) +
           " - Message: \"" + text + "\"";
}

void ReportInternalError(const std::string& section) {
    if (gInInternalError.exchange(true)) return;
    try {
        std::string message, className;
        bool isAbort = false;
        CurrentExceptionFacts(message, className, isAbort);
        const TLastRaise last = LastRaise();
        if (!isAbort && (IsIdeHost() || IsDebuggerPresent())) {
            uintptr_t address = last.Address;
            if (last.IsLanguage && address != 0) address -= 5;
            OutputDebugStringA(InternalErrorLine(section, address, message).c_str());
            std::string dump;
            if (address != 0 && IsReadableMemory(reinterpret_cast<const void*>(address), 32)) {
                for (int i = 0; i < 32; ++i) {
                    char byte[8];
                    std::snprintf(byte, sizeof byte, "$%02X ", reinterpret_cast<const uint8_t*>(address)[i]);
                    dump += byte;
                }
            }
            const TDrevnikExceptionRecord* report = ReportState().CurrentReport.load();
            const std::string lastClass = report != nullptr ? RaisedClassName(report->RaisedObject) : "";
            HMODULE module = nullptr;
            const std::string moduleFile = ModuleFileOf(address, module);
            const std::string addressLine = "$" + Hex8(address) + " - [" +
                                            Hex8(reinterpret_cast<uintptr_t>(module)) + "] " + moduleFile;
            const std::string block = "Version   : 6.0.25\r\nDate      : " + FormatRfc822Date(NowDateTime()) +
                                      "\r\nOS        : Windows\r\nRAD       : BDS 6.0\r\nDump      : " + dump +
                                      "\r\nSection   : " + section + "\r\nLastExcept: " + lastClass +
                                      "\r\nAddress   : " + addressLine + "\r\nException : " + className +
                                      "\r\nMessage   : " + message + "\r\nCall Stack: \r\n";
            std::string path = ChangeFileExt(GetProgramFileName(), ".log");
            if (EnsureWritableFile(path, false, false) && WriteWholeFile(path, block)) {
                const std::string question = "Error: '" + message +
                                             "'\r\n\r\nThis is an internal DrevnikLog bug.\r\nDo you want to send the "
                                             "bug information to DrevnikLog author?";
                const auto mail = ReportSeams().SendMapiMailWithFiles;
                if (MessageBoxA(nullptr, question.c_str(), "Probably internal bug",
                                MB_YESNO | MB_ICONHAND | kBoxFlags) == IDYES &&
                    (mail == nullptr || !mail(kLibrarySupportAddress, "DrevnikLog 6.0.25 critical bug.",
                                              "DrevnikLog 6.0.25 critical bug.", path))) {
                    const std::string manual = "Please send the file \"" + path + "\" to " +
                                               std::string(kLibrarySupportAddress) + ".";
                    MessageBoxA(nullptr, manual.c_str(), "Information", MB_ICONWARNING | kBoxFlags);
                }
            }
        }
    } catch (...) {
    }
    gInInternalError.store(false);
}

void ReportWarning(TDrevnikLogErrorCode code, const std::string& text) {
    try {
        TReportState& state = ReportState();
        state.LastWarningCode = code;
        state.LastWarningText = text;
        OutputDebugStringA(WarningLine(code, LastRaise().Address, text).c_str());
        if (code >= eeEmailSMTPError && code <= eeWebTrakerError && ExceptionDialogWindow() != nullptr)
            MessageBoxA(nullptr, text.c_str(), "Error.", MB_ICONHAND | kBoxFlags);
    } catch (...) {
    }
}

void ClearWarning() {
    TReportState& state = ReportState();
    state.LastWarningCode = eeNone;
    state.LastWarningText.clear();
}

void ReportExceptionWarning(TDrevnikLogErrorCode code, const std::string& stepName) {
    std::string text = "General '" + stepName + "' error.";
    if (const std::exception_ptr current = std::current_exception()) {
        const TRaisedObject raised = TRaisedObject::FromPtr(current);
        if (RaisedAs<std::exception>(raised) != nullptr) text = "[" + stepName + "] " + RaisedMessage(raised);
    }
    ReportWarning(code, text);
}

// ---- Emergency reserve ---------------------------------------------------------------

void ReserveEmergencyMemory() {
    if (gEmergencyReserve.load() != nullptr) return;
    void* reserve = VirtualAlloc(nullptr, kEmergencyReserve, MEM_RESERVE, PAGE_NOACCESS);
    void* expected = nullptr;
    if (reserve != nullptr && !gEmergencyReserve.compare_exchange_strong(expected, reserve))
        VirtualFree(reserve, 0, MEM_RELEASE);
}

void ReleaseEmergencyMemory() {
    if (void* reserve = gEmergencyReserve.exchange(nullptr)) VirtualFree(reserve, 0, MEM_RELEASE);
}

bool HasEmergencyReserve() { return gEmergencyReserve.load() != nullptr; }

// ---- Terminate or restart, clipboard ---------------------------------------------------

void TerminateOrRestart(bool restart) {
    if (restart) {
        std::string commandLine = GetCommandLineA();
        const std::string folder = LibraryStartFolder();
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        GetStartupInfoA(&startup);
        PROCESS_INFORMATION process{};
        if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                           CREATE_NEW_PROCESS_GROUP | NORMAL_PRIORITY_CLASS, nullptr,
                           folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
    }
    TerminateProcess(GetCurrentProcess(), 1);
    for (;;) Sleep(INFINITE);
}

void CopyTextToClipboard(const std::string& text) {
    if (text.empty() || !OpenClipboard(nullptr)) return;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1)) {
        if (void* bytes = GlobalLock(block)) {
            std::memcpy(bytes, text.c_str(), text.size() + 1);
            GlobalUnlock(block);
        }
        EmptyClipboard();
        if (SetClipboardData(CF_TEXT, block) == nullptr) GlobalFree(block);
    }
    CloseClipboard();
}

// ---- Windows of the process -----------------------------------------------------------

HWND FindProcessMainWindow(DWORD processId) {
    HWND found = nullptr;
    ForEachProcessWindow(processId, [&](HWND window) {
        if (!IsProcessMainWindowCandidate(window)) return true;
        found = window;
        return false;
    });
    return found;
}

bool ProcessHasIdeWindow(DWORD processId) {
    bool found = false;
    ForEachProcessWindow(processId, [&](HWND window) {
        char name[32] = {};
        GetClassNameA(window, name, sizeof name);
        found = std::strcmp(name, "TAppBuilder") == 0;
        return !found;
    });
    return found;
}

RECT GetProcessWindowsRect(DWORD processId) {
    RECT total{-1, -1, -1, -1};
    bool any = false;
    ForEachProcessWindow(processId, [&](HWND window) {
        RECT r;
        if (IsWindowVisible(window) && GetWindowRect(window, &r) && r.right > r.left) {
            if (!any) total = r;
            UnionRect(&total, &total, &r);
            any = true;
        }
        return true;
    });
    return total;
}

void SnapshotProcessWindows() {
    gWindowSnapshot.clear();
    ForEachProcessWindow(GetCurrentProcessId(), [](HWND window) {
        gWindowSnapshot.push_back(window);
        return true;
    });
}

bool IsNewProcessWindow(HWND window) {
    return std::find(gWindowSnapshot.begin(), gWindowSnapshot.end(), window) == gWindowSnapshot.end();
}

bool IsOwnProcessWindow(HWND window) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == GetCurrentProcessId();
}

// ---- The focused control ---------------------------------------------------------------

void GetFocusedControlClass(char* buffer) {
    buffer[0] = '\0';
    const HWND focus = GetFocus();
    if (focus != nullptr) GetClassNameA(focus, buffer, static_cast<int>(kFocusTextMax));
}

void GetFocusedControlText(char* buffer) {
    buffer[0] = '\0';
    const HWND focus = GetFocus();
    if (focus == nullptr || IsWindowUnicode(focus)) return;
    char name[kFocusTextMax + 1] = {};
    GetClassNameA(focus, name, static_cast<int>(kFocusTextMax));
    for (char* c = name; *c != '\0'; ++c) *c = static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
    const LONG style = GetWindowLongA(focus, GWL_STYLE);
    const bool edit = std::strstr(name, "EDIT") != nullptr;
    if ((edit || std::strstr(name, "MEMO") != nullptr) && (style & ES_MULTILINE) != 0) return;
    // Another thread's window answers WM_GETTEXT only if its thread runs.
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(focus, WM_GETTEXT, kFocusTextMax + 1, reinterpret_cast<LPARAM>(buffer),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, 200, &length)) {
        buffer[0] = '\0';
        return;
    }
    buffer[std::min<DWORD_PTR>(length, kFocusTextMax)] = '\0';
    if (edit && (style & ES_PASSWORD) != 0)
        for (char* c = buffer; *c != '\0'; ++c) *c = '*';
}

// ---- Report variables --------------------------------------------------------------------

void SetReportVariables(const TDrevnikExceptionRecord& record) {
    const TReportSeams& seams = ReportSeams();
    const auto moduleFacts = [](const TDrevnikModuleInfo* info, uintptr_t module, std::string& name,
                                std::string& description, std::string& version) {
        if (info != nullptr) {
            name = ExtractFileName(info->FilePath);
            description = info->FileDescription;
            version = info->FileVersionText;
        } else {
            name = ExtractFileName(GetModuleFileNameLong(module));
        }
    };
    std::string name, description, version;
    const auto mainModule = reinterpret_cast<TModuleHandle>(GetModuleHandleW(nullptr));
    moduleFacts(seams.ModuleInfoOfHandle ? seams.ModuleInfoOfHandle(mainModule) : nullptr, mainModule, name,
                description, version);
    SetEnvironmentText("_MainModuleName", name);
    SetEnvironmentText("_MainModuleDesc", description);
    SetEnvironmentText("_MainModuleVer", version);
    name.clear();
    description.clear();
    version.clear();
    HMODULE exceptModule = nullptr;
    ModuleFileOf(record.RaisedAddress, exceptModule);
    moduleFacts(seams.ModuleInfoOfAddress ? seams.ModuleInfoOfAddress(record.RaisedAddress) : nullptr,
                reinterpret_cast<TModuleHandle>(exceptModule), name, description, version);
    SetEnvironmentText("_ExceptModuleName", name);
    SetEnvironmentText("_ExceptModuleDesc", description);
    SetEnvironmentText("_ExceptModuleVer", version);
    SetEnvironmentText("_ExceptMsg", RaisedMessage(record.RaisedObject));
    SetEnvironmentText("_BugReport", ReportState().BugId);
    SetEnvironmentText("_LineBreak", "\r\n");
}

std::string ReplaceControlChars(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 32) c = ' ';
    return text;
}

// ---- Safecall exceptions ---------------------------------------------------------------

void MarkSafecallException(const TRaisedObject& object) {
    auto* exception = RaisedAs<fw::Exception>(object);
    if (exception == nullptr) return;
    const std::wstring mark = fw::AnsiToWide(kSafecallMark);
    if (exception->Message().find(mark) == std::wstring::npos) exception->SetMessage(mark + exception->Message());
}

}  // namespace drevnik
