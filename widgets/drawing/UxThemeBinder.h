// Run-time binding of the visual-styles API (uxtheme.dll) by name, so that
// widgets run on systems without it. Four binder modules exist, each with its
// own load flag, library handle and table of 45 entry points:
//   AOBXPVS  office check box and radio button (OpenThemeData, CloseThemeData,
//            DrawThemeBackground, IsThemeActive)
//   ACXPVS   tab pager (DrawThemeBackground)
//   ASXPVS, AEBXPVS  bound and released, not called.
// A cell is null when the library or that entry point is missing: test the
// cell before calling and fall back to own drawing.
#pragma once

#include <windows.h>

#include <uxtheme.h>

namespace kel {

class TUxThemeBinder {
public:
    explicit TUxThemeBinder(const char* moduleName, const wchar_t* libraryName = L"UXTHEME.DLL")
        : moduleName_(moduleName), libraryName_(libraryName) {}
    TUxThemeBinder(const TUxThemeBinder&) = delete;
    TUxThemeBinder& operator=(const TUxThemeBinder&) = delete;

    // Start step: loads the library once and binds every entry point it
    // exports; a missing one leaves its cell null. Again while bound: nothing.
    void BindUxTheme();
    // Stop step: releases the library and clears the cells.
    void UnbindUxTheme();

    bool Loaded() const { return loaded_; }
    const char* ModuleName() const { return moduleName_; }
    // Entry points the last binding did not find.
    int MissingEntries() const { return missing_; }
    static constexpr int kEntryCount = 45;

    // The cells, in table order.
    decltype(&::OpenThemeData) OpenThemeData = nullptr;
    decltype(&::CloseThemeData) CloseThemeData = nullptr;
    decltype(&::DrawThemeBackground) DrawThemeBackground = nullptr;
    decltype(&::DrawThemeText) DrawThemeText = nullptr;
    decltype(&::GetThemeBackgroundContentRect) GetThemeBackgroundContentRect = nullptr;
    decltype(&::GetThemeBackgroundExtent) GetThemeBackgroundExtent = nullptr;
    decltype(&::GetThemeTextExtent) GetThemeTextExtent = nullptr;
    decltype(&::GetThemeTextMetrics) GetThemeTextMetrics = nullptr;
    decltype(&::GetThemeBackgroundRegion) GetThemeBackgroundRegion = nullptr;
    decltype(&::HitTestThemeBackground) HitTestThemeBackground = nullptr;
    decltype(&::DrawThemeEdge) DrawThemeEdge = nullptr;
    decltype(&::DrawThemeIcon) DrawThemeIcon = nullptr;
    decltype(&::IsThemePartDefined) IsThemePartDefined = nullptr;
    decltype(&::IsThemeBackgroundPartiallyTransparent) IsThemeBackgroundPartiallyTransparent = nullptr;
    decltype(&::GetThemeColor) GetThemeColor = nullptr;
    decltype(&::GetThemeMetric) GetThemeMetric = nullptr;
    decltype(&::GetThemeString) GetThemeString = nullptr;
    decltype(&::GetThemeBool) GetThemeBool = nullptr;
    decltype(&::GetThemeInt) GetThemeInt = nullptr;
    decltype(&::GetThemeEnumValue) GetThemeEnumValue = nullptr;
    decltype(&::GetThemePosition) GetThemePosition = nullptr;
    decltype(&::GetThemeFont) GetThemeFont = nullptr;
    decltype(&::GetThemeRect) GetThemeRect = nullptr;
    decltype(&::GetThemeMargins) GetThemeMargins = nullptr;
    decltype(&::GetThemeIntList) GetThemeIntList = nullptr;
    decltype(&::SetWindowTheme) SetWindowTheme = nullptr;
    decltype(&::GetThemeFilename) GetThemeFilename = nullptr;
    decltype(&::GetThemeSysColor) GetThemeSysColor = nullptr;
    decltype(&::GetThemeSysColorBrush) GetThemeSysColorBrush = nullptr;
    decltype(&::GetThemeSysBool) GetThemeSysBool = nullptr;
    decltype(&::GetThemeSysSize) GetThemeSysSize = nullptr;
    decltype(&::GetThemeSysFont) GetThemeSysFont = nullptr;
    decltype(&::GetThemeSysString) GetThemeSysString = nullptr;
    decltype(&::GetThemeSysInt) GetThemeSysInt = nullptr;
    decltype(&::IsThemeActive) IsThemeActive = nullptr;
    decltype(&::IsAppThemed) IsAppThemed = nullptr;
    decltype(&::GetWindowTheme) GetWindowTheme = nullptr;
    decltype(&::EnableThemeDialogTexture) EnableThemeDialogTexture = nullptr;
    decltype(&::IsThemeDialogTextureEnabled) IsThemeDialogTextureEnabled = nullptr;
    decltype(&::GetThemeAppProperties) GetThemeAppProperties = nullptr;
    decltype(&::SetThemeAppProperties) SetThemeAppProperties = nullptr;
    decltype(&::GetCurrentThemeName) GetCurrentThemeName = nullptr;
    decltype(&::GetThemeDocumentationProperty) GetThemeDocumentationProperty = nullptr;
    decltype(&::DrawThemeParentBackground) DrawThemeParentBackground = nullptr;
    decltype(&::EnableTheming) EnableTheming = nullptr;

private:
    template <class F>
    void BindCell(F& cell, const char* name);
    void ClearCells();

    const char* moduleName_;
    const wchar_t* libraryName_;
    bool loaded_ = false;
    HMODULE library_ = nullptr;
    int missing_ = 0;
};

extern TUxThemeBinder ASXPVS;
extern TUxThemeBinder AEBXPVS;
extern TUxThemeBinder ACXPVS;
extern TUxThemeBinder AOBXPVS;

}  // namespace kel
