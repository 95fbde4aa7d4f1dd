// The office styler's Windows side: the XP colour scheme and the hidden
// window that hears of theme changes.
#include <windows.h>

#include "framework/gui/win_control.h"
#include "widgets/pager/KelOfficePagerStyler.h"

namespace kel::pager {

bool IsWindowsXPOrLater() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExW(&info)) return false;
#pragma GCC diagnostic pop
    return info.dwMajorVersion > 5 || (info.dwMajorVersion == 5 && info.dwMinorVersion != 0);
}

int DetectXPColorScheme() {
    if (!IsWindowsXPOrLater()) return 0;
    HMODULE lib = LoadLibraryW(L"uxtheme.dll");
    if (!lib) return 0;
    int scheme = 0;
    using IsThemeActiveProc = BOOL(WINAPI*)();
    using GetCurrentThemeNameProc = HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int);
    auto isActive =
        reinterpret_cast<IsThemeActiveProc>(reinterpret_cast<void*>(GetProcAddress(lib, "IsThemeActive")));
    auto getName = reinterpret_cast<GetCurrentThemeNameProc>(
        reinterpret_cast<void*>(GetProcAddress(lib, "GetCurrentThemeName")));
    if (isActive && getName && isActive()) {
        wchar_t file[255] = {}, color[255] = {}, size[255] = {};
        if (SUCCEEDED(getName(file, 255, color, 255, size, 255))) scheme = ColorSchemeFromName(color);
    }
    FreeLibrary(lib);
    return scheme;
}

namespace {

class TNotifierWindow : public fw::TWinControl {
public:
    explicit TNotifierWindow(fw::TComponent* owner) : TWinControl(owner) { SetVisible(false); }
    std::function<void()> OnThemeChange;

protected:
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_THEMECHANGED && OnThemeChange) OnThemeChange();
        return TWinControl::WndProc(msg, wParam, lParam);
    }
};

}  // namespace

fw::TComponent* CreateThemeNotifier(TKelOfficePagerOfficeStyler& styler) {
    auto* window = new TNotifierWindow(&styler);
    window->OnThemeChange = [&styler] { styler.ApplyThemeStyle(); };
    for (fw::TComponent* o = styler.Owner(); o; o = o->Owner()) {
        if (auto* parent = dynamic_cast<fw::TWinControl*>(o)) {
            window->SetParent(parent);
            break;
        }
    }
    return window;
}

}  // namespace kel::pager
