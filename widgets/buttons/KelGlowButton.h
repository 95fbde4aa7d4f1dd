// TKelGlowButton: the owner-drawn push button of the forms: a colour set
// per visual state, a hover glow that fades in and out, images, notes, a
// drop-down part that opens a popup menu, check and grouped behaviour,
// auto-repeat and three size states. The state machine lives in
// TGlowButtonModel; this control feeds it input and draws its state.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/core/string_list.h"
#include "framework/gui/actions.h"
#include "framework/gui/custom_control.h"
#include "framework/gui/hint_window.h"
#include "widgets/buttons/KelGlowButtonAppearance.h"
#include "widgets/buttons/KelGlowButtonModel.h"
#include "widgets/buttons/KelGlowButtonPaint.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/KelHintInfo.h"
#include "widgets/drawing/StylePreset.h"

namespace fw {
class TBasicAction;
class TImageList;
class TPopupMenu;
class TTimer;
}  // namespace fw

namespace kel::glow {

class TKelCustomGlowButton;

using TGlowButtonDrawEvent =
    std::function<void(fw::TComponent* sender, fw::TCanvas& canvas, const RECT& rect, TGlowButtonState state)>;
using TInternalKeyEvent = std::function<void(fw::TComponent* sender, WORD& key, fw::TShiftState shift)>;
using TAdjustAutoSizeEvent = std::function<void(fw::TComponent* sender, int& width, int& height)>;

// The small key-tip window: a stepped gradient, the text centred on one
// line and a rounded grey outline.
class TShortCutHintWindow : public fw::THintWindow {
public:
    explicit TShortCutHintWindow(fw::TComponent* owner);
    // Color (the framework's) is the top of the gradient, ColorTo its bottom.
    fw::TColor ColorTo() const { return color_to_; }
    void SetColorTo(fw::TColor c);

protected:
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Paint() override;
    void Resize() override;

private:
    fw::TColor color_to_ = fw::clWhite;
};

// The button's action link: Checked, GroupIndex and ImageIndex of the
// action reach the button too.
class TKelGlowButtonActionLink : public fw::TControlActionLink {
public:
    explicit TKelGlowButtonActionLink(TKelCustomGlowButton* client);
    TKelCustomGlowButton* Button() const { return button_; }
    // Each also leaves its answer in the button's flag of the same name.
    bool IsCheckedLinked() const override;
    bool IsGroupIndexLinked() const override;
    bool IsImageIndexLinked() const override;
    void SetChecked(bool value) override;
    void SetGroupIndex(int value) override;
    void SetImageIndex(int value) override;

private:
    TKelCustomGlowButton* button_;
    int image_index_ = -1;
};

class TKelCustomGlowButton : public fw::TCustomControl, public IStylePreset, public IKelVersion {
public:
    explicit TKelCustomGlowButton(fw::TComponent* owner);
    ~TKelCustomGlowButton() override;

    // Copies the settings a glow button shares with another (not the
    // appearance, Down, groups, layout, style, drop-down and size states).
    virtual void Assign(const TKelCustomGlowButton& source);
    // Applies Down read while building the form and the auto size.
    virtual void Loaded();
    void BeginLoading() { loading_ = true; }

    TAntiAlias AntiAlias() const { return anti_alias_; }
    void SetAntiAlias(TAntiAlias v);
    bool AutoSize() const { return auto_size_; }
    void SetAutoSize(bool v);
    TGlowBorderStyle BorderStyle() const { return border_style_; }
    void SetBorderStyle(TGlowBorderStyle v);
    bool Cancel() const { return model_.Cancel; }
    void SetCancel(bool v) { model_.Cancel = v; }
    bool Default() const { return model_.Default; }
    void SetDefault(bool v) { model_.Default = v; }
    fw::TImageList* Images() const { return images_; }
    void SetImages(fw::TImageList* list);
    fw::TImageList* DisabledImages() const { return disabled_images_; }
    void SetDisabledImages(fw::TImageList* list);
    fw::TImageList* HotImages() const { return hot_images_; }
    void SetHotImages(fw::TImageList* list);
    int ImageIndex() const { return image_index_; }
    void SetImageIndex(int v);
    TImageListType ImageListType() const { return image_list_type_; }
    void SetImageListType(TImageListType v);
    TGDIPPicture& Picture() { return *picture_; }
    void SetPicture(const TGDIPPicture& p) { picture_->Assign(&p); }
    TGDIPPicture& DisabledPicture() { return *disabled_picture_; }
    void SetDisabledPicture(const TGDIPPicture& p);
    TGDIPPicture& HotPicture() { return *hot_picture_; }
    void SetHotPicture(const TGDIPPicture& p) { hot_picture_->Assign(&p); }
    TFocusType FocusType() const { return focus_type_; }
    void SetFocusType(TFocusType v) { focus_type_ = v; }
    int MarginHorz() const { return margin_horz_; }
    void SetMarginHorz(int v);
    int MarginVert() const { return margin_vert_; }
    void SetMarginVert(int v);
    fw::TModalResult ModalResult() const { return modal_result_; }
    void SetModalResult(fw::TModalResult v) { modal_result_ = v; }
    fw::TStringList& Notes() { return notes_; }
    void SetNotes(const fw::TStringList& notes);
    fw::TFont& NotesFont() { return *notes_font_; }
    void SetNotesFont(const fw::TFont& font);
    TKelHintInfo& OfficeHint() { return office_hint_; }
    void SetOfficeHint(const TKelHintInfo& hint) { office_hint_.Assign(&hint); }
    TButtonPosition Position() const { return position_; }
    void SetPosition(TButtonPosition v);
    int InitRepeatPause() const { return model_.InitRepeatPause; }
    void SetInitRepeatPause(int ms) { model_.InitRepeatPause = ms; }
    int RepeatPause() const { return model_.RepeatPause; }
    void SetRepeatPause(int ms) { model_.RepeatPause = ms; }
    bool RepeatClick() const { return model_.RepeatClick; }
    void SetRepeatClick(bool v) { model_.RepeatClick = v; }
    bool Rounded() const { return rounded_; }
    void SetRounded(bool v);
    const std::wstring& ShortCutHint() const { return short_cut_hint_; }
    void SetShortCutHint(const std::wstring& v) { short_cut_hint_ = v; }
    TShortCutHintPos ShortCutHintPos() const { return short_cut_hint_pos_; }
    void SetShortCutHintPos(TShortCutHintPos v) { short_cut_hint_pos_ = v; }
    bool ShowCaption() const { return show_caption_; }
    void SetShowCaption(bool v);
    bool ShowDisabled() const { return show_disabled_; }
    void SetShowDisabled(bool v);
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v) { transparent_ = v; }
    StringTrimming Trimming() const { return trimming_; }
    void SetTrimming(StringTrimming v);
    bool WordWrap() const { return word_wrap_; }
    void SetWordWrap(bool v);
    const std::wstring& WideCaption() const { return wide_caption_; }
    void SetWideCaption(const std::wstring& v);
    uint32_t GetVersionNr() const override { return 0x02000101; }

    // A key-tip window the button recolours with its appearance; owned.
    TShortCutHintWindow* ShortCutHintWindow() const { return hint_window_; }
    void SetShortCutHintWindow(TShortCutHintWindow* window);

    void ApplyStylePreset(int style) override;
    void ShowDropDownMenu() { model_.ShowDropDownMenu(); }
    void ClickOrDropDown() { model_.ClickOrDropDown(); }
    void UpdateAutoSize();
    void NotifyGroup() { model_.NotifyGroup(); }
    void CheckMouseOver() { model_.CheckMouseOver(); }
    void FireDropDown() { model_.FireDropDown(); }
    void SetSizeState(TButtonSizeState state);
    TButtonSizeState SizeState() const { return size_state_; }

    void Click() override;

    // Unpublished hooks for descendants and code that makes buttons.
    fw::TNotifyEvent OnInternalClick;
    fw::TNotifyEvent OnInternalDropDown;
    TInternalKeyEvent OnInternalKeyDown;
    TAdjustAutoSizeEvent OnAdjustAutoSize;
    TGlowButtonDrawEvent OnDrawButton;

    // The state the model keeps, for tests and descendants.
    const TGlowButtonModel& Model() const { return model_; }
    bool FadeTimerRunning() const { return fade_timer_ != nullptr; }
    fw::TTimer* RepeatTimer() const { return repeat_timer_; }

protected:
    // Settings only TKelGlowButton publishes.
    TGlowButtonAppearance& Appearance() { return appearance_; }
    void SetAppearance(const TGlowButtonAppearance& a);
    bool AllowAllUp() const { return model_.AllowAllUp; }
    void SetAllowAllUp(bool v);
    bool Down() const { return model_.Down(); }
    void SetDown(bool v) { model_.SetDown(v); }
    int GroupIndex() const { return model_.GroupIndex; }
    void SetGroupIndex(int v);
    TButtonLayout Layout() const { return layout_; }
    void SetLayout(TButtonLayout v);
    TKelButtonStyle Style() const { return model_.Style; }
    void SetStyle(TKelButtonStyle v) { model_.Style = v; }
    TButtonSizeState MaxButtonSizeState() const { return max_size_state_; }
    void SetMaxButtonSizeState(TButtonSizeState v);
    TButtonSizeState MinButtonSizeState() const { return min_size_state_; }
    void SetMinButtonSizeState(TButtonSizeState v);
    bool DropDownButton() const { return model_.DropDownButton; }
    void SetDropDownButton(bool v);
    TDropDownPosition DropDownPosition() const { return model_.DropDownPosition; }
    void SetDropDownPosition(TDropDownPosition v);
    TDropDownDirection DropDownDirection() const { return drop_down_direction_; }
    void SetDropDownDirection(TDropDownDirection v);
    bool DropDownSplit() const { return model_.DropDownSplit; }
    void SetDropDownSplit(bool v) { model_.DropDownSplit = v; }
    fw::TPopupMenu* DropDownMenu() const { return drop_down_menu_; }
    void SetDropDownMenu(fw::TPopupMenu* menu);
    fw::TNotifyEvent OnDropDown;

    // Virtual slots of descendants.
    virtual void RepeatTimerTick() { model_.RepeatTimerTick(); }
    virtual void PaintOverlay() {}
    virtual void GetGlyphBitmap(fw::TBitmap& /*bitmap*/) {}
    virtual bool ClickOpensDropDownSlot() const { return false; }
    virtual bool HasBorder() const { return border_style_ == bsSingle; }
    virtual bool DrawsFocusBorder() const {
        return model_.Focused && (focus_type_ == ftBorder || focus_type_ == ftHotBorder);
    }

    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void EraseBackground(HDC dc) override;
    void Paint() override;
    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseMove(fw::TShiftState shift, int x, int y) override;
    void MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void KeyDown(WORD& key, fw::TShiftState shift) override;
    void KeyUp(WORD& key, fw::TShiftState shift) override;
    void KeyPress(wchar_t& key) override;
    void DoEnter() override;
    void DoExit() override;
    bool DialogKeyAction(WORD key, fw::TWinControl* focused) override;
    bool DialogCharAction(wchar_t ch, fw::TShiftState shift) override;
    bool CommandNotify(WORD code) override;
    void EnabledChanged() override { Invalidate(); }
    void ActionChange(fw::TBasicAction* sender, bool checkDefaults) override;
    std::unique_ptr<fw::TControlActionLink> CreateActionLink() override;

public:
    // Everything DrawButton takes (see the drawing module).
    struct TDrawInputs {
        RECT Rect{};
        TGlowColorSet Colors;
        std::wstring Caption, WideCaption;
        fw::TFont* Font = nullptr;
        fw::TImageList* Images = nullptr;
        int ImageIndex = -1;
        bool ImagesEnabled = true;
        TButtonLayout Layout = blGlyphLeft;
        bool DropDownButton = false;
        bool Highlighted = false;
        bool Enabled = true;
        bool FocusBorder = false;
        TDropDownPosition DropDownPosition = dpRight;
        TGDIPPicture* Picture = nullptr;
        SIZE PictureSize{0, 0};
        TAntiAlias AntiAlias = aaClearType;
        fw::TBitmap* GlyphBitmap = nullptr;
        int DropDownState = 0;
        bool Transparent = false;
        bool Hot = false;
        TButtonPosition Position = bpStandalone;
        bool DropDownSplit = true;
        bool HasBorder = true;
        bool WordWrap = true;
        bool MeasureOnly = false;
        bool Rounded = true;
        bool ArrowDown = true;
        int Spacing = 2;
        StringTrimming Trimming = StringTrimmingNone;
        const fw::TStringList* Notes = nullptr;
        fw::TFont* NotesFont = nullptr;
        bool Down = false;
        bool DrawCaption = true;
    };
    // Paints the button face, border, focus frame, image, texts and
    // drop-down part; returns the content size.
    static SIZE DrawButton(fw::TCanvas& canvas, const TDrawInputs& in);

private:
    friend class TKelGlowButtonActionLink;
    // What the model asks of the control.
    struct Bridge final : IGlowButtonHost {
        explicit Bridge(TKelCustomGlowButton& button) : b(button) {}
        TKelCustomGlowButton& b;
        void Invalidate() override;
        void RepaintNow() override;
        void PaintDirect() override;
        bool IsEnabled() const override;
        int ClientWidth() const override;
        int ClientHeight() const override;
        int Width() const override;
        int Height() const override;
        bool Loading() const override;
        void StartFadeTimer() override;
        void FreeFadeTimer() override;
        bool FadeTimerExists() const override;
        void StartRepeatTimer(int intervalMs) override;
        void SetRepeatInterval(int intervalMs) override;
        void StopRepeatTimer() override;
        bool HasMouseCapture() const override;
        bool TabStop() const override;
        void SetFocus() override;
        bool CanFocus() const override;
        bool ClickOpensDropDown() const override;
        bool HasDropDownMenu() const override;
        void FireDropDownEvent() override;
        void FireInternalDropDown() override;
        void FireInternalKeyDown(uint16_t& key, unsigned shift) override;
        void PopupDropDownMenu() override;
        bool CursorInsideClient() const override;
        bool ControlUnderCursorIsSelf() const override;
        void SendMouseEnter() override;
        void SendMouseLeave() override;
        void FrameworkMouseUp(int x, int y, bool clickMarked) override;
        bool HasAction() const override;
        bool ActionIsAutoCheck() const override;
        void BroadcastButtonPressed(int groupIndex) override;
        void Click() override;
        void KeyClick() override;
    };

    void RepaintNow();
    void PaintDirect();
    void AppearanceChanged();
    void SetFormModalResult();
    void SizeAdjust();
    void WatchImageList(fw::TImageList*& slot, fw::TImageList* list);

    Bridge bridge_{*this};
    TGlowButtonModel model_{bridge_};
    TGlowButtonAppearance appearance_;
    std::unique_ptr<TGDIPPicture> picture_, disabled_picture_, hot_picture_;
    TKelHintInfo office_hint_;
    fw::TStringList notes_;
    std::unique_ptr<fw::TFont> notes_font_;
    fw::TImageList* images_ = nullptr;
    fw::TImageList* disabled_images_ = nullptr;
    fw::TImageList* hot_images_ = nullptr;
    fw::TPopupMenu* drop_down_menu_ = nullptr;
    fw::TTimer* fade_timer_ = nullptr;
    fw::TTimer* repeat_timer_ = nullptr;
    TShortCutHintWindow* hint_window_ = nullptr;

    TAntiAlias anti_alias_ = aaClearType;
    bool auto_size_ = false;
    TGlowBorderStyle border_style_ = bsSingle;
    int image_index_ = -1;
    TImageListType image_list_type_ = ipActionList;
    TFocusType focus_type_ = ftBorder;
    int margin_horz_ = 1, margin_vert_ = 1;
    fw::TModalResult modal_result_ = 0;
    TButtonPosition position_ = bpStandalone;
    bool rounded_ = true;
    std::wstring short_cut_hint_;
    TShortCutHintPos short_cut_hint_pos_ = shpTop;
    bool show_caption_ = true;
    bool show_disabled_ = true;
    int spacing_ = 2;
    bool transparent_ = false;
    StringTrimming trimming_ = StringTrimmingNone;
    bool word_wrap_ = true;
    std::wstring wide_caption_;
    TButtonLayout layout_ = blGlyphLeft;
    TButtonSizeState max_size_state_ = bsLarge, min_size_state_ = bsGlyph;
    TDropDownDirection drop_down_direction_ = ddDown;

    bool loading_ = false;
    bool measuring_ = false;
    bool size_state_changed_ = true;
    TButtonSizeState size_state_ = bsLarge;
    TButtonLayout saved_layout_ = blGlyphLeft;
    TDropDownPosition saved_drop_down_position_ = dpRight;
    bool painting_ = false;
    fw::TShiftState last_shift_ = 0;
};

class TKelGlowButton : public TKelCustomGlowButton {
public:
    explicit TKelGlowButton(fw::TComponent* owner) : TKelCustomGlowButton(owner) {}

    using TKelCustomGlowButton::AllowAllUp;
    using TKelCustomGlowButton::Appearance;
    using TKelCustomGlowButton::Down;
    using TKelCustomGlowButton::DropDownButton;
    using TKelCustomGlowButton::DropDownDirection;
    using TKelCustomGlowButton::DropDownMenu;
    using TKelCustomGlowButton::DropDownPosition;
    using TKelCustomGlowButton::DropDownSplit;
    using TKelCustomGlowButton::GroupIndex;
    using TKelCustomGlowButton::Layout;
    using TKelCustomGlowButton::MaxButtonSizeState;
    using TKelCustomGlowButton::MinButtonSizeState;
    using TKelCustomGlowButton::OnDropDown;
    using TKelCustomGlowButton::SetAllowAllUp;
    using TKelCustomGlowButton::SetAppearance;
    using TKelCustomGlowButton::SetDown;
    using TKelCustomGlowButton::SetDropDownButton;
    using TKelCustomGlowButton::SetDropDownDirection;
    using TKelCustomGlowButton::SetDropDownMenu;
    using TKelCustomGlowButton::SetDropDownPosition;
    using TKelCustomGlowButton::SetDropDownSplit;
    using TKelCustomGlowButton::SetGroupIndex;
    using TKelCustomGlowButton::SetLayout;
    using TKelCustomGlowButton::SetMaxButtonSizeState;
    using TKelCustomGlowButton::SetMinButtonSizeState;
    using TKelCustomGlowButton::SetStyle;
    using TKelCustomGlowButton::Style;
};

}  // namespace kel::glow
