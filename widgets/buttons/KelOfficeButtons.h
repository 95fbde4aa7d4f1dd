// TKelOfficeCheckBox and TKelOfficeRadioButton: a check box or radio glyph
// (the visual-styles glyph when themes are active and asked for, else the
// "KELMOF" bitmaps) and a mini-HTML caption with links, over the parent's
// background.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/gui/actions.h"
#include "framework/gui/custom_control.h"
#include "framework/gui/image_list.h"
#include "widgets/buttons/KelOfficeButtonsLogic.h"
#include "widgets/drawing/HtmlRender.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/PictureCache.h"
#include "widgets/drawing/PictureContainer.h"

namespace kel {

using TAnchorEvent = std::function<void(fw::TComponent* sender, const std::wstring& anchor)>;

// What the controls ask the system, replaceable in tests: the file version
// of "COMCTL32.DLL" (dwFileVersionMS, -1 when unreadable) and the shell's
// opening of a link.
struct TOfficeButtonServices {
    std::function<int64_t()> ComCtlVersionMS;
    std::function<void(const std::wstring& href)> OpenLink;
};
TOfficeButtonServices& OfficeButtonServices();
// The defaults: the real version query and ShellExecuteW "open".
void ResetOfficeButtonServices();

// True when GetVersion says Windows XP or later.
bool IsWinXPOrLater();
// dwFileVersionMS of the file's fixed version information, -1 when there is
// none.
int64_t GetFixedFileVersionMS(const std::wstring& fileName);
// The dotted focus outline: a cosmetic pen of alternate pixels.
void DrawDottedFocusRect(fw::TCanvas& canvas, const RECT& rect, fw::TColor color);

// What the two controls share: properties, glyph, caption, links, mouse,
// keys and focus. Each control says what its glyph shows and what a click,
// a Space or an accelerator does.
class TKelOfficeButtonBase : public fw::TCustomControl, public IKelVersion {
public:
    ~TKelOfficeButtonBase() override;

    uint32_t GetVersionNr() const override { return 0x01030000; }
    std::wstring Version() const { return GetVersion(); }

    void SetCaption(const std::wstring& caption) override;
    bool Down() const { return down_; }
    void SetDown(bool v) { down_ = v; }
    TLeftRight Alignment() const { return alignment_; }
    void SetAlignment(TLeftRight v);
    TTextLayout ButtonVertAlign() const { return vert_align_; }
    void SetButtonVertAlign(TTextLayout v);
    bool Ellipsis() const { return ellipsis_; }
    void SetEllipsis(bool v);
    bool Themed() const { return themed_; }
    void SetThemed(bool v);
    bool ReturnIsTab() const { return return_is_tab_; }
    void SetReturnIsTab(bool v) { return_is_tab_ = v; }
    bool ShowFocus() const { return show_focus_; }
    void SetShowFocus(bool v) { show_focus_ = v; }
    fw::TColor URLColor() const { return url_color_; }
    virtual void SetURLColor(fw::TColor v);
    fw::TColor ShadowColor() const { return shadow_color_; }
    void SetShadowColor(fw::TColor v);
    int ShadowOffset() const { return shadow_offset_; }
    void SetShadowOffset(int v);
    fw::TColor DisabledFontColor() const { return disabled_font_color_; }
    void SetDisabledFontColor(fw::TColor v) { disabled_font_color_ = v; }
    fw::TImageList* Images() const { return images_; }
    void SetImages(fw::TImageList* v);
    TPictureContainer* PictureContainer() const { return picture_container_; }
    void SetPictureContainer(TPictureContainer* v);
    TBiDiMode BiDiMode() const { return bidi_mode_; }
    void SetBiDiMode(TBiDiMode v);

    TAnchorEvent OnAnchorClick;
    TAnchorEvent OnAnchorEnter;
    TAnchorEvent OnAnchorExit;

    // The href of the caption link under a client point, or empty: hit
    // where the caption is painted.
    std::wstring AnchorAt(int x, int y);
    // Draws the glyph on the canvas (which must hold a device context).
    void DrawGlyph();
    // Whether the glyph is drawn by the visual-styles engine now.
    bool UsesThemedGlyph();
    // The accelerator character of the caption, as a form hands it on;
    // true when the control took it.
    bool DialogChar(wchar_t ch);
    // What the form offers on Alt+character.
    bool DialogCharAction(wchar_t ch, fw::TShiftState /*shift*/) override { return DialogChar(ch); }
    // Saves the current cursor for the link hover logic (after loading).
    void Loaded();

    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseMove(fw::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(WORD& key, fw::TShiftState shift) override;
    void KeyUp(WORD& key, fw::TShiftState shift) override;

protected:
    TKelOfficeButtonBase(fw::TComponent* owner, bool radio);

    // What the glyph shows.
    virtual TCheckBoxState GlyphValue() const = 0;
    // The left button's release, after capture and Down are reset; calls
    // FrameworkMouseUp (OnMouseUp) in its place.
    virtual void Release(fw::TShiftState shift, int x, int y, bool inside) = 0;
    void FrameworkMouseUp(fw::TShiftState shift, int x, int y) {
        fw::TCustomControl::MouseUp(fw::TMouseButton::mbLeft, shift, x, y);
    }
    // Space released.
    virtual void SpaceClick() = 0;
    // The accelerator: true when taken.
    virtual bool AcceleratorClick() = 0;

    void Paint() override;
    void DoEnter() override;
    void DoExit() override;
    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    void BoundsChanged() override;
    void CreateHandleDone() override;
    bool WantsDialogKey(WORD key) override;
    bool GlyphAtRight() const { return alignment_ == taRightJustify || bidi_mode_ == bdRightToLeft; }
    void InvalidateGlyph();
    void RedrawGlyphNow();
    bool MouseDownSeen() const { return mouse_down_seen_; }
    bool IsFocusedMark() const { return focused_; }

    bool radio_;
    bool focused_ = false;

private:
    struct TCaptionLayout {
        TIntRect Rect;
        int TextWidth = 0;
        int TextHeight = 0;
        bool Plain = false;  // right-to-left plain text
    };
    THtmlParams CaptionParams(const TIntRect& rect) const;
    THtmlGdiSources Sources();
    TCaptionLayout LayoutCaption(fw::TCanvas& canvas);
    void PaintCaption(fw::TCanvas& canvas);
    bool DrawThemedGlyph(HDC dc);
    void DrawBitmapGlyph(HDC dc);
    void SetHandCursor(bool hand);

    bool down_ = false;
    TLeftRight alignment_ = taLeftJustify;
    TTextLayout vert_align_ = tlTop;
    bool ellipsis_ = false;
    bool themed_ = false;
    bool return_is_tab_ = false;
    bool show_focus_ = true;
    fw::TColor url_color_ = 0xFF0000;
    fw::TColor shadow_color_ = 0x808080;
    int shadow_offset_ = 1;
    fw::TColor disabled_font_color_ = 0x808080;
    fw::TImageList* images_ = nullptr;
    TPictureContainer* picture_container_ = nullptr;
    TBiDiMode bidi_mode_ = bdLeftToRight;
    bool hot_ = false;
    bool mouse_down_seen_ = false;
    HCURSOR saved_cursor_ = nullptr;
    std::wstring last_href_;
    THTMLPictureCache picture_cache_;
};

class TCustomKelOfficeCheckBox : public TKelOfficeButtonBase {
public:
    explicit TCustomKelOfficeCheckBox(fw::TComponent* owner);

    virtual bool GetChecked() const { return state_ == cbChecked; }
    // Never fires OnClick.
    virtual void SetChecked(bool value);
    bool Checked() const { return GetChecked(); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState value);
    bool ReadOnly() const { return read_only_; }
    void SetReadOnly(bool v) { read_only_ = v; }
    bool AllowGrayed() const { return allow_grayed_; }
    void SetAllowGrayed(bool v) { allow_grayed_ = v; }
    virtual void Toggle();

    // Only the check box's own clicks reach OnClick; the framework's
    // automatic click on release is left out.
    void Click() override;

protected:
    TCheckBoxState GlyphValue() const override { return state_; }
    void Release(fw::TShiftState shift, int x, int y, bool inside) override;
    void SpaceClick() override;
    bool AcceleratorClick() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // A linked action's caption, checked and enabled state.
    void ActionChange(fw::TBasicAction* sender, bool checkDefaults) override;
    std::unique_ptr<fw::TControlActionLink> CreateActionLink() override;
    // The framework's click (a linked action, else OnClick).
    void FrameworkClick() { fw::TCustomControl::Click(); }

private:
    TCheckBoxState state_ = cbUnchecked;
    bool read_only_ = false;
    bool allow_grayed_ = false;
    bool in_button_up_ = false;
};

// Links a check box to an action: the action's caption and checked state
// reach the check box's own setters.
class TKelOfficeCheckBoxActionLink : public fw::TControlActionLink {
public:
    explicit TKelOfficeCheckBoxActionLink(TCustomKelOfficeCheckBox* client)
        : fw::TControlActionLink(client), check_box_(client) {}
    void SetCaption(const std::wstring& v) override;
    void SetChecked(bool v) override;

private:
    TCustomKelOfficeCheckBox* check_box_;
};

class TKelOfficeCheckBox : public TCustomKelOfficeCheckBox {
public:
    explicit TKelOfficeCheckBox(fw::TComponent* owner) : TCustomKelOfficeCheckBox(owner) {}
};

class TCustomKelOfficeRadioButton : public TKelOfficeButtonBase {
public:
    explicit TCustomKelOfficeRadioButton(fw::TComponent* owner);

    // The framework's click does nothing; OnClick comes from DoClick.
    void Click() override {}
    virtual void DoClick();

protected:
    bool checked_ = false;
    bool in_focus_click_ = false;
    int clicks_fired_ = 0;
};

class TKelOfficeRadioButton : public TCustomKelOfficeRadioButton {
public:
    explicit TKelOfficeRadioButton(fw::TComponent* owner) : TCustomKelOfficeRadioButton(owner) {}

    bool Checked() const { return checked_; }
    // Checking unchecks the siblings of the same group and fires OnClick
    // (not for a check by a mouse press's focus change).
    void SetChecked(bool value);
    int GroupIndex() const { return group_index_; }
    void SetGroupIndex(int v) { group_index_ = static_cast<uint8_t>(v); }
    void UncheckSiblings();
    void SetURLColor(fw::TColor v) override;

protected:
    TCheckBoxState GlyphValue() const override { return checked_ ? cbChecked : cbUnchecked; }
    void Release(fw::TShiftState shift, int x, int y, bool inside) override;
    void SpaceClick() override;
    bool AcceleratorClick() override;
    void DoEnter() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    uint8_t group_index_ = 0;
};

}  // namespace kel
