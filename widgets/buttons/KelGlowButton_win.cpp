// TKelGlowButton: properties, input and the model's host.
#include "widgets/buttons/KelGlowButton.h"

#include <windowsx.h>

#include "framework/gui/application.h"
#include "framework/gui/image_list.h"
#include "framework/gui/menus.h"
#include "framework/gui/timer.h"

namespace kel::glow {

TKelCustomGlowButton::TKelCustomGlowButton(fw::TComponent* owner)
    : fw::TCustomControl(owner),
      picture_(std::make_unique<TGDIPPicture>()),
      disabled_picture_(std::make_unique<TGDIPPicture>()),
      hot_picture_(std::make_unique<TGDIPPicture>()),
      notes_font_(std::make_unique<fw::TFont>()) {
    width_ = 100;
    height_ = 41;
    double_buffered_ = true;
    erase_background_ = false;
    notes_font_->SetName(L"Tahoma");
    notes_font_->SetSize(8);
    notes_font_->OnChange = [this] { Invalidate(); };
    picture_->OnChange = [this] { UpdateAutoSize(); };
    disabled_picture_->OnChange = [this] { UpdateAutoSize(); };
    appearance_.OnChange = [this] { AppearanceChanged(); };
    saved_layout_ = layout_;
    saved_drop_down_position_ = model_.DropDownPosition;
}

TKelCustomGlowButton::~TKelCustomGlowButton() {
    // The timers call into this button; they go before anything else.
    delete fade_timer_;
    fade_timer_ = nullptr;
    delete repeat_timer_;
    repeat_timer_ = nullptr;
    delete hint_window_;
    hint_window_ = nullptr;
}

void TKelCustomGlowButton::CreateParams(fw::TCreateParams& p) {
    fw::TCustomControl::CreateParams(p);
    p.winClassName = L"TKelGlowButton";
    // A double click arrives as a second press.
    p.classStyle &= ~static_cast<UINT>(CS_DBLCLKS);
}

void TKelCustomGlowButton::CreateHandleDone() {
    fw::TCustomControl::CreateHandleDone();
    model_.WindowCreated();
}

void TKelCustomGlowButton::Loaded() {
    loading_ = false;
    model_.Loaded();
    if (auto_size_) UpdateAutoSize();
}

void TKelCustomGlowButton::Assign(const TKelCustomGlowButton& s) {
    SetAlign(s.Align());
    SetAction(s.Action());
    SetAntiAlias(s.anti_alias_);
    SetAutoSize(s.auto_size_);
    SetBorderStyle(s.border_style_);
    SetCancel(s.Cancel());
    SetCaption(s.Caption());
    SetDefault(s.Default());
    font_->Assign(*s.font_);
    SetImageIndex(s.image_index_);
    SetImages(s.images_);
    SetDisabledImages(s.disabled_images_);
    SetDisabledPicture(*s.disabled_picture_);
    SetFocusType(s.focus_type_);
    SetHotImages(s.hot_images_);
    SetHotPicture(*s.hot_picture_);
    SetMarginVert(s.margin_vert_);
    SetMarginHorz(s.margin_horz_);
    SetModalResult(s.modal_result_);
    SetNotes(s.notes_);
    SetNotesFont(*s.notes_font_);
    SetOfficeHint(s.office_hint_);
    SetParentFont(s.ParentFont());
    SetPicture(*s.picture_);
    SetPopupMenu(s.PopupMenu());
    SetPosition(s.position_);
    SetInitRepeatPause(s.InitRepeatPause());
    SetRepeatPause(s.RepeatPause());
    SetRepeatClick(s.RepeatClick());
    SetRounded(s.rounded_);
    SetShortCutHint(s.short_cut_hint_);
    SetShortCutHintPos(s.short_cut_hint_pos_);
    SetShowCaption(s.show_caption_);
    SetShowDisabled(s.show_disabled_);
    SetSpacing(s.spacing_);
    SetTransparent(s.transparent_);
    SetTrimming(s.trimming_);
    SetWordWrap(s.word_wrap_);
    SetShowHint(s.ShowHint());
    if (Parent() && Parent() == s.Parent()) SetTabOrder(s.TabOrder());
    SetTabStop(s.fw::TCustomControl::TabStop());
    SetVisible(s.Visible());
}

// Setters.

void TKelCustomGlowButton::SetAntiAlias(TAntiAlias v) {
    if (v == anti_alias_) return;
    anti_alias_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetAutoSize(bool v) {
    if (v == auto_size_) return;
    auto_size_ = v;
    UpdateAutoSize();
}

void TKelCustomGlowButton::SetBorderStyle(TGlowBorderStyle v) {
    border_style_ = v;
    Invalidate();
}

void TKelCustomGlowButton::WatchImageList(fw::TImageList*& slot, fw::TImageList* list) {
    if (slot) RemoveFreeNotification(slot);
    slot = list;
    if (list) FreeNotification(list);
}

void TKelCustomGlowButton::SetImages(fw::TImageList* list) {
    if (list == images_) return;
    WatchImageList(images_, list);
    UpdateAutoSize();
    Invalidate();
}

void TKelCustomGlowButton::SetDisabledImages(fw::TImageList* list) {
    if (list == disabled_images_) return;
    WatchImageList(disabled_images_, list);
    Invalidate();
}

void TKelCustomGlowButton::SetHotImages(fw::TImageList* list) {
    if (list == hot_images_) return;
    WatchImageList(hot_images_, list);
    Invalidate();
}

void TKelCustomGlowButton::SetImageIndex(int v) {
    image_index_ = v;
    UpdateAutoSize();
}

void TKelCustomGlowButton::SetImageListType(TImageListType v) {
    if (v == image_list_type_) return;
    image_list_type_ = v;
    UpdateAutoSize();
    Invalidate();
}

void TKelCustomGlowButton::SetDisabledPicture(const TGDIPPicture& p) {
    disabled_picture_->Assign(&p);
    Invalidate();
}

void TKelCustomGlowButton::SetMarginHorz(int v) {
    if (v == margin_horz_) return;
    margin_horz_ = v;
    UpdateAutoSize();
}

void TKelCustomGlowButton::SetMarginVert(int v) {
    if (v == margin_vert_) return;
    margin_vert_ = v;
    UpdateAutoSize();
}

void TKelCustomGlowButton::SetNotes(const fw::TStringList& notes) {
    notes_ = notes;
    Invalidate();
}

void TKelCustomGlowButton::SetNotesFont(const fw::TFont& font) {
    notes_font_->Assign(font);
    Invalidate();
}

void TKelCustomGlowButton::SetPosition(TButtonPosition v) {
    position_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetRounded(bool v) {
    if (v == rounded_) return;
    rounded_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetShowCaption(bool v) {
    show_caption_ = v;
    UpdateAutoSize();
    Invalidate();
}

void TKelCustomGlowButton::SetShowDisabled(bool v) {
    show_disabled_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetTrimming(StringTrimming v) {
    if (v == trimming_) return;
    trimming_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetWordWrap(bool v) {
    if (v == word_wrap_) return;
    word_wrap_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetWideCaption(const std::wstring& v) {
    wide_caption_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetShortCutHintWindow(TShortCutHintWindow* window) {
    if (window == hint_window_) return;
    delete hint_window_;
    hint_window_ = window;
    AppearanceChanged();
}

void TKelCustomGlowButton::SetAppearance(const TGlowButtonAppearance& a) {
    appearance_.Assign(&a);
    AppearanceChanged();
}

void TKelCustomGlowButton::SetAllowAllUp(bool v) {
    if (v == model_.AllowAllUp) return;
    model_.AllowAllUp = v;
    model_.NotifyGroup();
}

void TKelCustomGlowButton::SetGroupIndex(int v) {
    if (v == model_.GroupIndex) return;
    model_.GroupIndex = v;
    model_.NotifyGroup();
}

void TKelCustomGlowButton::SetLayout(TButtonLayout v) {
    layout_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetMaxButtonSizeState(TButtonSizeState v) {
    if (v == max_size_state_) return;
    max_size_state_ = v;
    SetSizeState(v);
}

void TKelCustomGlowButton::SetMinButtonSizeState(TButtonSizeState v) {
    if (v == min_size_state_) return;
    min_size_state_ = v;
    if (size_state_ < v) SetSizeState(v);
}

void TKelCustomGlowButton::SizeAdjust() {
    if (auto_size_) UpdateAutoSize();
}

void TKelCustomGlowButton::SetDropDownButton(bool v) {
    if (v == model_.DropDownButton) return;
    model_.DropDownButton = v;
    SizeAdjust();
    Invalidate();
}

void TKelCustomGlowButton::SetDropDownPosition(TDropDownPosition v) {
    if (v == model_.DropDownPosition) return;
    model_.DropDownPosition = v;
    if (model_.DropDownButton) SizeAdjust();
    Invalidate();
}

void TKelCustomGlowButton::SetDropDownDirection(TDropDownDirection v) {
    if (v == drop_down_direction_) return;
    drop_down_direction_ = v;
    Invalidate();
}

void TKelCustomGlowButton::SetDropDownMenu(fw::TPopupMenu* menu) {
    if (menu == drop_down_menu_) return;
    if (drop_down_menu_) RemoveFreeNotification(drop_down_menu_);
    drop_down_menu_ = menu;
    // Asked for whatever the menu's owner, so a freed menu never dangles.
    if (menu) FreeNotification(menu);
}

void TKelCustomGlowButton::Notification(fw::TComponent* component, fw::TOperation operation) {
    fw::TCustomControl::Notification(component, operation);
    if (operation != fw::TOperation::opRemove) return;
    if (component == images_) images_ = nullptr;
    if (component == disabled_images_) disabled_images_ = nullptr;
    if (component == hot_images_) hot_images_ = nullptr;
    if (component == drop_down_menu_) drop_down_menu_ = nullptr;
    if (component == hint_window_) hint_window_ = nullptr;
}

void TKelCustomGlowButton::AppearanceChanged() {
    Invalidate();
    if (hint_window_) {
        hint_window_->SetColor(fw::clWhite);
        hint_window_->SetColorTo(appearance_.Color());
    }
}

void TKelCustomGlowButton::ApplyStylePreset(int style) {
    ApplyGlowButtonPreset(appearance_, style);
    AppearanceChanged();
}

// The action link.

std::unique_ptr<fw::TControlActionLink> TKelCustomGlowButton::CreateActionLink() {
    return std::make_unique<TKelGlowButtonActionLink>(this);
}

void TKelCustomGlowButton::ActionChange(fw::TBasicAction* sender, bool checkDefaults) {
    fw::TCustomControl::ActionChange(sender, checkDefaults);
    if (auto* action = dynamic_cast<fw::TCustomAction*>(sender)) {
        if (checkDefaults || model_.GroupIndex == 0) SetGroupIndex(action->GroupIndex());
        SetImageIndex(action->ImageIndex());
        model_.FollowActionChecked(action->Checked());
    }
    if (auto_size_ && parent_ && HandleAllocated()) {
        measuring_ = true;
        PaintDirect();
        measuring_ = false;
    }
}

TKelGlowButtonActionLink::TKelGlowButtonActionLink(TKelCustomGlowButton* client)
    : fw::TControlActionLink(client), button_(client) {}

bool TKelGlowButtonActionLink::IsCheckedLinked() const {
    const fw::TCustomAction* action = CustomAction();
    const bool linked = fw::TControlActionLink::IsCheckedLinked() && action->Checked() == button_->model_.Down();
    button_->model_.CheckedLinked = linked;
    return linked;
}

bool TKelGlowButtonActionLink::IsGroupIndexLinked() const {
    const fw::TCustomAction* action = CustomAction();
    const bool linked = button_ && action && action->GroupIndex() == button_->model_.GroupIndex;
    button_->model_.GroupIndexLinked = linked;
    return linked;
}

bool TKelGlowButtonActionLink::IsImageIndexLinked() const {
    return fw::TControlActionLink::IsImageIndexLinked() && CustomAction()->ImageIndex() == image_index_;
}

void TKelGlowButtonActionLink::SetChecked(bool value) {
    // A grouped button without AllowAllUp would ignore an unchecked action
    // and stay down beside the newly checked one.
    if (IsCheckedLinked()) button_->model_.FollowActionChecked(value);
}

void TKelGlowButtonActionLink::SetGroupIndex(int value) {
    if (IsGroupIndexLinked()) button_->SetGroupIndex(value);
}

void TKelGlowButtonActionLink::SetImageIndex(int value) {
    // Gated by the group-index test, as the button always had it.
    if (!IsGroupIndexLinked()) return;
    image_index_ = value;
    button_->Invalidate();
    button_->SetImageIndex(value);
}

// Painting on demand.

void TKelCustomGlowButton::RepaintNow() { Repaint(); }

void TKelCustomGlowButton::PaintDirect() {
    if (!parent_ || loading_ || !HandleAllocated()) return;
    HDC dc = GetDC(handle_);
    if (!dc) return;
    struct Release {
        HWND h;
        HDC dc;
        ~Release() { ReleaseDC(h, dc); }
    } release{handle_, dc};
    fw::MemoryDC buffer(dc, std::max(width_, 1), std::max(height_, 1));
    {
        fw::CanvasPaintScope scope(*canvas_, buffer.DC(), *font_);
        Paint();
    }
    buffer.CopyTo(dc);
}

void TKelCustomGlowButton::UpdateAutoSize() {
    if (!auto_size_) {
        Invalidate();
        return;
    }
    struct Measuring {
        bool& flag;
        explicit Measuring(bool& f) : flag(f) { flag = true; }
        ~Measuring() { flag = false; }
    } measuring(measuring_);
    RepaintNow();
    PaintDirect();
}

void TKelCustomGlowButton::SetSizeState(TButtonSizeState state) {
    if (state == size_state_) return;
    if (size_state_ == bsLarge) {
        saved_layout_ = layout_;
        saved_drop_down_position_ = model_.DropDownPosition;
    }
    size_state_ = state;
    if (auto_size_) {
        if (state == bsLarge) {
            layout_ = saved_layout_;
            model_.DropDownPosition = saved_drop_down_position_;
        } else {
            layout_ = blGlyphLeft;
            model_.DropDownPosition = dpRight;
        }
    }
    size_state_changed_ = true;
    PaintDirect();
    Invalidate();
}

// Input.

LRESULT TKelCustomGlowButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_GETDLGCODE:
            if (OnInternalKeyDown) return DLGC_WANTARROWS;
            break;
        case WM_LBUTTONDOWN:
            model_.LButtonDownSeen = true;
            break;
        case WM_LBUTTONUP:
            last_shift_ = fw::KeysToShiftState(wParam);
            model_.LeftRelease(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return 0;
        case WM_SETTEXT: {
            const LRESULT r = fw::TCustomControl::WndProc(msg, wParam, lParam);
            if (auto_size_) UpdateAutoSize();
            return r;
        }
        default:
            break;
    }
    return fw::TCustomControl::WndProc(msg, wParam, lParam);
}

void TKelCustomGlowButton::EraseBackground(HDC /*dc*/) {
    // Paint draws the parent beneath a transparent button itself.
}

void TKelCustomGlowButton::MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseDown(button, shift, x, y);
    if (button == fw::TMouseButton::mbLeft) model_.LeftPress(x, y);
}

void TKelCustomGlowButton::MouseMove(fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseMove(shift, x, y);
    model_.MouseMove(x, y);
}

void TKelCustomGlowButton::MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) {
    fw::TCustomControl::MouseUp(button, shift, x, y);
    if (repeat_timer_) repeat_timer_->SetEnabled(false);
}

void TKelCustomGlowButton::MouseEnter() {
    fw::TCustomControl::MouseEnter();
    model_.MouseEnter();
}

void TKelCustomGlowButton::MouseLeave() {
    fw::TCustomControl::MouseLeave();
    model_.MouseLeave();
}

void TKelCustomGlowButton::KeyDown(WORD& key, fw::TShiftState shift) {
    fw::TCustomControl::KeyDown(key, shift);
    model_.KeyDown(key, shift);
}

void TKelCustomGlowButton::KeyUp(WORD& key, fw::TShiftState shift) {
    fw::TCustomControl::KeyUp(key, shift);
    model_.KeyUp();
}

void TKelCustomGlowButton::KeyPress(wchar_t& key) {
    fw::TCustomControl::KeyPress(key);
    model_.KeyPress(key);
}

void TKelCustomGlowButton::DoEnter() {
    fw::TCustomControl::DoEnter();
    model_.Enter();
}

void TKelCustomGlowButton::DoExit() {
    fw::TCustomControl::DoExit();
    model_.Exit();
}

bool TKelCustomGlowButton::DialogKeyAction(WORD key, fw::TWinControl* focused) {
    model_.FocusChanged(dynamic_cast<TKelCustomGlowButton*>(focused) != nullptr, focused == this);
    return model_.DialogKey(key, fw::KeyboardShiftState());
}

bool TKelCustomGlowButton::DialogCharAction(wchar_t ch, fw::TShiftState shift) {
    return model_.DialogChar(ch, shift, caption_.empty() ? wide_caption_ : caption_);
}

bool TKelCustomGlowButton::CommandNotify(WORD code) {
    if (code != BN_CLICKED) return false;
    Click();
    return true;
}

void TKelCustomGlowButton::SetFormModalResult() {
    if (TopLevelControl() == this) return;
    if (fw::TTopLevelHooks* hooks = TopHooks(); hooks && hooks->ModalResult) hooks->ModalResult(modal_result_);
}

void TKelCustomGlowButton::Click() {
    SetFormModalResult();
    FireEvent(OnInternalClick, this);
    fw::TCustomControl::Click();
}

// The model's host.

void TKelCustomGlowButton::Bridge::Invalidate() { b.Invalidate(); }
void TKelCustomGlowButton::Bridge::RepaintNow() { b.RepaintNow(); }
void TKelCustomGlowButton::Bridge::PaintDirect() { b.PaintDirect(); }
bool TKelCustomGlowButton::Bridge::IsEnabled() const { return b.Enabled(); }
int TKelCustomGlowButton::Bridge::ClientWidth() const { return b.ClientRect().right; }
int TKelCustomGlowButton::Bridge::ClientHeight() const { return b.ClientRect().bottom; }
int TKelCustomGlowButton::Bridge::Width() const { return b.width_; }
int TKelCustomGlowButton::Bridge::Height() const { return b.height_; }
bool TKelCustomGlowButton::Bridge::Loading() const { return b.loading_; }

void TKelCustomGlowButton::Bridge::StartFadeTimer() {
    if (b.fade_timer_) return;
    auto* timer = new fw::TTimer(&b);
    timer->SetEnabled(false);
    timer->SetInterval(kFadeInterval);
    timer->OnTimer = [button = &b](fw::TComponent*) { button->model_.FadeTimerTick(); };
    b.fade_timer_ = timer;
    timer->SetEnabled(true);
}

void TKelCustomGlowButton::Bridge::FreeFadeTimer() {
    fw::TTimer* timer = b.fade_timer_;
    if (!timer) return;
    b.fade_timer_ = nullptr;
    timer->SetEnabled(false);
    timer->Free();
}

bool TKelCustomGlowButton::Bridge::FadeTimerExists() const { return b.fade_timer_ != nullptr; }

void TKelCustomGlowButton::Bridge::StartRepeatTimer(int ms) {
    if (!b.repeat_timer_) {
        b.repeat_timer_ = new fw::TTimer(&b);
        b.repeat_timer_->SetEnabled(false);
        b.repeat_timer_->OnTimer = [button = &b](fw::TComponent*) { button->RepeatTimerTick(); };
    }
    // Armed again on every press, not only the first.
    b.repeat_timer_->SetEnabled(false);
    b.repeat_timer_->SetInterval(static_cast<UINT>(std::max(ms, 1)));
    b.repeat_timer_->SetEnabled(true);
}

void TKelCustomGlowButton::Bridge::SetRepeatInterval(int ms) {
    if (b.repeat_timer_) b.repeat_timer_->SetInterval(static_cast<UINT>(std::max(ms, 1)));
}

void TKelCustomGlowButton::Bridge::StopRepeatTimer() {
    if (b.repeat_timer_) b.repeat_timer_->SetEnabled(false);
}

bool TKelCustomGlowButton::Bridge::HasMouseCapture() const {
    return b.handle_ && GetCapture() == b.handle_;
}

bool TKelCustomGlowButton::Bridge::TabStop() const { return b.fw::TCustomControl::TabStop(); }
void TKelCustomGlowButton::Bridge::SetFocus() { b.fw::TCustomControl::SetFocus(); }
bool TKelCustomGlowButton::Bridge::CanFocus() const { return b.fw::TCustomControl::CanFocus(); }
bool TKelCustomGlowButton::Bridge::ClickOpensDropDown() const { return b.ClickOpensDropDownSlot(); }
bool TKelCustomGlowButton::Bridge::HasDropDownMenu() const { return b.drop_down_menu_ != nullptr; }
void TKelCustomGlowButton::Bridge::FireDropDownEvent() { b.FireEvent(b.OnDropDown, &b); }
void TKelCustomGlowButton::Bridge::FireInternalDropDown() { b.FireEvent(b.OnInternalDropDown, &b); }

void TKelCustomGlowButton::Bridge::FireInternalKeyDown(uint16_t& key, unsigned shift) {
    b.FireEvent(b.OnInternalKeyDown, &b, key, shift);
}

void TKelCustomGlowButton::Bridge::PopupDropDownMenu() {
    if (!b.drop_down_menu_) return;
    POINT p = b.drop_down_direction_ == ddDown ? POINT{b.left_, b.top_ + b.height_} : POINT{b.left_ + b.width_, b.top_};
    if (b.parent_) p = b.parent_->ClientToScreen(p);
    b.drop_down_menu_->SetPopupComponent(&b);
    b.drop_down_menu_->Popup(p.x, p.y);
}

bool TKelCustomGlowButton::Bridge::CursorInsideClient() const {
    POINT p;
    if (!GetCursorPos(&p)) return false;
    p = b.ScreenToClient(p);
    const RECT r = b.ClientRect();
    return PtInRect(&r, p) != FALSE;
}

bool TKelCustomGlowButton::Bridge::ControlUnderCursorIsSelf() const {
    POINT p;
    return b.handle_ && GetCursorPos(&p) && WindowFromPoint(p) == b.handle_;
}

void TKelCustomGlowButton::Bridge::SendMouseEnter() { b.MouseEnter(); }
void TKelCustomGlowButton::Bridge::SendMouseLeave() { b.MouseLeave(); }

void TKelCustomGlowButton::Bridge::FrameworkMouseUp(int x, int y, bool clickMarked) {
    b.click_pending_ = false;
    if (b.handle_ && GetCapture() == b.handle_) ReleaseCapture();
    if (clickMarked && x >= 0 && y >= 0 && x < b.width_ && y < b.height_) b.Click();
    b.MouseUp(fw::TMouseButton::mbLeft, b.last_shift_, x, y);
}

bool TKelCustomGlowButton::Bridge::HasAction() const {
    if (!b.Action()) return false;
    // Fresh answers for the release that asks.
    if (b.ActionLink()) {
        b.ActionLink()->IsCheckedLinked();
        b.ActionLink()->IsGroupIndexLinked();
    }
    return true;
}

bool TKelCustomGlowButton::Bridge::ActionIsAutoCheck() const {
    auto* action = dynamic_cast<fw::TAction*>(b.Action());
    return action && action->AutoCheck();
}

void TKelCustomGlowButton::Bridge::BroadcastButtonPressed(int groupIndex) {
    fw::TWinControl* parent = b.parent_;
    if (!parent) return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        if (auto* sibling = dynamic_cast<TKelCustomGlowButton*>(parent->Control(i)))
            sibling->model_.ButtonPressed(groupIndex, &b.model_);
    }
}

void TKelCustomGlowButton::Bridge::Click() { b.Click(); }

void TKelCustomGlowButton::Bridge::KeyClick() {
    b.SetFormModalResult();
    b.FireEvent(b.OnClick, &b);
}

}  // namespace kel::glow
