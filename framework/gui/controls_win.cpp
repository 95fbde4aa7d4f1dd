// TControl, TGraphicControl, TWinControl and TCustomControl.
#include "framework/gui/controls.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/gui/application.h"
#include "framework/core/exceptions.h"
#include "framework/gui/forms.h"

namespace fw {
namespace {

const wchar_t kControlProp[] = L"fw.control";

}  // namespace

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

// ---- TControl

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    font_->OnChange = [this] {
        parent_font_ = false;
        FontChanged();
    };
}

TControl::~TControl() {
    if (parent_) parent_->RemoveControl(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == reinterpret_cast<TComponent*>(popup_menu_)) popup_menu_ = nullptr;
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    popup_menu_ = menu;
    if (menu) FreeNotification(reinterpret_cast<TComponent*>(menu));
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
    FireEvent(OnClick, this);
}

void TControl::DblClick() {
    FireEvent(OnDblClick, this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
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
    FireEvent(OnMouseEnter, this);
}

void TControl::MouseLeave() {
    mouse_in_control_ = false;
    FireEvent(OnMouseLeave, this);
}

bool TControl::DoMouseWheel(TShiftState shift, int wheelDelta, POINT mousePos) {
    bool handled = false;
    FireEvent(OnMouseWheel, this, shift, wheelDelta, mousePos, handled);
    return handled;
}

// ---- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::PaintTo(HDC dc) {
    CanvasPaintScope scope(*canvas_, dc, *font_);
    Paint();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    destroying_wnd_ = true;
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        controls_.pop_back();
        c->parent_ = nullptr;
        c->BeforeDestruction();
        delete c;
    }
    DestroyWnd();
}

TWinControl* TWinControl::FromHandle(HWND hwnd) {
    return hwnd ? static_cast<TWinControl*>(GetPropW(hwnd, kControlProp)) : nullptr;
}

HWND TWinControl::Handle() {
    if (!handle_) CreateWnd();
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.caption = caption_;
    p.style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    if (visible_) p.style |= WS_VISIBLE;
    if (!enabled_) p.style |= WS_DISABLED;
    if (tab_stop_) p.style |= WS_TABSTOP;
    p.x = left_;
    p.y = top_;
    p.width = width_;
    p.height = height_;
    p.parent = parent_ ? parent_->handle_ : nullptr;
    p.winClassName = L"FwWinControl";
}

void TWinControl::CreateWnd() {
    if (destroying_wnd_) return;
    // The parent makes its children's windows as it makes its own.
    if (parent_ && !parent_->handle_) {
        parent_->CreateWnd();
        if (handle_) return;
    }
    TCreateParams p;
    CreateParams(p);
    HINSTANCE inst = GetModuleHandleW(nullptr);
    const wchar_t* cls = p.systemClassName.empty() ? p.winClassName.c_str() : p.systemClassName.c_str();
    if (p.systemClassName.empty()) {
        WNDCLASSEXW wc{};
        if (!GetClassInfoExW(inst, cls, &wc)) {
            wc = WNDCLASSEXW{};
            wc.cbSize = sizeof(wc);
            wc.style = p.classStyle;
            wc.lpfnWndProc = StaticWndProc;
            wc.hInstance = inst;
            wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
            wc.lpszClassName = cls;
            if (!RegisterClassExW(&wc)) throw EInvalidOperation(L"Cannot register window class " + p.winClassName);
        }
    }
    HWND hwnd = CreateWindowExW(p.exStyle, cls, p.caption.c_str(), p.style, p.x, p.y, p.width, p.height, p.parent,
                                nullptr, inst, this);
    if (!hwnd) throw EInvalidOperation(L"Error creating window");
    if (!p.systemClassName.empty()) {
        handle_ = hwnd;
        SetPropW(hwnd, kControlProp, this);
        system_proc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), 0);
    }
    CreateHandleDone();
    for (TControl* c : std::vector<TControl*>(controls_)) {
        if (auto* w = dynamic_cast<TWinControl*>(c); w && !w->handle_) w->CreateWnd();
    }
    Realign();
}

void TWinControl::DestroyWnd() {
    if (!handle_) return;
    HWND h = handle_;
    DestroyWindow(h);
    handle_ = nullptr;
}

LRESULT CALLBACK TWinControl::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* self = static_cast<TWinControl*>(cs->lpCreateParams);
        if (self) {
            self->handle_ = hwnd;
            SetPropW(hwnd, kControlProp, self);
        }
    }
    TWinControl* self = FromHandle(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC sys = self->system_proc_;
        RemovePropW(hwnd, kControlProp);
        self->handle_ = nullptr;
        self->system_proc_ = nullptr;
        return sys ? CallWindowProcW(sys, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (self->destroying_wnd_) return self->DefaultHandler(msg, wParam, lParam);
    EventScope scope(self);
    try {
        return self->WndProc(msg, wParam, lParam);
    } catch (...) {
        HandleCallbackException(self);
        return 0;
    }
}

LRESULT TWinControl::DefaultHandler(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!handle_) return 0;
    if (system_proc_) return CallWindowProcW(system_proc_, handle_, msg, wParam, lParam);
    return DefWindowProcW(handle_, msg, wParam, lParam);
}

void TWinControl::EraseBackground(HDC dc) {
    if (color_ == clNone) return;
    RECT r = ClientRect();
    GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color_)));
    FillRect(dc, &r, brush.get());
}

void TWinControl::PaintWindow(HDC /*dc*/) {}

void TWinControl::PaintControls(HDC dc) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->visible_ || g->width_ <= 0 || g->height_ <= 0) continue;
        int saved = SaveDC(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + g->left_, org.y + g->top_, nullptr);
        IntersectClipRect(dc, 0, 0, g->width_, g->height_);
        try {
            g->PaintTo(dc);
        } catch (...) {
            RestoreDC(dc, saved);
            throw;
        }
        RestoreDC(dc, saved);
    }
}

void TWinControl::PaintTo(HDC dc, bool withWindows) {
    int saved = SaveDC(dc);
    IntersectClipRect(dc, 0, 0, width_, height_);
    EraseBackground(dc);
    PaintWindow(dc);
    PaintControls(dc);
    if (withWindows) {
        for (TControl* c : std::vector<TControl*>(controls_)) {
            auto* w = dynamic_cast<TWinControl*>(c);
            if (!w || !w->visible_) continue;
            int inner = SaveDC(dc);
            POINT org;
            GetViewportOrgEx(dc, &org);
            SetViewportOrgEx(dc, org.x + w->left_, org.y + w->top_, nullptr);
            if (w->system_proc_ && w->handle_) {
                IntersectClipRect(dc, 0, 0, w->width_, w->height_);
                SendMessageW(w->handle_, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
            } else {
                w->PaintTo(dc, true);
            }
            RestoreDC(dc, inner);
        }
    }
    RestoreDC(dc, saved);
}

void TWinControl::PaintParentBackground(TControl* child, HDC dc) {
    TWinControl* parent = child->parent_;
    if (!parent) return;
    int saved = SaveDC(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x - child->left_, org.y - child->top_, nullptr);
    IntersectClipRect(dc, child->left_, child->top_, child->left_ + child->width_, child->top_ + child->height_);
    parent->EraseBackground(dc);
    parent->PaintWindow(dc);
    RestoreDC(dc, saved);
}

RECT TWinControl::ClientRect() const {
    if (handle_) {
        RECT r;
        GetClientRect(handle_, &r);
        return r;
    }
    return TControl::ClientRect();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    if (handle_) {
        SetWindowPos(handle_, nullptr, left, top, std::max(width, 0), std::max(height, 0), SWP_NOZORDER | SWP_NOACTIVATE);
        // WM_SIZE / WM_MOVE brought the new bounds in; make sure of it.
        UpdateBoundsFromWindow();
        return;
    }
    TControl::SetBounds(left, top, width, height);
}

void TWinControl::UpdateBoundsFromWindow() {
    if (!handle_) return;
    RECT r;
    GetWindowRect(handle_, &r);
    if (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(HWND_DESKTOP, GetParent(handle_), reinterpret_cast<POINT*>(&r), 2);
    }
    int w = r.right - r.left;
    int h = r.bottom - r.top;
    bool resized = w != width_ || h != height_;
    left_ = r.left;
    top_ = r.top;
    width_ = w;
    height_ = h;
    if (resized) {
        Realign();
        Resize();
    }
}

void TWinControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (handle_) ShowWindow(handle_, visible ? SW_SHOWNA : SW_HIDE);
    VisibleChanged();
}

void TWinControl::VisibleChanged() {
    if (visible_ && !handle_ && parent_ && parent_->handle_) CreateWnd();
    TControl::VisibleChanged();
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (handle_) EnableWindow(handle_, enabled);
    EnabledChanged();
}

void TWinControl::SetCaption(const std::wstring& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    if (handle_) SetWindowTextW(handle_, caption.c_str());
    Invalidate();
}

void TWinControl::FontChanged() {
    if (handle_ && system_proc_) SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_->Handle()), TRUE);
    for (TControl* c : controls_) {
        if (c->parent_font_) c->SetParentFont(true);
    }
    Invalidate();
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::SetFocus() {
    if (HWND h = Handle()) ::SetFocus(h);
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

void TWinControl::InsertControl(TControl* c) {
    controls_.push_back(c);
    c->parent_ = this;
    if (c->parent_font_) c->SetParentFont(true);
    if (auto* w = dynamic_cast<TWinControl*>(c); w && handle_) {
        if (w->handle_) {
            ::SetParent(w->handle_, handle_);
        } else {
            w->CreateWnd();
        }
    }
    if (c->align_ != TAlign::alNone) Realign();
    c->Invalidate();
}

void TWinControl::RemoveControl(TControl* c) {
    if (mouse_capture_ == c) {
        mouse_capture_ = nullptr;
        if (handle_ && GetCapture() == handle_) ReleaseCapture();
    }
    if (hover_ == c) hover_ = nullptr;
    if (c->visible_) c->Invalidate();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    c->parent_ = nullptr;
    if (c->align_ != TAlign::alNone) Realign();
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (!c->visible_ || (!c->enabled_ && !allowDisabled)) continue;
        if (p.x >= c->left_ && p.y >= c->top_ && p.x < c->left_ + c->width_ && p.y < c->top_ + c->height_) return c;
    }
    return nullptr;
}

void TWinControl::Realign() { AlignControls(); }

void TWinControl::AlignControls() {
    RECT r = ClientRect();
    auto place = [&](TAlign which) {
        for (TControl* c : controls_) {
            if (c->align_ != which || !c->visible_) continue;
            int l = c->left_, t = c->top_, w = c->width_, h = c->height_;
            switch (which) {
                case TAlign::alTop: l = r.left; t = r.top; w = r.right - r.left; r.top += h; break;
                case TAlign::alBottom: l = r.left; t = r.bottom - h; w = r.right - r.left; r.bottom -= h; break;
                case TAlign::alLeft: l = r.left; t = r.top; h = r.bottom - r.top; r.left += w; break;
                case TAlign::alRight: l = r.right - w; t = r.top; h = r.bottom - r.top; r.right -= w; break;
                case TAlign::alClient: l = r.left; t = r.top; w = r.right - r.left; h = r.bottom - r.top; break;
                case TAlign::alNone: break;
            }
            TAlign saved = c->align_;
            c->align_ = TAlign::alNone;  // no recursion into Realign
            c->SetBounds(l, t, w, h);
            c->align_ = saved;
        }
    };
    place(TAlign::alTop);
    place(TAlign::alBottom);
    place(TAlign::alLeft);
    place(TAlign::alRight);
    place(TAlign::alClient);
}

void TWinControl::UpdateHover(TControl* target) {
    if (!mouse_in_control_) MouseEnter();
    if (target == hover_) return;
    TControl* old = hover_;
    hover_ = target;
    if (old && old != this) old->MouseLeave();
    if (target && target != this) target->MouseEnter();
}

LRESULT TWinControl::HandleMouse(UINT msg, WPARAM wParam, LPARAM lParam) {
    POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TShiftState shift = KeysToShiftState(wParam);
    TControl* target = mouse_capture_;
    if (!target) {
        TControl* hit = ControlAtPos(p);
        target = dynamic_cast<TGraphicControl*>(hit) ? hit : this;
    }
    POINT local = target == this ? p : POINT{p.x - target->left_, p.y - target->top_};
    TMouseButton button = TMouseButton::mbLeft;
    switch (msg) {
        case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK: button = TMouseButton::mbRight; break;
        case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK: button = TMouseButton::mbMiddle; break;
        default: break;
    }
    switch (msg) {
        case WM_MOUSEMOVE:
            if (!tracking_leave_) {
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, handle_, 0};
                tracking_leave_ = TrackMouseEvent(&tme) != FALSE;
            }
            if (!mouse_capture_) UpdateHover(target);
            target->MouseMove(shift, local.x, local.y);
            break;
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
            if (button == TMouseButton::mbLeft) {
                target->click_pending_ = true;
                if (!system_proc_) {
                    mouse_capture_ = target == this ? nullptr : target;
                    SetCapture(handle_);
                }
            }
            target->MouseDown(button, shift, local.x, local.y);
            break;
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
            if (button == TMouseButton::mbLeft) target->DblClick();
            target->MouseDown(button, shift | ssDouble, local.x, local.y);
            break;
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
            bool inside = local.x >= 0 && local.y >= 0 && local.x < target->width_ && local.y < target->height_;
            bool click = button == TMouseButton::mbLeft && target->click_pending_ && inside;
            if (button == TMouseButton::mbLeft) {
                target->click_pending_ = false;
                mouse_capture_ = nullptr;
                if (!system_proc_ && GetCapture() == handle_) ReleaseCapture();
            }
            // The target may free itself from its own events; keep it until done.
            EventScope scope(target);
            target->MouseUp(button, shift, local.x, local.y);
            if (click && !system_proc_) target->Click();
            break;
        }
        default: break;
    }
    return system_proc_ ? DefaultHandler(msg, wParam, lParam) : 0;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
    FireEvent(OnKeyDown, this, key, shift);
}

void TWinControl::KeyUp(WORD& key, TShiftState shift) {
    FireEvent(OnKeyUp, this, key, shift);
}

void TWinControl::KeyPress(wchar_t& key) {
    FireEvent(OnKeyPress, this, key);
}

void TWinControl::DoEnter() {
    FireEvent(OnEnter, this);
}

void TWinControl::DoExit() {
    FireEvent(OnExit, this);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            if (system_proc_) break;
            if (erase_background_ && !double_buffered_) EraseBackground(reinterpret_cast<HDC>(wParam));
            return 1;
        case WM_PAINT: {
            if (system_proc_) break;
            if (HDC given = reinterpret_cast<HDC>(wParam)) {
                PaintWindow(given);
                PaintControls(given);
                return 0;
            }
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(handle_, &ps);
            if (double_buffered_) {
                RECT cr = ClientRect();
                int w = std::max(1L, static_cast<long>(cr.right)), h = std::max(1L, static_cast<long>(cr.bottom));
                HDC mem = CreateCompatibleDC(dc);
                GdiObject<HBITMAP> bmp(CreateCompatibleBitmap(dc, w, h));
                HGDIOBJ old = SelectObject(mem, bmp.get());
                try {
                    if (erase_background_) EraseBackground(mem);
                    PaintWindow(mem);
                    PaintControls(mem);
                } catch (...) {
                    SelectObject(mem, old);
                    DeleteDC(mem);
                    EndPaint(handle_, &ps);
                    throw;
                }
                BitBlt(dc, 0, 0, w, h, mem, 0, 0, SRCCOPY);
                SelectObject(mem, old);
                DeleteDC(mem);
            } else {
                try {
                    PaintWindow(dc);
                    PaintControls(dc);
                } catch (...) {
                    EndPaint(handle_, &ps);
                    throw;
                }
            }
            EndPaint(handle_, &ps);
            return 0;
        }
        case WM_PRINTCLIENT: {
            if (system_proc_) break;
            HDC dc = reinterpret_cast<HDC>(wParam);
            if (erase_background_) EraseBackground(dc);
            PaintWindow(dc);
            PaintControls(dc);
            return 0;
        }
        case WM_SIZE:
        case WM_MOVE: {
            LRESULT r = DefaultHandler(msg, wParam, lParam);
            UpdateBoundsFromWindow();
            return r;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP:
        case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
            return HandleMouse(msg, wParam, lParam);
        case WM_CAPTURECHANGED:
            // Someone else took the mouse (a menu, a modal box): forget the
            // press that was under way.
            if (reinterpret_cast<HWND>(lParam) != handle_) {
                if (mouse_capture_) mouse_capture_->click_pending_ = false;
                mouse_capture_ = nullptr;
                click_pending_ = false;
            }
            break;
        case WM_MOUSELEAVE: {
            tracking_leave_ = false;
            TControl* old = hover_;
            hover_ = nullptr;
            if (old && old != this) old->MouseLeave();
            if (mouse_in_control_) MouseLeave();
            break;
        }
        case WM_MOUSEWHEEL: {
            POINT p{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (DoMouseWheel(KeysToShiftState(GET_KEYSTATE_WPARAM(wParam)), GET_WHEEL_DELTA_WPARAM(wParam), p)) return 0;
            break;
        }
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYUP: {
            // The form sees the key first when it previews keys; a handler
            // that zeroes the key swallows it.
            const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
            WORD key = static_cast<WORD>(wParam);
            TShiftState shift = KeyboardShiftState();
            TForm* form = GetParentForm(this);
            if (form && form != this && form->KeyPreview()) {
                if (down) {
                    form->KeyDown(key, shift);
                } else {
                    form->KeyUp(key, shift);
                }
            }
            if (key && down) KeyDown(key, shift);
            if (key && !down) KeyUp(key, shift);
            if (key == 0) return 0;
            break;
        }
        case WM_CHAR: {
            wchar_t ch = static_cast<wchar_t>(wParam);
            TForm* form = GetParentForm(this);
            if (form && form != this && form->KeyPreview()) form->KeyPress(ch);
            if (ch) KeyPress(ch);
            if (ch == 0) return 0;
            return DefaultHandler(msg, ch, lParam);
        }
        case WM_SETFOCUS:
            DoEnter();
            break;
        case WM_KILLFOCUS:
            DoExit();
            break;
        case WM_SETCURSOR:
            if (cursor_ && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle_) {
                ::SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_COMMAND:
            if (lParam) {
                if (TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam))) {
                    if (child->CommandNotify(HIWORD(wParam))) return 0;
                }
            }
            break;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            if (TWinControl* child = FromHandle(hdr->hwndFrom)) {
                LRESULT result = 0;
                if (child->NotifyReflect(hdr, result)) return result;
            }
            break;
        }
        default:
            break;
    }
    return DefaultHandler(msg, wParam, lParam);
}

// ---- TCustomControl

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner), canvas_(std::make_unique<TCanvas>()) {}

TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    CanvasPaintScope scope(*canvas_, dc, *font_);
    Paint();
}

void TCustomControl::Paint() {
    if (OnPaint) OnPaint(this);
}

}  // namespace fw
