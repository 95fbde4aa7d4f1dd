// Menus: TMenuItem (caption, check marks and radio groups, shortcut, image,
// sub-items, click and owner-draw events), TPopupMenu (pops up at a point,
// from code or from a control's PopupMenu on right-click) and TMainMenu (a
// form's menu bar).
//
// The system's menus send their messages (WM_COMMAND, WM_MEASUREITEM,
// WM_DRAWITEM, WM_INITMENUPOPUP, WM_MENUSELECT) to the window that owns
// them: a popup menu's to the hidden popup-list window (PopupListWindow), a
// menu bar's to its form. Both hand them to DispatchMenuMessage, which finds
// the item by its command identifier (or, for a sub-menu, its handle).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/control.h"

namespace fw {

class TImageList;
class TMenu;
class TBasicAction;
class TMenuActionLink;

using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+S", "Shift+F5", "Del"; empty for scNone.
std::wstring ShortCutToText(TShortCut shortCut);
// The system's menu font, in the menu text colour.
const TFont& MenuFont();

enum TOwnerDrawStateFlag : unsigned {
    odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32, odNoAccel = 64,
};
using TOwnerDrawState = unsigned;

using TMenuMeasureItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, int& width, int& height)>;
using TMenuDrawItemEvent = std::function<void(TComponent* sender, TCanvas& canvas, RECT rect, bool selected)>;
using TAdvancedMenuDrawItemEvent =
    std::function<void(TComponent* sender, TCanvas& canvas, RECT rect, TOwnerDrawState state)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(const std::wstring& caption);
    // A caption of "-" makes a separator line.
    bool IsLine() const { return caption_ == L"-"; }
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the other radio items of its group
    // among its siblings.
    void SetChecked(bool checked);
    bool RadioItem() const { return radio_item_; }
    void SetRadioItem(bool v);
    int GroupIndex() const { return group_index_; }
    void SetGroupIndex(int v);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    // Starts a new column.
    bool Break() const { return break_; }
    void SetBreak(bool v);
    TShortCut ShortCut() const { return short_cut_; }
    void SetShortCut(TShortCut v);
    int ImageIndex() const { return image_index_; }
    void SetImageIndex(int v);
    const std::wstring& Hint() const { return hint_; }
    void SetHint(const std::wstring& hint) { hint_ = hint; }
    // The linked action (actions.h): its caption, checked, enabled, hint,
    // visible, image index, shortcut and group index reach the item, and a
    // click runs it.
    TBasicAction* Action() const;
    void SetAction(TBasicAction* action);
    TMenuActionLink* ActionLink() const { return action_link_.get(); }
    // Images of the sub-items; without them the menu's.
    TImageList* SubMenuImages() const { return sub_menu_images_; }
    void SetSubMenuImages(TImageList* images);
    // The list the item's ImageIndex refers to: the parent's sub-menu
    // images, else the menu's images.
    TImageList* GetImageList() const;
    // A picture shown in the item's icon column; made on first use.
    TBitmap& Bitmap();
    bool HasBitmap() const { return bitmap_ && !bitmap_->Empty(); }

    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<size_t>(index)); }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    // Takes the item out without freeing it.
    void Remove(TMenuItem* item);
    // Frees the sub-items.
    void Clear();
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return parent_; }
    TMenu* GetParentMenu() const;
    int MenuIndex() const { return parent_ ? parent_->IndexOf(this) : -1; }

    // The command identifier of WM_COMMAND, WM_MEASUREITEM and WM_DRAWITEM.
    UINT Command() const { return command_; }
    // The sub-menu's handle while the menu is built; null without sub-items.
    HMENU Handle() const { return sub_menu_; }
    static TMenuItem* FindByCommand(UINT command);

    virtual void Click();
    // The owner-draw steps: the events when set, else a plain caption.
    virtual void MeasureItem(TCanvas& canvas, int& width, int& height);
    virtual void DrawItem(TCanvas& canvas, RECT rect, TOwnerDrawState state);

    TNotifyEvent OnClick;
    // Fires when the item is highlighted in an open menu.
    TNotifyEvent OnSelect;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;
    TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;

protected:
    void Notification(TComponent* component, TOperation operation) override;
    // The linked action was set or changed: take its properties; with
    // checkDefaults only where the item still has its default.
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
    virtual std::unique_ptr<TMenuActionLink> CreateActionLink();

private:
    friend class TMenu;
    friend bool DispatchMenuMessage(UINT, WPARAM, LPARAM, LRESULT&);
    void Changed();
    void Select();
    void BuildInto(HMENU menu, bool ownerDraw);
    void ForgetHandles();

    std::wstring caption_;
    std::wstring hint_;
    bool checked_ = false;
    bool radio_item_ = false;
    int group_index_ = 0;
    bool enabled_ = true;
    bool visible_ = true;
    bool default_ = false;
    bool break_ = false;
    TShortCut short_cut_ = scNone;
    int image_index_ = -1;
    TImageList* sub_menu_images_ = nullptr;
    std::unique_ptr<TBitmap> bitmap_;
    std::vector<TMenuItem*> items_;
    TMenuItem* parent_ = nullptr;
    TMenu* menu_ = nullptr;  // set on the root item only
    UINT command_ = 0;
    HMENU sub_menu_ = nullptr;
    std::unique_ptr<TMenuActionLink> action_link_;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;

    // The root item; the menu's items are its sub-items.
    TMenuItem* Items() const { return items_; }
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    // Items are drawn by MeasureItem and DrawItem (WM_MEASUREITEM / WM_DRAWITEM).
    bool OwnerDraw() const { return owner_draw_; }
    void SetOwnerDraw(bool v);
    // The system menu, built from the items on demand.
    HMENU Handle();
    // The window that receives the menu's messages.
    virtual HWND WindowHandle() const = 0;
    // Clicks the visible, enabled item with this shortcut; false when none has it.
    bool IsShortCut(WORD key, TShiftState shift);

protected:
    friend class TMenuItem;
    void Notification(TComponent* component, TOperation operation) override;
    virtual HMENU CreateHandle() = 0;
    // An item changed: the system menu is built again.
    virtual void MenuChanged();
    void DestroyHandle();

private:
    TMenuItem* items_;
    TImageList* images_ = nullptr;
    bool owner_draw_ = false;
    HMENU handle_ = nullptr;
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
// How a popup menu opens: slides from a side, or maNone without animation
// whatever the system's setting; none of them the system's default.
enum TMenuAnimationFlag : unsigned {
    maLeftToRight = 1, maRightToLeft = 2, maTopToBottom = 4, maBottomToTop = 8, maNone = 16
};
using TMenuAnimation = unsigned;

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner);

    // Shows the menu with its alignment point at the screen point (x, y)
    // and returns when it closes; the chosen item's OnClick follows from the
    // message loop.
    virtual void Popup(int x, int y);
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment a) { alignment_ = a; }
    // Pops up on right-click over a control whose PopupMenu it is.
    bool AutoPopup() const { return auto_popup_; }
    void SetAutoPopup(bool v) { auto_popup_ = v; }
    TMenuAnimation MenuAnimation() const { return menu_animation_; }
    void SetMenuAnimation(TMenuAnimation v) { menu_animation_ = v; }
    // The control that popped the menu up (right-click), or null.
    TComponent* PopupComponent() const { return popup_component_; }
    void SetPopupComponent(TComponent* c) { popup_component_ = c; }
    HWND WindowHandle() const override;
    TNotifyEvent OnPopup;

protected:
    HMENU CreateHandle() override;
    void MenuChanged() override;

private:
    bool tracking_ = false;
    bool changed_while_tracking_ = false;
    TPopupAlignment alignment_ = TPopupAlignment::paLeft;
    bool auto_popup_ = true;
    TMenuAnimation menu_animation_ = 0;
    TComponent* popup_component_ = nullptr;
};

class TForm;

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner);
    HWND WindowHandle() const override;

protected:
    friend class TForm;
    HMENU CreateHandle() override;
    void MenuChanged() override;

private:
    TForm* form_ = nullptr;  // set by TForm::SetMenu
};

// The hidden window that owns every popup menu of the program.
HWND PopupListWindow();
// Hands a menu message to its item; true (and the result) when it was one.
bool DispatchMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace fw
