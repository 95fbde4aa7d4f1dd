// TControl: bounds, parent, visibility, colour, font, caption, hint, popup
// menu and the mouse events; the base of windowed and graphic controls.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "framework/core/colors.h"
#include "framework/core/component.h"
#include "framework/gui/graphics.h"

namespace fw {

class TWinControl;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;

using TNotifyEvent = std::function<void(TComponent* sender)>;
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;
using TMouseMoveEvent = std::function<void(TComponent* sender, TShiftState shift, int x, int y)>;
using TMouseWheelEvent =
    std::function<void(TComponent* sender, TShiftState shift, int wheelDelta, POINT mousePos, bool& handled)>;
using TKeyEvent = std::function<void(TComponent* sender, WORD& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, wchar_t& key)>;

TShiftState KeysToShiftState(WPARAM keys);
TShiftState KeyboardShiftState();

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // The control at the top of the parent chain (a form, for a control on one).
    TControl* TopLevelControl();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return RECT{left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect() const { return RECT{0, 0, width_, height_}; }
    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible and every parent showing.
    bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    TFont& Font() { return *font_; }
    bool ParentFont() const { return parent_font_; }
    void SetParentFont(bool v);

    const std::wstring& Caption() const { return caption_; }
    virtual void SetCaption(const std::wstring& caption);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint) { hint_ = hint; }
    bool ShowHint() const { return show_hint_; }
    void SetShowHint(bool v) { show_hint_ = v; }
    HCURSOR Cursor() const { return cursor_; }
    void SetCursor(HCURSOR cursor) { cursor_ = cursor; }
    TPopupMenu* PopupMenu() const { return popup_menu_; }
    void SetPopupMenu(TPopupMenu* menu);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    // The linked action (actions.h): its caption, enabled, hint and visible
    // reach the control, and a click runs it.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);
    TControlActionLink* ActionLink() const { return action_link_.get(); }

    virtual void Invalidate();
    void Repaint();
    virtual void Update();
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    // Offset of this control's client origin inside its nearest windowed ancestor.
    POINT ClientOriginInWindow() const;
    void BringToFront();

    bool MouseInControl() const { return mouse_in_control_; }
    // Asked just before the hint shows: the control may change its text and
    // its top-left corner on the screen.
    virtual void HintShow(std::wstring& /*hint*/, POINT& /*screenPos*/) {}

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnResize;

    // Dispatch entry points used by the parent and the window procedure.
    virtual void Click();
    virtual void DblClick();
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos);
    TMouseWheelEvent OnMouseWheel;

protected:
    friend class TWinControl;
    void Notification(TComponent* component, TOperation operation) override;
    virtual void Resize();
    virtual void FontChanged();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void VisibleChanged();
    virtual void BoundsChanged() {}
    // The linked action was set or changed: take its properties; with
    // checkDefaults only where the control still has its default.
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
    // The link class of this control's kind.
    virtual std::unique_ptr<TControlActionLink> CreateActionLink();

    TWinControl* parent_ = nullptr;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    std::unique_ptr<TFont> font_;
    bool parent_font_ = true;
    std::wstring caption_;
    std::wstring hint_;
    bool show_hint_ = false;
    HCURSOR cursor_ = nullptr;
    TPopupMenu* popup_menu_ = nullptr;
    int tag_ = 0;
    bool mouse_in_control_ = false;
    bool click_pending_ = false;
    std::unique_ptr<TControlActionLink> action_link_;
};

}  // namespace fw
