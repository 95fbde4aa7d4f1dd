// Controls: TControl (bounds, visibility, colour, font, mouse events),
// TGraphicControl (no window; painted by its parent), TWinControl (owns an
// HWND and its child controls) and TCustomControl (a windowed control with a
// canvas and a Paint hook).
//
// Every window procedure catches C++ exceptions and hands them to
// Application->HandleException: they cannot unwind through Windows' frames.
// A parent paints its background into any DC handed to it (WM_PAINT with a
// DC in wParam, WM_PRINTCLIENT), so transparent children can ask for what
// lies beneath them (PaintParentBackground).
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/colors.h"
#include "framework/core/component.h"
#include "framework/gui/graphics.h"

namespace fw {

class TWinControl;
class TPopupMenu;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

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

    virtual void Invalidate();
    void Repaint();
    virtual void Update();
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    // Offset of this control's client origin inside its nearest windowed ancestor.
    POINT ClientOriginInWindow() const;
    void BringToFront();

    bool MouseInControl() const { return mouse_in_control_; }

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
    void Notification(TComponent* component, TOperation operation) override;
    virtual void Resize();
    virtual void FontChanged();
    virtual void EnabledChanged() { Invalidate(); }
    virtual void VisibleChanged();
    virtual void BoundsChanged() {}
    // A graphic control draws itself here, on its parent's DC with the
    // origin moved to its top-left corner.
    friend class TWinControl;

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
};

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas& Canvas() { return *canvas_; }
    // Paints on `dc`, whose origin is this control's top-left corner.
    void PaintTo(HDC dc);

protected:
    virtual void Paint() {}
    std::unique_ptr<TCanvas> canvas_;
};

// What CreateParams fills in before the window is made.
struct TCreateParams {
    std::wstring caption;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = 0, y = 0, width = 0, height = 0;
    HWND parent = nullptr;
    // Our own window class, registered on first use...
    std::wstring winClassName;
    UINT classStyle = CS_DBLCLKS;
    // ...or a system class (such as L"EDIT") that we subclass.
    std::wstring systemClassName;
};

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    // Finds the control that owns a window made by this framework.
    static TWinControl* FromHandle(HWND hwnd);

    int ControlCount() const { return static_cast<int>(controls_.size()); }
    TControl* Control(int index) const { return controls_.at(static_cast<size_t>(index)); }
    // The topmost visible, enabled child control at a client point, or null.
    TControl* ControlAtPos(POINT p, bool allowDisabled = false) const;

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void SetCaption(const std::wstring& caption) override;
    void Invalidate() override;
    void Update() override;
    void SetFocus();
    bool Focused() const;
    bool TabStop() const { return tab_stop_; }
    void SetTabStop(bool v) { tab_stop_ = v; }
    bool DoubleBuffered() const { return double_buffered_; }
    void SetDoubleBuffered(bool v) { double_buffered_ = v; }
    // Lays out children with an Align other than alNone.
    void Realign();

    // Paints this control's background and graphic children (and, with
    // `withWindows`, its windowed children) into any DC.
    void PaintTo(HDC dc, bool withWindows = false);
    // Draws the parent's background under `child` into `dc` (whose origin is
    // the child's top-left corner), for controls that are transparent.
    static void PaintParentBackground(TControl* child, HDC dc);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    virtual void KeyDown(WORD& key, TShiftState shift);
    virtual void KeyUp(WORD& key, TShiftState shift);
    virtual void KeyPress(wchar_t& key);

protected:
    friend class TControl;
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void DestroyWnd();
    // Called after the HWND exists (children not yet made).
    virtual void CreateHandleDone() {}
    // Message handling; call the base for what you don't handle.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam);
    // Fills the background (no-op when Color is clNone or EraseBackground off).
    virtual void EraseBackground(HDC dc);
    // Paints the control's own content; graphic children follow.
    virtual void PaintWindow(HDC dc);
    void PaintControls(HDC dc);
    // Notifications reflected from a windowed child's WM_COMMAND / WM_NOTIFY.
    virtual bool CommandNotify(WORD /*code*/) { return false; }
    virtual bool NotifyReflect(NMHDR* /*hdr*/, LRESULT& /*result*/) { return false; }
    virtual void DoEnter();
    virtual void DoExit();
    void VisibleChanged() override;
    void FontChanged() override;
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    void AlignControls();
    void UpdateBoundsFromWindow();

    bool erase_background_ = true;
    bool double_buffered_ = false;
    bool tab_stop_ = false;
    HWND handle_ = nullptr;

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    void UpdateHover(TControl* target);
    std::vector<TControl*> controls_;
    WNDPROC system_proc_ = nullptr;
    TControl* mouse_capture_ = nullptr;
    TControl* hover_ = nullptr;
    bool tracking_leave_ = false;
    bool destroying_wnd_ = false;
};

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas& Canvas() { return *canvas_; }
    std::function<void(TComponent* sender)> OnPaint;

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint();
    std::unique_ptr<TCanvas> canvas_;
};

}  // namespace fw
