// TControl and the shift-state helpers.
#include "framework/gui/control.h"

#include <algorithm>

#include "framework/gui/actions.h"
#include "framework/gui/application.h"
#include "framework/gui/menus.h"
#include "framework/gui/win_control.h"

namespace fw {

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

TShiftState KeyboardShiftState() {
    TShiftState s = 0;
    if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}


TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this] {
        parent_font_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    action_link_.reset();
    if (parent_) parent_->RemoveControl(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == popup_menu_) popup_menu_ = nullptr;
    // The action let go of the link as it went.
    if (action_link_ && !action_link_->Action()) action_link_.reset();
}

TBasicAction* TControl::Action() const { return action_link_ ? action_link_->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
    if (action == Action()) return;
    if (TBasicAction* old = Action()) RemoveFreeNotification(old);
    if (!action) {
        action_link_.reset();
        return;
    }
    if (!action_link_) {
        action_link_ = CreateActionLink();
        action_link_->OnChange = [this](TBasicAction* sender) { ActionChange(sender, false); };
    }
    action_link_->SetAction(action);
    FreeNotification(action);
    ActionChange(action, false);
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
    return std::make_unique<TControlActionLink>(this);
}

void TControl::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* action = dynamic_cast<TCustomAction*>(sender);
    if (!action) return;
    if (!checkDefaults || caption_.empty() || caption_ == Name()) SetCaption(action->Caption());
    if (!checkDefaults || enabled_) SetEnabled(action->Enabled());
    if (!checkDefaults || hint_.empty()) SetHint(action->Hint());
    if (!checkDefaults || visible_) SetVisible(action->Visible());
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    popup_menu_ = menu;
    if (menu) FreeNotification(menu);
}

TControl* TControl::TopLevelControl() {
    TControl* c = this;
    while (c->parent_) c = c->parent_;
    return c;
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent_) parent_->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    if (parent_ && visible_) parent_->Invalidate();
    bool resized = width != width_ || height != height_;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged();
    if (parent_ && visible_) Invalidate();
    if (parent_ && align_ != TAlign::alNone) parent_->Realign();
    if (resized) Resize();
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    if (parent_) parent_->Realign();
}

void TControl::Resize() {
    FireEvent(OnResize, this);
}

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    VisibleChanged();
}

void TControl::VisibleChanged() {
    if (parent_) {
        parent_->Invalidate();
        if (align_ != TAlign::alNone) parent_->Realign();
    }
}

bool TControl::Showing() const {
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_) return false;
    }
    return true;
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    EnabledChanged();
}

void TControl::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TControl::SetParentFont(bool v) {
    parent_font_ = v;
    if (v && parent_) {
        auto handler = std::move(font_->OnChange);
        font_->OnChange = nullptr;
        font_->Assign(parent_->Font());
        font_->OnChange = std::move(handler);
        FontChanged();
    }
}

void TControl::FontChanged() { Invalidate(); }

void TControl::SetCaption(const std::wstring& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Invalidate();
}

void TControl::Invalidate() {
    if (!parent_ || !visible_ || !parent_->HandleAllocated()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->handle_, &r, TRUE);
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Update() {
    if (parent_) parent_->Update();
}

POINT TControl::ClientOriginInWindow() const {
    POINT p{0, 0};
    const TControl* c = this;
    while (c && !dynamic_cast<const TWinControl*>(c)) {
        p.x += c->left_;
        p.y += c->top_;
        c = c->parent_;
    }
    return p;
}

POINT TControl::ClientToScreen(POINT p) const {
    if (auto* w = dynamic_cast<const TWinControl*>(this)) {
        if (w->handle_) ::ClientToScreen(w->handle_, &p);
        return p;
    }
    if (!parent_) return p;
    return parent_->ClientToScreen(POINT{p.x + left_, p.y + top_});
}

POINT TControl::ScreenToClient(POINT p) const {
    if (auto* w = dynamic_cast<const TWinControl*>(this)) {
        if (w->handle_) ::ScreenToClient(w->handle_, &p);
        return p;
    }
    if (!parent_) return p;
    POINT q = parent_->ScreenToClient(p);
    return POINT{q.x - left_, q.y - top_};
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (auto* w = dynamic_cast<TWinControl*>(this); w && w->handle_) {
        SetWindowPos(w->handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    Invalidate();
}

void TControl::Click() {
    // A linked action that handles execution runs instead of OnClick.
    if (action_link_ && action_link_->IsOnExecuteLinked()) {
        EventScope scope(this);
        action_link_->Execute(this);
        return;
    }
    FireEvent(OnClick, this);
}

void TControl::DblClick() {
    FireEvent(OnDblClick, this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (Application) Application->CancelHint();
    FireEvent(OnMouseDown, this, button, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    FireEvent(OnMouseUp, this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
    FireEvent(OnMouseMove, this, shift, x, y);
}

void TControl::MouseEnter() {
    mouse_in_control_ = true;
    if (Application) Application->HintMouseEnter(this);
    FireEvent(OnMouseEnter, this);
}

void TControl::MouseLeave() {
    mouse_in_control_ = false;
    if (Application) Application->HintMouseLeave(this);
    FireEvent(OnMouseLeave, this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
    bool handled = false;
    FireEvent(OnMouseWheel, this, shift, wheelDelta, mousePos, handled);
    return handled;
}

}  // namespace fw
