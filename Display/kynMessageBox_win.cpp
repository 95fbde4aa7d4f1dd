// Message boxes, the end request and system error texts on Windows.
#include "Display/kynMessageBox.h"

#include <windows.h>

#include <utility>

#include "Display/kynFileVersion.h"

namespace kyn {
namespace {

TMessageBoxHandler& BoxHandler() {
    static TMessageBoxHandler handler;
    return handler;
}

TEndRequestHandler& EndHandler() {
    static TEndRequestHandler handler;
    return handler;
}

std::wstring& PlainCaption() {
    static std::wstring caption;
    return caption;
}

std::wstring DefaultPlainCaption() {
    std::wstring path = RunningProgramPath();
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos && dot > 0) name.resize(dot);
    return name;
}

void ShowRealBox(TMessageBoxKind kind, const std::wstring& text) {
    if (kind == TMessageBoxKind::Error) {
        MessageBoxW(GetActiveWindow(), text.c_str(), L"Error", MB_OK | MB_ICONERROR);
    } else {
        const std::wstring caption = PlainCaption().empty() ? DefaultPlainCaption() : PlainCaption();
        MessageBoxW(GetActiveWindow(), text.c_str(), caption.c_str(), MB_OK);
    }
}

}  // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) { return std::exchange(BoxHandler(), std::move(handler)); }

TEndRequestHandler SetEndRequestHandler(TEndRequestHandler handler) { return std::exchange(EndHandler(), std::move(handler)); }

void ShowMessageBox(TMessageBoxKind kind, const std::wstring& text) {
    if (BoxHandler()) {
        BoxHandler()(kind, text);
    } else {
        ShowRealBox(kind, text);
    }
}

void RequestApplicationEnd() {
    if (EndHandler()) {
        EndHandler()();
    } else {
        PostQuitMessage(0);
    }
}

void SetPlainBoxCaption(std::wstring caption) { PlainCaption() = std::move(caption); }

std::wstring SystemErrorText(uint32_t errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, errorCode,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) text.assign(buffer, length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

}  // namespace kyn
