// Menu items, popup and main menus, and the routing of the menu messages.
#include "framework/gui/menus.h"

#include <algorithm>
#include <map>

#include "framework/gui/actions.h"
#include "framework/gui/application.h"
#include "framework/gui/forms.h"
#include "framework/gui/image_list.h"
#include "framework/gui/utility_window.h"

namespace fw {
namespace {

// Command identifiers are 16 bits wide in WM_COMMAND.
std::map<UINT, TMenuItem*>& Commands() {
    static std::map<UINT, TMenuItem*> commands;
    return commands;
}

UINT AllocateCommand(TMenuItem* item) {
    static UINT next = 1;
    auto& commands = Commands();
    for (UINT tries = 0; tries < 0xFFFF; ++tries) {
        const UINT id = next;
        next = next == 0xFFFF ? 1 : next + 1;
        if (commands.emplace(id, item).second) return id;
    }
    throw EOutOfMemory(L"Out of menu command identifiers");
}

TMenuItem* FindBySubMenu(HMENU menu) {
    if (!menu) return nullptr;
    for (auto& [id, item] : Commands()) {
        if (item->Handle() == menu) return item;
    }
    return nullptr;
}

LRESULT CALLBACK PopupListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (GuardCallback(nullptr, false, [&] { return DispatchMenuMessage(msg, wParam, lParam, result); })) return result;
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

const wchar_t* const kKeyNames[] = {L"BkSp", L"Tab", L"Enter", L"Esc", L"Space", L"PgUp", L"PgDn", L"End", L"Home",
                                    L"Left", L"Up", L"Right", L"Down", L"Ins", L"Del"};

std::wstring KeyText(WORD key) {
    switch (key) {
        case VK_BACK: return kKeyNames[0];
        case VK_TAB: return kKeyNames[1];
        case VK_RETURN: return kKeyNames[2];
        case VK_ESCAPE: return kKeyNames[3];
        case VK_SPACE: return kKeyNames[4];
        case VK_PRIOR: return kKeyNames[5];
        case VK_NEXT: return kKeyNames[6];
        case VK_END: return kKeyNames[7];
        case VK_HOME: return kKeyNames[8];
        case VK_LEFT: return kKeyNames[9];
        case VK_UP: return kKeyNames[10];
        case VK_RIGHT: return kKeyNames[11];
        case VK_DOWN: return kKeyNames[12];
        case VK_INSERT: return kKeyNames[13];
        case VK_DELETE: return kKeyNames[14];
        default: break;
    }
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    // Other keys by the keyboard layout's own name of the key.
    wchar_t name[64] = {};
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (scan && GetKeyNameTextW(static_cast<LONG>(scan << 16), name, 64) > 0) return name;
    return std::wstring();
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
    TShortCut s = static_cast<TShortCut>(key & 0xFF);
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

std::wstring ShortCutToText(TShortCut shortCut) {
    const std::wstring key = KeyText(static_cast<WORD>(shortCut & 0xFF));
    if (key.empty()) return std::wstring();
    std::wstring text;
    if (shortCut & scShift) text += L"Shift+";
    if (shortCut & scCtrl) text += L"Ctrl+";
    if (shortCut & scAlt) text += L"Alt+";
    return text + key;
}

const TFont& MenuFont() {
    static TFont font = [] {
        TFont f;
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) f.SetLogFont(metrics.lfMenuFont);
        f.SetColor(clMenuText);
        return f;
    }();
    return font;
}

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() {
    action_link_.reset();
    Commands().erase(command_);
    while (!items_.empty()) {
        TMenuItem* last = items_.back();
        items_.pop_back();
        last->parent_ = nullptr;
        last->BeforeDestruction();
        delete last;
    }
    if (parent_) parent_->Remove(this);
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == sub_menu_images_) sub_menu_images_ = nullptr;
    // The action let go of the link as it went.
    if (action_link_ && !action_link_->Action()) {
        action_link_.reset();
        Changed();
    }
}

TBasicAction* TMenuItem::Action() const { return action_link_ ? action_link_->Action() : nullptr; }

void TMenuItem::SetAction(TBasicAction* action) {
    if (action == Action()) return;
    if (TBasicAction* old = Action()) RemoveFreeNotification(old);
    if (!action) {
        action_link_.reset();
        Changed();
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

std::unique_ptr<TMenuActionLink> TMenuItem::CreateActionLink() { return std::make_unique<TMenuActionLink>(this); }

void TMenuItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
    if (auto* action = dynamic_cast<TCustomAction*>(sender)) {
        if (!checkDefaults || caption_.empty()) SetCaption(action->Caption());
        if (!checkDefaults || !checked_) SetChecked(action->Checked());
        if (!checkDefaults || enabled_) SetEnabled(action->Enabled());
        if (!checkDefaults || hint_.empty()) SetHint(action->Hint());
        if (!checkDefaults || visible_) SetVisible(action->Visible());
        if (!checkDefaults || image_index_ == -1) SetImageIndex(action->ImageIndex());
        if (!checkDefaults || short_cut_ == scNone) SetShortCut(action->ShortCut());
        if (!checkDefaults || group_index_ == 0) SetGroupIndex(action->GroupIndex());
    }
    // The action list's images may have changed too.
    Changed();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

void TMenuItem::Changed() {
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const std::wstring& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Changed();
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (checked && radio_item_ && parent_) {
        for (TMenuItem* sibling : parent_->items_) {
            if (sibling != this && sibling->radio_item_ && sibling->group_index_ == group_index_) sibling->checked_ = false;
        }
    }
    Changed();
}

void TMenuItem::SetRadioItem(bool v) {
    if (v == radio_item_) return;
    radio_item_ = v;
    Changed();
}

void TMenuItem::SetGroupIndex(int v) {
    if (v == group_index_) return;
    group_index_ = v;
    Changed();
}

void TMenuItem::SetEnabled(bool v) {
    if (v == enabled_) return;
    enabled_ = v;
    Changed();
}

void TMenuItem::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed();
}

void TMenuItem::SetDefault(bool v) {
    if (v == default_) return;
    default_ = v;
    Changed();
}

void TMenuItem::SetBreak(bool v) {
    if (v == break_) return;
    break_ = v;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut v) {
    if (v == short_cut_) return;
    short_cut_ = v;
    Changed();
}

void TMenuItem::SetImageIndex(int v) {
    if (v == image_index_) return;
    image_index_ = v;
    Changed();
}

void TMenuItem::SetSubMenuImages(TImageList* images) {
    sub_menu_images_ = images;
    if (images) FreeNotification(images);
    Changed();
}

TImageList* TMenuItem::GetImageList() const {
    if (parent_ && parent_->sub_menu_images_) return parent_->sub_menu_images_;
    TMenu* menu = GetParentMenu();
    return menu ? menu->Images() : nullptr;
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this) return;
    if (item->parent_) item->parent_->Remove(item);
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    Changed();
}

void TMenuItem::Clear() {
    while (!items_.empty()) {
        TMenuItem* last = items_.back();
        Remove(last);
        last->Free();
    }
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenuItem* TMenuItem::FindByCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

TBitmap& TMenuItem::Bitmap() {
    if (!bitmap_) bitmap_ = std::make_unique<TBitmap>();
    return *bitmap_;
}

void TMenuItem::Click() {
    // A linked action that handles execution runs instead of OnClick.
    if (action_link_ && action_link_->IsOnExecuteLinked()) {
        EventScope scope(this);
        action_link_->Execute(this);
        return;
    }
    FireEvent(OnClick, this);
}

void TMenuItem::Select() { FireEvent(OnSelect, this); }

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
    if (OnMeasureItem) {
        FireEvent(OnMeasureItem, this, canvas, width, height);
        return;
    }
    if (IsLine()) {
        height = GetSystemMetrics(SM_CYMENU) / 2;
        return;
    }
    const std::wstring shortcut = ShortCutToText(short_cut_);
    const SIZE text = canvas.TextExtent(caption_ + (shortcut.empty() ? L"" : L"    " + shortcut));
    const int check = GetSystemMetrics(SM_CXMENUCHECK);
    width = text.cx + 2 * check;
    height = std::max(static_cast<int>(text.cy) + 4, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::DrawItem(TCanvas& canvas, RECT rect, TOwnerDrawState state) {
    if (OnAdvancedDrawItem) {
        FireEvent(OnAdvancedDrawItem, this, canvas, rect, state);
        return;
    }
    if (OnDrawItem) {
        FireEvent(OnDrawItem, this, canvas, rect, (state & odSelected) != 0);
        return;
    }
    const bool selected = (state & odSelected) != 0;
    canvas.Brush().SetColor(selected ? clHighlight : clMenu);
    canvas.FillRect(rect);
    HDC dc = canvas.Handle();
    if (IsLine()) {
        RECT line{rect.left, (rect.top + rect.bottom) / 2 - 1, rect.right, (rect.top + rect.bottom) / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const int check = GetSystemMetrics(SM_CXMENUCHECK);
    if (checked_) {
        RECT mark{rect.left, rect.top, rect.left + check, rect.bottom};
        DrawFrameControl(dc, &mark, DFC_MENU, radio_item_ ? DFCS_MENUBULLET : DFCS_MENUCHECK);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().SetColor(!enabled_ ? clGrayText : selected ? clHighlightText : clMenuText);
    RECT text{rect.left + check, rect.top, rect.right - check, rect.bottom};
    canvas.TextRect(text, text.left, text.top + (rect.bottom - rect.top - canvas.TextHeight(L"Wg")) / 2, caption_);
    const std::wstring shortcut = ShortCutToText(short_cut_);
    if (!shortcut.empty()) {
        canvas.TextOut(text.right - canvas.TextWidth(shortcut), text.top + (rect.bottom - rect.top - canvas.TextHeight(L"Wg")) / 2,
                       shortcut);
    }
    canvas.Brush().SetStyle(TBrushStyle::bsSolid);
}

void TMenuItem::BuildInto(HMENU menu, bool ownerDraw) {
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        MENUITEMINFOW mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
        std::wstring text;
        if (item->IsLine()) {
            mii.fType = MFT_SEPARATOR;
        } else {
            const std::wstring shortcut = ShortCutToText(item->short_cut_);
            text = item->caption_ + (shortcut.empty() ? L"" : L"\t" + shortcut);
            mii.fMask |= MIIM_STRING;
            mii.dwTypeData = text.data();
        }
        if (ownerDraw) mii.fType |= MFT_OWNERDRAW;
        if (item->radio_item_) mii.fType |= MFT_RADIOCHECK;
        if (item->break_) mii.fType |= MFT_MENUBARBREAK;
        if (item->checked_) mii.fState |= MFS_CHECKED;
        if (!item->enabled_) mii.fState |= MFS_DISABLED;
        if (item->default_) mii.fState |= MFS_DEFAULT;
        mii.wID = item->command_;
        mii.dwItemData = item->command_;
        if (!item->items_.empty()) {
            item->sub_menu_ = CreatePopupMenu();
            item->BuildInto(item->sub_menu_, ownerDraw);
            mii.fMask |= MIIM_SUBMENU;
            mii.hSubMenu = item->sub_menu_;
        }
        InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &mii);
    }
}

void TMenuItem::ForgetHandles() {
    sub_menu_ = nullptr;
    for (TMenuItem* item : items_) item->ForgetHandles();
}

// ---- TMenu

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) { items_->menu_ = this; }

TMenu::~TMenu() {
    // The items go first, while the menu is whole: they report their removal.
    items_->menu_ = nullptr;
    delete items_;
    DestroyHandle();
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

void TMenu::SetImages(TImageList* images) {
    images_ = images;
    if (images) FreeNotification(images);
    MenuChanged();
}

void TMenu::SetOwnerDraw(bool v) {
    if (v == owner_draw_) return;
    owner_draw_ = v;
    MenuChanged();
}

HMENU TMenu::Handle() {
    if (!handle_) {
        handle_ = CreateHandle();
        items_->BuildInto(handle_, owner_draw_);
    }
    return handle_;
}

void TMenu::DestroyHandle() {
    if (!handle_) return;
    // DestroyMenu takes the sub-menus along.
    DestroyMenu(handle_);
    handle_ = nullptr;
    if (items_) items_->ForgetHandles();
}

void TMenu::MenuChanged() { DestroyHandle(); }

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
    const TShortCut wanted = ShortCut(key, shift);
    if (wanted == scNone) return false;
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* parent) -> TMenuItem* {
        for (int i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (!item->Visible() || !item->Enabled()) continue;
            if (item->ShortCut() == wanted) return item;
            if (TMenuItem* inner = find(item)) return inner;
        }
        return nullptr;
    };
    TMenuItem* item = find(items_);
    if (!item) return false;
    item->Click();
    return true;
}

// ---- TPopupMenu

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

HMENU TPopupMenu::CreateHandle() { return CreatePopupMenu(); }

HWND TPopupMenu::WindowHandle() const { return PopupListWindow(); }

void TPopupMenu::Popup(int x, int y) {
    FireEvent(OnPopup, this);
    const UINT align = alignment_ == TPopupAlignment::paRight    ? TPM_RIGHTALIGN
                       : alignment_ == TPopupAlignment::paCenter ? TPM_CENTERALIGN
                                                                 : TPM_LEFTALIGN;
    // Built afresh for each popup, so OnPopup's changes show.
    DestroyHandle();
    HMENU menu = Handle();
    HWND owner = PopupListWindow();
    // The owner must be the foreground window, or a click elsewhere would
    // not close the menu.
    SetForegroundWindow(owner);
    tracking_ = true;
    UINT animation = 0;
    if (menu_animation_ & maNone) {
        animation = TPM_NOANIMATION;
    } else {
        if (menu_animation_ & maLeftToRight) animation |= TPM_HORPOSANIMATION;
        if (menu_animation_ & maRightToLeft) animation |= TPM_HORNEGANIMATION;
        if (menu_animation_ & maTopToBottom) animation |= TPM_VERPOSANIMATION;
        if (menu_animation_ & maBottomToTop) animation |= TPM_VERNEGANIMATION;
    }
    TrackPopupMenuEx(menu, align | animation | TPM_TOPALIGN | TPM_RIGHTBUTTON, x, y, owner, nullptr);
    tracking_ = false;
    PostMessageW(owner, WM_NULL, 0, 0);
    if (changed_while_tracking_) {
        changed_while_tracking_ = false;
        DestroyHandle();
    }
}

void TPopupMenu::MenuChanged() {
    // The open menu's handles stay valid until it closes.
    if (tracking_) {
        changed_while_tracking_ = true;
        return;
    }
    TMenu::MenuChanged();
}

// ---- TMainMenu

TMainMenu::TMainMenu(TComponent* owner) : TMenu(owner) {}

HMENU TMainMenu::CreateHandle() { return CreateMenu(); }

HWND TMainMenu::WindowHandle() const { return form_ && form_->HandleAllocated() ? form_->Handle() : nullptr; }

void TMainMenu::MenuChanged() {
    if (!form_ || !form_->HandleAllocated()) {
        TMenu::MenuChanged();
        return;
    }
    // The bar is taken off the window before its menu goes.
    HWND window = form_->Handle();
    ::SetMenu(window, nullptr);
    TMenu::MenuChanged();
    ::SetMenu(window, Handle());
    DrawMenuBar(window);
}

// ---- routing

HWND PopupListWindow() {
    static HWND window = CreateUtilityWindow(L"FwPopupList", PopupListProc, true);
    return window;
}

bool DispatchMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_COMMAND: {
            // From a menu: no control window, notification code 0.
            if (lParam != 0 || HIWORD(wParam) != 0) return false;
            TMenuItem* item = TMenuItem::FindByCommand(LOWORD(wParam));
            if (!item) return false;
            GuardCallback(item, [item] { item->Click(); });
            result = 0;
            return true;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            if (!mis || mis->CtlType != ODT_MENU) return false;
            TMenuItem* item = TMenuItem::FindByCommand(mis->itemID);
            if (!item) return false;
            HDC dc = GetDC(nullptr);
            int width = static_cast<int>(mis->itemWidth), height = static_cast<int>(mis->itemHeight);
            GuardCallback(item, [&] {
                TCanvas canvas;
                CanvasPaintScope scope(canvas, dc, MenuFont());
                item->MeasureItem(canvas, width, height);
            });
            ReleaseDC(nullptr, dc);
            mis->itemWidth = static_cast<UINT>(std::max(width, 0));
            mis->itemHeight = static_cast<UINT>(std::max(height, 0));
            result = TRUE;
            return true;
        }
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            if (!dis || dis->CtlType != ODT_MENU) return false;
            TMenuItem* item = TMenuItem::FindByCommand(dis->itemID);
            if (!item) return false;
            TOwnerDrawState state = 0;
            if (dis->itemState & ODS_SELECTED) state |= odSelected;
            if (dis->itemState & ODS_GRAYED) state |= odGrayed;
            if (dis->itemState & ODS_DISABLED) state |= odDisabled;
            if (dis->itemState & ODS_CHECKED) state |= odChecked;
            if (dis->itemState & ODS_FOCUS) state |= odFocused;
            if (dis->itemState & ODS_DEFAULT) state |= odDefault;
            if (dis->itemState & ODS_NOACCEL) state |= odNoAccel;
            GuardCallback(item, [&] {
                SavedDCState saved(dis->hDC);
                TCanvas canvas;
                CanvasPaintScope scope(canvas, dis->hDC, MenuFont());
                item->DrawItem(canvas, dis->rcItem, state);
            });
            result = TRUE;
            return true;
        }
        case WM_INITMENUPOPUP: {
            TMenuItem* item = FindBySubMenu(reinterpret_cast<HMENU>(wParam));
            if (!item) return false;
            GuardCallback(item, [item] { item->Click(); });
            result = 0;
            return true;
        }
        case WM_MENUSELECT: {
            const UINT id = LOWORD(wParam), flags = HIWORD(wParam);
            HMENU menu = reinterpret_cast<HMENU>(lParam);
            if (!menu) return false;  // the menu closed
            TMenuItem* item = (flags & MF_POPUP) ? FindBySubMenu(GetSubMenu(menu, static_cast<int>(id)))
                                                 : TMenuItem::FindByCommand(id);
            if (!item) return false;
            GuardCallback(item, [item] { item->Select(); });
            result = 0;
            return true;
        }
        default:
            return false;
    }
}

}  // namespace fw
