// The process-wide screen cursor.
#include "framework/gui/screen_cursor.h"

namespace fw {
namespace {

TScreenCursor g_screen_cursor = TScreenCursor::crDefault;

}  // namespace

TScreenCursor ScreenCursor() { return g_screen_cursor; }

HCURSOR ScreenCursorHandle(TScreenCursor cursor) {
    LPCWSTR id = IDC_ARROW;
    switch (cursor) {
        case TScreenCursor::crNone: return nullptr;
        case TScreenCursor::crSizeNWSE: id = IDC_SIZENWSE; break;
        case TScreenCursor::crSizeNESW: id = IDC_SIZENESW; break;
        case TScreenCursor::crSizeWE: id = IDC_SIZEWE; break;
        case TScreenCursor::crSizeNS: id = IDC_SIZENS; break;
        case TScreenCursor::crDefault:
        case TScreenCursor::crArrow: break;
    }
    return LoadCursorW(nullptr, id);
}

void SetScreenCursor(TScreenCursor cursor) {
    g_screen_cursor = cursor;
    if (cursor != TScreenCursor::crDefault) {
        ::SetCursor(ScreenCursorHandle(cursor));
        return;
    }
    // The window under the pointer chooses again; one of another process
    // (or none) gets the arrow.
    POINT p;
    HWND under = GetCursorPos(&p) ? WindowFromPoint(p) : nullptr;
    DWORD pid = 0;
    if (under) GetWindowThreadProcessId(under, &pid);
    if (under && pid == GetCurrentProcessId()) {
        const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
        SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(LOWORD(hit), WM_MOUSEMOVE));
    } else {
        ::SetCursor(LoadCursorW(nullptr, IDC_ARROW));
    }
}

}  // namespace fw
