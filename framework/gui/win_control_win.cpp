// TWinControl: window creation, the window procedure, painting, layout,
// focus, keys and Tab order.
#include "framework/gui/win_control.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/gui/application.h"
#include "framework/gui/common_controls.h"
#include "framework/gui/graphic_control.h"
#include "framework/gui/menus.h"
#include "framework/gui/screen_cursor.h"

namespace fw {
namespace {

const wchar_t kControlProp[] = L"fw.control";

// Whether the system still tracks the pointer's leaving of the window; it
// drops the tracking without a WM_MOUSELEAVE when, for example, another
// window takes the capture.
bool TrackingLeave(HWND hwnd) {
    TRACKMOUSEEVENT query{sizeof(query), TME_QUERY, nullptr, 0};
    return TrackMouseEvent(&query) && (query.dwFlags & TME_LEAVE) && query.hwndTrack == hwnd;
}

}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    destroying_wnd_ = true;
    while (!controls_.empty()) {
        TControl* c = controls_.back();
        controls_.pop_back();
        tab_list_.erase(std::remove(tab_list_.begin(), tab_list_.end(), c), tab_list_.end());
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
    if (!p.systemClassName.empty()) InitCommonControlsOnce();
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
    if (parent_background_ && parent_) {
        PaintParentBackground(this, dc);
        return;
    }
    if (color_ == clNone) return;
    RECT r = ClientRect();
    GdiObject<HBRUSH> brush(CreateSolidBrush(ToColorRef(color_)));
    FillRect(dc, &r, brush.get());
}

void TWinControl::SetParentBackground(bool v) {
    if (v == parent_background_) return;
    parent_background_ = v;
    Invalidate();
}

void TWinControl::PaintWindow(HDC /*dc*/) {}

void TWinControl::PaintClient(HDC dc, bool erase) {
    if (erase && erase_background_) EraseBackground(dc);
    PaintWindow(dc);
    PaintControls(dc);
}

void TWinControl::PaintControls(HDC dc, const TControl* below) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        if (c == below) break;
        auto* g = dynamic_cast<TGraphicControl*>(c);
        if (!g || !g->visible_ || g->width_ <= 0 || g->height_ <= 0) continue;
        SavedDCState state(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + g->left_, org.y + g->top_, nullptr);
        IntersectClipRect(dc, 0, 0, g->width_, g->height_);
        g->PaintTo(dc);
    }
}

LRESULT TWinControl::HandlePaint(WPARAM wParam) {
    if (HDC given = reinterpret_cast<HDC>(wParam)) {
        PaintClient(given, true);
        return 0;
    }
    struct PaintScope {
        HWND hwnd;
        PAINTSTRUCT ps;
        HDC dc;
        explicit PaintScope(HWND h) : hwnd(h), ps(), dc(BeginPaint(h, &ps)) {}
        ~PaintScope() { EndPaint(hwnd, &ps); }
    } paint(handle_);
    if (!double_buffered_) {
        PaintClient(paint.dc, true);
        return 0;
    }
    const RECT cr = ClientRect();
    MemoryDC buffer(paint.dc, cr.right, cr.bottom);
    PaintClient(buffer.DC(), true);
    buffer.CopyTo(paint.dc);
    return 0;
}

void TWinControl::PaintTo(HDC dc, bool withWindows) {
    SavedDCState state(dc);
    IntersectClipRect(dc, 0, 0, width_, height_);
    PaintClient(dc, true);
    if (!withWindows) return;
    for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->visible_) continue;
        SavedDCState inner(dc);
        POINT org;
        GetViewportOrgEx(dc, &org);
        SetViewportOrgEx(dc, org.x + w->left_, org.y + w->top_, nullptr);
        if (w->system_proc_ && w->handle_) {
            IntersectClipRect(dc, 0, 0, w->width_, w->height_);
            SendMessageW(w->handle_, WM_PRINT, reinterpret_cast<WPARAM>(dc),
                         PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN | PRF_ERASEBKGND);
        } else {
            w->PaintTo(dc, true);
        }
    }
}

void TWinControl::PaintParentBackground(TControl* child, HDC dc) {
    TWinControl* parent = child->parent_;
    if (!parent) return;
    SavedDCState state(dc);
    POINT org;
    GetViewportOrgEx(dc, &org);
    SetViewportOrgEx(dc, org.x - child->left_, org.y - child->top_, nullptr);
    IntersectClipRect(dc, child->left_, child->top_, child->left_ + child->width_, child->top_ + child->height_);
    // A transparent parent draws what lies beneath itself here in turn.
    parent->EraseBackground(dc);
    parent->PaintWindow(dc);
    parent->PaintControls(dc, child);
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
    if (auto* w = dynamic_cast<TWinControl*>(c)) tab_list_.push_back(w);
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
    tab_list_.erase(std::remove(tab_list_.begin(), tab_list_.end(), c), tab_list_.end());
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
    RECT r = AlignRect();
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
            if (!tracking_leave_ || !TrackingLeave(handle_)) {
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
    // The default handling of a right button release sends WM_CONTEXTMENU.
    return system_proc_ || msg == WM_RBUTTONUP ? DefaultHandler(msg, wParam, lParam) : 0;
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

TTopLevelHooks* TWinControl::TopHooks() {
    auto* top = dynamic_cast<TWinControl*>(TopLevelControl());
    return top ? &top->top_hooks_ : nullptr;
}

bool TWinControl::WantsDialogKey(WORD key) {
    if (!system_proc_ || !handle_) return false;
    MSG m{handle_, WM_KEYDOWN, key, 0, 0, {0, 0}};
    const LRESULT code = CallWindowProcW(system_proc_, handle_, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&m));
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return true;
    return key == VK_TAB && (code & DLGC_WANTTAB);
}

LRESULT TWinControl::HandleKey(UINT msg, WPARAM wParam, LPARAM lParam) {
    TTopLevelHooks* hooks = TopHooks();
    const bool preview = hooks && TopLevelControl() != this;
    if (msg == WM_CHAR) {
        wchar_t ch = static_cast<wchar_t>(wParam);
        if (preview && hooks->PreviewChar) hooks->PreviewChar(ch);
        if (ch) KeyPress(ch);
        if (ch == 0) return 0;
        return DefaultHandler(msg, ch, lParam);
    }
    // The form sees the key first when it previews keys; a handler that
    // zeroes the key swallows it.
    const bool down = msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
    WORD key = static_cast<WORD>(wParam);
    const TShiftState shift = KeyboardShiftState();
    if (preview && hooks->PreviewKey) hooks->PreviewKey(key, shift, down);
    if (key && down && (key == VK_TAB || key == VK_RETURN || key == VK_ESCAPE) && hooks && hooks->DialogKey &&
        !WantsDialogKey(key)) {
        // The top-level control may free this one (a closing form).
        HWND self = handle_;
        if (hooks->DialogKey(this, key, shift)) {
            // TranslateMessage has queued the key's character; it was used up.
            MSG pending;
            if (IsWindow(self)) PeekMessageW(&pending, self, WM_CHAR, WM_CHAR, PM_REMOVE);
            return 0;
        }
    }
    if (key && down) KeyDown(key, shift);
    if (key && !down) KeyUp(key, shift);
    if (key == 0) return 0;
    return DefaultHandler(msg, key, lParam);
}

bool TWinControl::ContextPopup(LPARAM lParam) {
    POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    TControl* target = this;
    if (lParam == -1) {
        // From the keyboard: the menu opens at the control's top-left corner.
        screen = ClientToScreen(POINT{0, 0});
    } else if (TControl* hit = ControlAtPos(ScreenToClient(screen)); hit && dynamic_cast<TGraphicControl*>(hit)) {
        target = hit;
    }
    TPopupMenu* menu = target->PopupMenu();
    if (!menu && target != this) {
        target = this;
        menu = popup_menu_;
    }
    if (!menu || !menu->AutoPopup()) return false;
    menu->SetPopupComponent(target);
    menu->Popup(screen.x, screen.y);
    return true;
}

bool TWinControl::ReflectToChild(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_NOTIFY) {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        TWinControl* child = hdr ? FromHandle(hdr->hwndFrom) : nullptr;
        return child && child->NotifyReflect(hdr, result);
    }
    TWinControl* child = FromHandle(reinterpret_cast<HWND>(lParam));
    if (!child || child == this) return false;
    switch (msg) {
        case WM_COMMAND:
            result = 0;
            return child->CommandNotify(HIWORD(wParam));
        case WM_HSCROLL:
        case WM_VSCROLL:
            result = 0;
            return child->ScrollReflect(msg, LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
        default:
            if (HBRUSH brush = child->ColorReflect(msg, reinterpret_cast<HDC>(wParam))) {
                result = reinterpret_cast<LRESULT>(brush);
                return true;
            }
            return false;
    }
}

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->parent_) {
        if (!c->visible_ || !c->enabled_) return false;
    }
    return true;
}

void TWinControl::SetTabStop(bool v) {
    if (v == tab_stop_) return;
    tab_stop_ = v;
    if (!handle_) return;
    LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
    SetWindowLongPtrW(handle_, GWL_STYLE, v ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP)));
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    const auto& list = parent_->tab_list_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!parent_) return;
    auto& list = parent_->tab_list_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

std::vector<TWinControl*> TWinControl::TabList() const { return tab_list_; }

void TWinControl::CollectTabStops(std::vector<TWinControl*>& out) const {
    for (TWinControl* w : tab_list_) {
        if (!w->visible_ || !w->enabled_) continue;
        if (w->tab_stop_) out.push_back(w);
        w->CollectTabStops(out);
    }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> stops;
    CollectTabStops(stops);
    if (stops.empty()) return nullptr;
    auto it = std::find(stops.begin(), stops.end(), current);
    if (it == stops.end()) return forward ? stops.front() : stops.back();
    const size_t n = stops.size();
    const size_t at = static_cast<size_t>(it - stops.begin());
    return stops[forward ? (at + 1) % n : (at + n - 1) % n];
}

bool TWinControl::BroadcastDialogChar(wchar_t ch, TShiftState shift) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->visible_ || !w->enabled_) continue;
        if (w->DialogCharAction(ch, shift) || w->BroadcastDialogChar(ch, shift)) return true;
    }
    return false;
}

bool TWinControl::BroadcastDialogKey(WORD key, TWinControl* focused) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        auto* w = dynamic_cast<TWinControl*>(c);
        if (!w || !w->visible_ || !w->enabled_) continue;
        if (w->DialogKeyAction(key, focused) || w->BroadcastDialogKey(key, focused)) return true;
    }
    return false;
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ERASEBKGND:
            // The paint routine draws the background itself.
            if (system_proc_) break;
            return 1;
        case WM_PAINT:
            if (system_proc_) break;
            return HandlePaint(wParam);
        case WM_PRINTCLIENT:
            if (system_proc_) break;
            PaintClient(reinterpret_cast<HDC>(wParam), true);
            return 0;
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
        case WM_SYSKEYUP:
        case WM_CHAR:
            return HandleKey(msg, wParam, lParam);
        case WM_SYSCHAR: {
            TTopLevelHooks* hooks = TopHooks();
            if (hooks && hooks->DialogChar && hooks->DialogChar(static_cast<wchar_t>(wParam), KeyboardShiftState()))
                return 0;
            break;
        }
        case WM_CONTEXTMENU:
            if (ContextPopup(lParam)) return 0;
            break;  // the default handling asks the parent
        case WM_SETFOCUS:
            DoEnter();
            break;
        case WM_KILLFOCUS:
            DoExit();
            break;
        case WM_SETCURSOR:
            if (ScreenCursor() != TScreenCursor::crDefault) {
                ::SetCursor(ScreenCursorHandle(ScreenCursor()));
                return TRUE;
            }
            if (cursor_ && LOWORD(lParam) == HTCLIENT && reinterpret_cast<HWND>(wParam) == handle_) {
                ::SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORMSGBOX: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG: case WM_CTLCOLORSCROLLBAR: case WM_CTLCOLORSTATIC: {
            LRESULT result = 0;
            if (ReflectToChild(msg, wParam, lParam, result)) return result;
            break;
        }
        default:
            break;
    }
    return DefaultHandler(msg, wParam, lParam);
}


}  // namespace fw
