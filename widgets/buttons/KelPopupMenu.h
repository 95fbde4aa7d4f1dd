// TKelPopupMenu: a popup menu whose items are all owner-drawn through a
// menu styler. Items keep measure and draw handlers that the user set.
// Each open menu window is subclassed, clipped by a region that hides the
// reserve at its right, nudged into place and framed in two rings.
// The menu opens without animation, whatever the system's setting.
#pragma once

#include <windows.h>

#include "framework/gui/menus.h"
#include "widgets/buttons/KelMenuStyler.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel::menus {

class TKelPopupMenu : public fw::TPopupMenu, public IStyledMenu, public IKelVersion {
public:
    explicit TKelPopupMenu(fw::TComponent* owner);
    ~TKelPopupMenu() override;

    // Null means the menu's own default styler.
    TCustomKelMenuStyler* MenuStyler() const { return menu_styler_; }
    void SetMenuStyler(TCustomKelMenuStyler* styler) override;
    fw::TImageList* DisabledImages() const { return disabled_images_; }
    void SetDisabledImages(fw::TImageList* images);
    bool ShowNotes() const { return show_notes_; }
    bool IntlKeybShortCuts() const { return intl_keyb_short_cuts_; }

    // Corrects the point for the hidden reserve, then pops up.
    void Popup(int x, int y) override;
    void PopupAtPoint(POINT p) { Popup(p.x, p.y); }
    uint32_t GetVersionNr() const override { return 0x02050303; }

    // IStyledMenu
    void UpdateItems() override { fw::TPopupMenu::MenuChanged(); }
    fw::TMenu* GetMenu() override { return this; }
    TCustomKelMenuStyler* GetMenuStyler() const override { return menu_styler_; }
    TCustomKelMenuStyler* GetCurrentStyler() const override { return current_styler_; }
    bool GetShowNotes() const override { return show_notes_; }
    void SetShowNotes(bool value) override { show_notes_ = value; }
    bool GetIntlKeybShortCuts() const override { return intl_keyb_short_cuts_; }
    void SetIntlKeybShortCuts(bool value) override { intl_keyb_short_cuts_ = value; }
    fw::TImageList* GetDisabledImages() const override { return disabled_images_; }

    // The x at which the menu opens for a popup at x, given the first item's
    // measured width and the desktop width.
    static int CorrectedPopupX(int x, int firstItemWidth, int desktopWidth, fw::TPopupAlignment alignment);

protected:
    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    void MenuChanged() override;

private:
    struct MeasureHandler;
    struct DrawHandler;
    void CreateInternalStyler();
    // Gives every item below `parent` the styled measure and draw handlers,
    // unless it has its own.
    void HookMenuItems(fw::TMenuItem* parent);
    // Treats the menu window after an item is painted.
    void FrameMenuWindow(fw::TMenuItem* item, fw::TCanvas& canvas);

    TCustomKelMenuStyler* menu_styler_ = nullptr;
    TCustomKelMenuStyler* internal_styler_ = nullptr;
    TCustomKelMenuStyler* current_styler_ = nullptr;
    bool show_notes_ = true;
    fw::TImageList* disabled_images_ = nullptr;
    bool intl_keyb_short_cuts_ = false;
};

// Whether the item's submenu window lies right of its parent item.
bool SubmenuOpensRight(fw::TMenuItem* item);
// 0 for the items of a menu's first level.
int ItemDepth(fw::TMenuItem* item);

}  // namespace kel::menus
