// The boxes through which both programs report their own failures, and the
// request to end the application. Both go through replaceable handlers so
// that tests (which must never block on a modal box) can watch them.
// Windows only (MessageBox_win.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace common {

enum class TMessageBoxKind {
    Error,  // caption "Error", error icon, OK button: the settings file and the data folder
    Plain,  // the application's title, no icon, OK button: the system's text for an error code
};

using TMessageBoxHandler = std::function<void(TMessageBoxKind kind, const std::wstring& text)>;
using TEndRequestHandler = std::function<void()>;

// Install a handler; an empty one restores the real box or the real request.
// Each returns the handler it replaced. The real box is MessageBoxW, the
// real request fw::Application->Terminate(); without an application object,
// PostQuitMessage.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);
TEndRequestHandler SetEndRequestHandler(TEndRequestHandler handler);

// While the main form shows, it owns the box, which so stays above it.
void ShowMessageBox(TMessageBoxKind kind, const std::wstring& text);
void RequestApplicationEnd();

// The system's message text for an error code (language neutral), without
// its trailing line break; empty when the system has none.
std::wstring SystemErrorText(uint32_t errorCode);
// Shows that text in a plain box; nothing when the system has none.
void ShowSystemError(uint32_t errorCode);

}  // namespace common
