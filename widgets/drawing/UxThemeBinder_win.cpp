#include "widgets/drawing/UxThemeBinder.h"

#include <cstdint>

namespace kel {

TUxThemeBinder ASXPVS("ASXPVS");
TUxThemeBinder AEBXPVS("AEBXPVS");
TUxThemeBinder ACXPVS("ACXPVS");
TUxThemeBinder AOBXPVS("AOBXPVS");

namespace {

// Every cell with its entry-point name, in table order.
template <class Fn>
void ForEachCell(TUxThemeBinder& b, Fn&& fn) {
    fn(b.OpenThemeData, "OpenThemeData");
    fn(b.CloseThemeData, "CloseThemeData");
    fn(b.DrawThemeBackground, "DrawThemeBackground");
    fn(b.DrawThemeText, "DrawThemeText");
    fn(b.GetThemeBackgroundContentRect, "GetThemeBackgroundContentRect");
    fn(b.GetThemeBackgroundExtent, "GetThemeBackgroundExtent");
    fn(b.GetThemeTextExtent, "GetThemeTextExtent");
    fn(b.GetThemeTextMetrics, "GetThemeTextMetrics");
    fn(b.GetThemeBackgroundRegion, "GetThemeBackgroundRegion");
    fn(b.HitTestThemeBackground, "HitTestThemeBackground");
    fn(b.DrawThemeEdge, "DrawThemeEdge");
    fn(b.DrawThemeIcon, "DrawThemeIcon");
    fn(b.IsThemePartDefined, "IsThemePartDefined");
    fn(b.IsThemeBackgroundPartiallyTransparent, "IsThemeBackgroundPartiallyTransparent");
    fn(b.GetThemeColor, "GetThemeColor");
    fn(b.GetThemeMetric, "GetThemeMetric");
    fn(b.GetThemeString, "GetThemeString");
    fn(b.GetThemeBool, "GetThemeBool");
    fn(b.GetThemeInt, "GetThemeInt");
    fn(b.GetThemeEnumValue, "GetThemeEnumValue");
    fn(b.GetThemePosition, "GetThemePosition");
    fn(b.GetThemeFont, "GetThemeFont");
    fn(b.GetThemeRect, "GetThemeRect");
    fn(b.GetThemeMargins, "GetThemeMargins");
    fn(b.GetThemeIntList, "GetThemeIntList");
    fn(b.SetWindowTheme, "SetWindowTheme");
    fn(b.GetThemeFilename, "GetThemeFilename");
    fn(b.GetThemeSysColor, "GetThemeSysColor");
    fn(b.GetThemeSysColorBrush, "GetThemeSysColorBrush");
    fn(b.GetThemeSysBool, "GetThemeSysBool");
    fn(b.GetThemeSysSize, "GetThemeSysSize");
    fn(b.GetThemeSysFont, "GetThemeSysFont");
    fn(b.GetThemeSysString, "GetThemeSysString");
    fn(b.GetThemeSysInt, "GetThemeSysInt");
    fn(b.IsThemeActive, "IsThemeActive");
    fn(b.IsAppThemed, "IsAppThemed");
    fn(b.GetWindowTheme, "GetWindowTheme");
    fn(b.EnableThemeDialogTexture, "EnableThemeDialogTexture");
    fn(b.IsThemeDialogTextureEnabled, "IsThemeDialogTextureEnabled");
    fn(b.GetThemeAppProperties, "GetThemeAppProperties");
    fn(b.SetThemeAppProperties, "SetThemeAppProperties");
    fn(b.GetCurrentThemeName, "GetCurrentThemeName");
    fn(b.GetThemeDocumentationProperty, "GetThemeDocumentationProperty");
    fn(b.DrawThemeParentBackground, "DrawThemeParentBackground");
    fn(b.EnableTheming, "EnableTheming");
}

}  // namespace

void TUxThemeBinder::BindUxTheme() {
    if (loaded_) return;
    HMODULE library = LoadLibraryW(libraryName_);
    // Handles below 32 are the old failure range.
    if (reinterpret_cast<uintptr_t>(library) < 32) {
        ClearCells();
        return;
    }
    library_ = library;
    loaded_ = true;
    missing_ = 0;
    // A library that lacks an entry point still binds the others; that cell
    // stays null for its users to test.
    ForEachCell(*this, [this](auto& cell, const char* name) { BindCell(cell, name); });
}

template <class F>
void TUxThemeBinder::BindCell(F& cell, const char* name) {
    FARPROC p = GetProcAddress(library_, name);
    cell = reinterpret_cast<F>(reinterpret_cast<void*>(p));
    if (!p) ++missing_;
}

void TUxThemeBinder::UnbindUxTheme() {
    if (!loaded_) return;
    // Cleared, not left pointing into a library that may be gone.
    ClearCells();
    FreeLibrary(library_);
    library_ = nullptr;
    loaded_ = false;
}

void TUxThemeBinder::ClearCells() {
    ForEachCell(*this, [](auto& cell, const char*) { cell = nullptr; });
}

}  // namespace kel
