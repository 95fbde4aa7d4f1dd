// TWinControl: a control with its own window (HWND) and child controls.
//
// Every window procedure catches C++ exceptions and hands them to the
// application's handler: they cannot unwind through Windows' frames.
// One paint routine draws the background, the control's own content (the
// PaintWindow hook) and its graphic children, for WM_PAINT (double-buffered
// on request), for a DC handed over in WM_PAINT's wParam or WM_PRINTCLIENT,
// and for PaintTo; so transparent children can ask for what lies beneath
// them (PaintParentBackground).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/gui/control.h"

namespace fw {

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

// What a top-level control (a form) offers the controls on it. It sets these
// on itself; a control finds them at the top of its parent chain, so the
// controls need not know the form class.
struct TTopLevelHooks {
    // Sees every key (WM_KEYDOWN/UP) and character of a control on it first;
    // zeroing the key or character swallows it.
    std::function<void(WORD& key, TShiftState shift, bool down)> PreviewKey;
    std::function<void(wchar_t& ch)> PreviewChar;
    // Tab, Enter and Esc that the focused control does not take itself; true
    // when the top-level control used the key.
    std::function<bool(TWinControl* from, WORD key, TShiftState shift)> DialogKey;
    // A character typed with Alt that no menu took (an accelerator); true
    // when a control used it.
    std::function<bool(wchar_t ch, TShiftState shift)> DialogChar;
    // A button's modal result.
    std::function<void(TModalResult result)> ModalResult;
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
    bool CanFocus() const;
    bool TabStop() const { return tab_stop_; }
    void SetTabStop(bool v);
    // Position among the parent's windowed children in the Tab order.
    int TabOrder() const;
    void SetTabOrder(int order);
    // The windowed children in Tab order.
    std::vector<TWinControl*> TabList() const;
    // The control after (or before) `current` among the visible, enabled
    // controls with TabStop inside this one, children of containers in
    // their place; wraps around. The first (last) when `current` is none of
    // them; null when there is none.
    TWinControl* FindNextControl(TWinControl* current, bool forward) const;
    // Offers Enter, Esc or Ctrl+Tab to every visible, enabled windowed
    // control inside this one (DialogKeyAction) until one takes it.
    bool BroadcastDialogKey(WORD key, TWinControl* focused);
    // Offers an Alt+character to every visible, enabled control inside this
    // one (DialogCharAction) until one takes it.
    bool BroadcastDialogChar(wchar_t ch, TShiftState shift);
    bool DoubleBuffered() const { return double_buffered_; }
    void SetDoubleBuffered(bool v) { double_buffered_ = v; }
    // A control with ParentBackground shows what lies beneath it (its
    // parent's background and content) instead of filling its Color.
    bool ParentBackground() const { return parent_background_; }
    void SetParentBackground(bool v);
    // Lays out children with an Align other than alNone, within AlignRect.
    void Realign();
    // The area aligned children share; the client rectangle unless a
    // control keeps a border free.
    virtual RECT AlignRect() const { return ClientRect(); }

    // Paints this control's background, content and graphic children (and,
    // with `withWindows`, its windowed children) into any DC.
    void PaintTo(HDC dc, bool withWindows = false);
    // Draws what lies beneath `child` into `dc`, whose origin is the child's
    // top-left corner: the parent's background, its content and the graphic
    // controls below the child. A transparent parent draws what lies beneath
    // itself first, up to the first parent that is not transparent.
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
    // Fills the background with Color (nothing for clNone); with
    // ParentBackground, draws what lies beneath instead.
    virtual void EraseBackground(HDC dc);
    // The one paint hook: the control's own content, between the
    // background and the graphic children.
    virtual void PaintWindow(HDC dc);
    // Notifications reflected from a windowed child's WM_COMMAND, WM_NOTIFY,
    // WM_HSCROLL / WM_VSCROLL and WM_CTLCOLOR* (return a brush, or null for
    // the default colours).
    virtual bool CommandNotify(WORD /*code*/) { return false; }
    virtual bool NotifyReflect(NMHDR* /*hdr*/, LRESULT& /*result*/) { return false; }
    virtual bool ScrollReflect(UINT /*msg*/, WORD /*code*/, int /*position*/) { return false; }
    virtual HBRUSH ColorReflect(UINT /*msg*/, HDC /*dc*/) { return nullptr; }
    // Whether the control takes this Tab, Enter or Esc itself (an edit that
    // wants Enter, say); by default a system control answers WM_GETDLGCODE.
    virtual bool WantsDialogKey(WORD key);
    // A control that acts on Enter or Esc wherever the focus is (a default
    // or cancel button) does it here and returns true.
    virtual bool DialogKeyAction(WORD /*key*/, TWinControl* /*focused*/) { return false; }
    // A control whose caption has this accelerator acts on it and returns true.
    virtual bool DialogCharAction(wchar_t /*ch*/, TShiftState /*shift*/) { return false; }
    virtual void DoEnter();
    virtual void DoExit();
    void VisibleChanged() override;
    void FontChanged() override;
    void InsertControl(TControl* c);
    void RemoveControl(TControl* c);
    void AlignControls();
    void UpdateBoundsFromWindow();

    // The hooks of the top-level control this one sits on (its own when it
    // is the top), or null.
    TTopLevelHooks* TopHooks();

    bool erase_background_ = true;
    bool double_buffered_ = false;
    bool parent_background_ = false;
    bool tab_stop_ = false;
    HWND handle_ = nullptr;
    TTopLevelHooks top_hooks_;

private:
    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // The one paint routine (see the file comment).
    void PaintClient(HDC dc, bool erase);
    void PaintControls(HDC dc, const TControl* below = nullptr);
    LRESULT HandlePaint(WPARAM wParam);
    LRESULT HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT HandleKey(UINT msg, WPARAM wParam, LPARAM lParam);
    bool ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Pops up the PopupMenu of the control under the point (WM_CONTEXTMENU).
    bool ContextPopup(LPARAM lParam);
    void CollectTabStops(std::vector<TWinControl*>& out) const;
    void UpdateHover(TControl* target);
    std::vector<TControl*> controls_;
    std::vector<TWinControl*> tab_list_;
    WNDPROC system_proc_ = nullptr;
    TControl* mouse_capture_ = nullptr;
    TControl* hover_ = nullptr;
    bool tracking_leave_ = false;
    bool destroying_wnd_ = false;
};

}  // namespace fw
