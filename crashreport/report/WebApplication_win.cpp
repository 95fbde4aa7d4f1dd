#include "crashreport/report/WebApplication.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "crashreport/capture/DrevnikOptions.h"
#include "crashreport/capture/DrevnikReport.h"
#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/DrevnikUtils.h"
#include "crashreport/debuginfo/DrevnikModules.h"
#include "framework/core/exceptions.h"

namespace drevnik {

namespace {

constexpr DWORD kMaxWinCgiIniSize = 102400;

const TDrevnikModuleOptions* WebOptions() {
    const TReportState& state = ReportState();
    if (state.HandlerOptions) return state.HandlerOptions.get();
    return FindCurrentDrevnikLogOptions();
}

std::vector<std::string> CommandLineArguments() {
    std::vector<std::string> result;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (arguments == nullptr) return result;
    for (int i = 0; i < count; ++i) {
        const int size = WideCharToMultiByte(CP_ACP, 0, arguments[i], -1, nullptr, 0, nullptr, nullptr);
        std::string text(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
        if (size > 0) WideCharToMultiByte(CP_ACP, 0, arguments[i], -1, text.data(), size, nullptr, nullptr);
        text.resize(std::strlen(text.c_str()));
        result.push_back(std::move(text));
    }
    LocalFree(arguments);
    return result;
}

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Writes all of the bytes; a short write is a failure.
bool WriteAll(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        if (!WriteFile(file, bytes.data() + done, piece, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

TWebPageSettings PageSettings() {
    TWebPageSettings settings;
    if (const TDrevnikModuleOptions* options = WebOptions()) {
        settings.Template = options->HtmlPageTemplate();
        settings.Title = options->GetText(3);
    }
    settings.DefaultTemplate = TDrevnikOptionValues::DefaultHtmlPageTemplate();
    settings.Id = std::random_device{}();
    return settings;
}

struct TOwnPageFlag {
    TOwnPageFlag() { WebState().WritingOwnErrorPage = true; }
    ~TOwnPageFlag() { WebState().WritingOwnErrorPage = false; }
    TOwnPageFlag(const TOwnPageFlag&) = delete;
    TOwnPageFlag& operator=(const TOwnPageFlag&) = delete;
};

bool SendIsapiPage(const std::string& header, const std::string& page) {
    EXTENSION_CONTROL_BLOCK* block = WebState().IsapiControlBlock;
    if (block == nullptr) {
        ReportWarning(eeShowError, "ISAPI: ServerECB = nil");
        return false;
    }
    TOwnPageFlag own;
    block->dwHttpStatusCode = 200;
    char status[] = "200 Error";
    DWORD size = 0;
    if (block->ServerSupportFunction != nullptr)
        block->ServerSupportFunction(block->ConnID, HSE_REQ_SEND_RESPONSE_HEADER, status, &size,
                                     reinterpret_cast<LPDWORD>(const_cast<char*>(header.c_str())));
    DWORD length = static_cast<DWORD>(page.size());
    if (block->WriteClient != nullptr)
        block->WriteClient(block->ConnID, const_cast<char*>(page.data()), &length, HSE_IO_SYNC);
    return true;
}

bool SendCgiPage(const std::string& header, const std::string& page) {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || !WriteAll(out, header) || !WriteAll(out, page)) {
        ReportWarning(eeShowError, "CGI: Cannot write in the ouput file.");
        return false;
    }
    return true;
}

bool SendWinCgiPage(const std::string& header, const std::string& page) {
    try {
        // Truncated: an older, longer answer must not trail after the page.
        const HANDLE file = CreateFileA(WebState().WinCgiOutputFile.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            throw fw::EInOutError(L"Cannot create the WinCGI output file.");
        const bool ok = WriteAll(file, header) && WriteAll(file, page);
        CloseHandle(file);
        if (!ok) throw fw::EInOutError(L"Cannot write the WinCGI output file.");
        return true;
    } catch (...) {
        ReportExceptionWarning(eeShowError, "WinCGI");
        return false;
    }
}

}  // namespace

TWebState& WebState() {
    static TWebState& state = *new TWebState;
    return state;
}

bool IsConsoleApp() {
    const auto* base = reinterpret_cast<const uint8_t*>(GetModuleHandleW(nullptr));
    if (base == nullptr) return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    return nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_CUI;
}

bool IsCGIApp() {
    if (!IsConsoleApp()) return false;
    char value[1];
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableA("REQUEST_METHOD", value, sizeof value);
    return n > 0 || GetLastError() != ERROR_ENVVAR_NOT_FOUND;
}

bool IsWinCgiCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.size() < 2) return false;
    const std::string ini = FullPath(arguments[1]);
    if (!IsReadableFile(ini)) return false;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(ini.c_str(), GetFileExInfoStandard, &data) || data.nFileSizeHigh != 0 ||
        data.nFileSizeLow > kMaxWinCgiIniSize)
        return false;
    if (ReadIniString(ini, "CGI", "Request Method", "").empty()) return false;
    std::string output = arguments.size() > 3 ? arguments[3] : std::string();
    if (output.empty()) output = ReadIniString(ini, "System", "Output File", "");
    WebState().WinCgiOutputFile = output;
    return !output.empty() && FileExists(output);
}

bool IsWinCGIApp() { return !IsConsoleApp() && IsWinCgiCommandLine(CommandLineArguments()); }

bool IsISAPIApp() {
    const TModuleHandle own = LibraryModuleHandle();
    return IsModuleDll(own) &&
           GetProcAddress(reinterpret_cast<HMODULE>(own), "HttpExtensionProc") != nullptr;
}

bool IsIntraWebApp() { return false; }

TWebAppKind WebAppKind() {
    if (IsISAPIApp()) return TWebAppKind::Isapi;
    if (IsCGIApp()) return TWebAppKind::Cgi;
    if (IsWinCGIApp()) return TWebAppKind::WinCgi;
    return TWebAppKind::None;
}

bool IsWebApp() { return WebAppKind() != TWebAppKind::None || IsIntraWebApp(); }

bool IsInteractiveApp() { return !IsWebApp() && !IsConsoleApp(); }

bool SendWebErrorPageAs(TWebAppKind kind, const std::string& page) {
    switch (kind) {
        case TWebAppKind::Isapi: return SendIsapiPage(WebHeaderBlock(false, page.size()), page);
        case TWebAppKind::Cgi: return SendCgiPage(WebHeaderBlock(true, page.size()), page);
        case TWebAppKind::WinCgi: return SendWinCgiPage(WebHeaderBlock(true, page.size()), page);
        case TWebAppKind::None: break;
    }
    return true;
}

bool SendWebErrorPage(const std::string& page) { return SendWebErrorPageAs(WebAppKind(), page); }

bool ShowWebApplicationErrorPage(const std::string& message) {
    const TWebAppKind kind = WebAppKind();
    if (kind == TWebAppKind::None) return false;
    const TReportSeams& seams = ReportSeams();
    const std::string text = (seams.ReportHeaderText != nullptr ? seams.ReportHeaderText() : std::string()) + message;
    const TWebPageSettings settings = PageSettings();
    TWebState& state = WebState();
    state.Capture.ErrorPageIdComment = ErrorPageIdCommentFor(settings.Id);
    state.ShownPage = BuildWebApplicationErrorPage(text, settings);
    return SendWebErrorPageAs(kind, state.ShownPage);
}

bool IsReadableFile(const std::string& path) {
    if (path.find_first_of("*?") != std::string::npos || !FileExists(path)) return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool IsExistingFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WriteTextFile(const std::string& text, const std::string& path) {
    const std::string folder = RemoveTrailingBackslash(ExtractFilePath(path));
    if (!folder.empty() && !IsExistingFolder(folder) && !CreateDirectoryA(folder.c_str(), nullptr)) return false;
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = WriteAll(file, text);
    CloseHandle(file);
    return ok;
}

void InstallWebSteps() {
    TReportSeams& seams = ReportSeams();
    seams.IsWebApplication = IsWebApp;
    seams.IsConsoleApplication = IsConsoleApp;
    seams.IsIntraWebApplication = IsIntraWebApp;
    seams.ShowWebErrorPage = [](const std::string& text) { ShowWebApplicationErrorPage(text); };
}

}  // namespace drevnik
