// Message boxes, the end request and system error texts on Windows.
#include "common/MessageBox.h"

#include <windows.h>

#include <utility>

#include "common/FileVersion.h"
#include "framework/core/paths.h"
#include "framework/gui/application.h"
#include "framework/gui/forms.h"

namespace common {
namespace {

TMessageBoxHandler& BoxHandler() {
    static TMessageBoxHandler handler;
    return handler;
}

TEndRequestHandler& EndHandler() {
    static TEndRequestHandler handler;
    return handler;
}

// The program file's name without its extension, the title of an
// application that has not set one.
std::wstring ProgramName() {
    return fw::ChangeFileExt(fw::ExtractFileName(RunningProgramPath()), L"");
}

// The display window stays on top of every other window: a box that it does
// not own can open behind it, out of sight, with the program waiting on it.
// A box the main form owns stays above it; before it shows, the active window
// owns the box.
HWND BoxOwner() {
    fw::TForm* main = fw::Application ? fw::Application->MainForm() : nullptr;
    if (main && main->HandleAllocated() && IsWindowVisible(main->Handle())) return main->Handle();
    return GetActiveWindow();
}

void ShowRealBox(TMessageBoxKind kind, const std::wstring& text) {
    std::wstring caption = L"Error";
    UINT flags = MB_OK | MB_ICONERROR;
    if (kind == TMessageBoxKind::Plain) {
        caption = fw::Application && !fw::Application->Title().empty() ? fw::Application->Title() : ProgramName();
        flags = MB_OK;
    }
    MessageBoxW(BoxOwner(), text.c_str(), caption.c_str(), flags);
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
        if (fw::Application) {
            fw::Application->Terminate();
        } else {
            PostQuitMessage(0);
        }
    }
}

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

void ShowSystemError(uint32_t errorCode) {
    const std::wstring text = SystemErrorText(errorCode);
    if (!text.empty()) ShowMessageBox(TMessageBoxKind::Plain, text);
}

}  // namespace common
