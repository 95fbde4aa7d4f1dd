// The pager styler: tab and page appearances, the rounded-corners flag and
// the look of the pager's buttons, shared by every attached pager, which it
// tells what changed; and the office styler with its 16 colour presets and
// its adaptation to the Windows XP colour scheme.
#pragma once

#include <functional>
#include <vector>

#include "framework/core/component.h"
#include "framework/core/exceptions.h"
#include "widgets/buttons/KelGlowButtonAppearance.h"
#include "widgets/drawing/StylePreset.h"
#include "widgets/pager/KelPagerAppearance.h"

namespace kel::pager {

// What a pager offers its styler.
class IPagerStylerClient {
public:
    virtual void StylerChanged(int kind) = 0;

protected:
    ~IPagerStylerClient() = default;
};

// List access of the pager's lists: an index at or above the count (or
// below 0) raises.
template <class T>
T& PagerListGet(std::vector<T>& list, int index) {
    if (index < 0 || index >= static_cast<int>(list.size()))
        throw fw::Exception(L"Index out of bounds in list read access");
    return list[static_cast<size_t>(index)];
}
template <class T>
void PagerListPut(std::vector<T>& list, int index, const T& item) {
    if (index < 0 || index >= static_cast<int>(list.size()))
        throw fw::Exception(L"Index out of bounds in list write access");
    list[static_cast<size_t>(index)] = item;
}

class TCustomKelOfficePagerStyler : public fw::TComponent {
public:
    explicit TCustomKelOfficePagerStyler(fw::TComponent* owner);
    ~TCustomKelOfficePagerStyler() override;

    // A pager is a component that implements IPagerStylerClient.
    void AttachPager(fw::TComponent* pager);
    void DetachPager(fw::TComponent* pager);
    const std::vector<fw::TComponent*>& Pagers() const { return pagers_; }
    void NotifyPagers(int kind);

    TTabAppearance& TabAppearance() { return tabAppearance_; }
    TVistaBackground& PageAppearance() { return pageAppearance_; }
    glow::TGlowButtonAppearance& GlowButtonAppearance() { return glowAppearance_; }
    int RoundedCorners() const { return roundedCorners_; }
    // Stores and notifies kind 3, always.
    void SetRoundedCorners(int value);
    int BorderLightening() const { return borderLightening_; }

    // Tab and page appearance and the rounded-corners flag; not the glow
    // button appearance.
    void Assign(TCustomKelOfficePagerStyler& source);

protected:
    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    bool destroying_ = false;
    int borderLightening_ = 50;

private:
    std::vector<fw::TComponent*> pagers_;
    TTabAppearance tabAppearance_;
    TVistaBackground pageAppearance_;
    int roundedCorners_ = 1;
    glow::TGlowButtonAppearance glowAppearance_;
};

class TKelOfficePagerOfficeStyler : public TCustomKelOfficePagerStyler, public IStylePreset {
public:
    explicit TKelOfficePagerOfficeStyler(fw::TComponent* owner);

    TOfficePagerStyle Style() const { return style_; }
    void SetStyle(TOfficePagerStyle style);
    bool AutoThemeAdapt() const { return autoThemeAdapt_; }
    void SetAutoThemeAdapt(bool v) { autoThemeAdapt_ = v; }
    void SetPageAppearance(const TVistaBackground& v) { PageAppearance().Assign(v); }
    void SetTabAppearance(const TTabAppearance& v) { TabAppearance().Assign(v); }
    void SetGlowButtonAppearance(const glow::TGlowButtonAppearance& v) { GlowButtonAppearance().Assign(&v); }

    // After the form has been built (outside design time).
    void Loaded() { ApplyThemeStyle(); }
    // With AutoThemeAdapt: the preset that matches the XP colour scheme.
    void ApplyThemeStyle();
    void ApplyStylePreset(int style) override;

    // The colour-scheme probe; tests replace it.
    std::function<int()> DetectColorScheme;

private:
    TOfficePagerStyle style_ = psOffice2003Blue;
    bool autoThemeAdapt_ = false;
};

// The colour with its red and blue bytes exchanged.
constexpr TColor SwapRedBlue(TColor c) {
    return (c & 0xFF00FF00u) | ((c & 0xFFu) << 16) | ((c >> 16) & 0xFFu);
}

// 0 unless Windows XP or later; else by the theme's colour name:
// "NormalColor" 1, "HomeStead" 2, "Metallic" 3, anything else 0.
int DetectXPColorScheme();
bool IsWindowsXPOrLater();
int ColorSchemeFromName(const std::wstring& colorName);

// The hidden window that tells the styler of WM_THEMECHANGED, owned by the
// styler and parented to its nearest windowed owner; none on the host.
fw::TComponent* CreateThemeNotifier(TKelOfficePagerOfficeStyler& styler);

}  // namespace kel::pager
