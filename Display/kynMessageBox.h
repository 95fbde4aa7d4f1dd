// The boxes through which both programs report their own failures, and the
// request to end the application. Both go through replaceable handlers so
// that tests (which must never block on a modal box) can watch them.
// Windows only (kynMessageBox_win.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kyn {

enum class TMessageBoxKind {
    Error,  // error icon, OK button: the settings file and the data folder
    Plain,  // no icon, OK button: the system's text for an error code
};

using TMessageBoxHandler = std::function<void(TMessageBoxKind kind, const std::wstring& text)>;
using TEndRequestHandler = std::function<void()>;

// Install a handler; an empty one restores the real box (MessageBoxW) or the
// real request (PostQuitMessage, which ends the message loop when it runs).
// Each returns the handler it replaced.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);
TEndRequestHandler SetEndRequestHandler(TEndRequestHandler handler);

void ShowMessageBox(TMessageBoxKind kind, const std::wstring& text);
void RequestApplicationEnd();

// Caption of the plain box (the application title); the error box's caption
// is "Error". By default the program file's name without its extension.
void SetPlainBoxCaption(std::wstring caption);

// The system's message text for an error code (language neutral), without
// its trailing line break; empty when the system has none.
std::wstring SystemErrorText(uint32_t errorCode);

}  // namespace kyn
