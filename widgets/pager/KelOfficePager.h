// TKelOfficePager, a container of TKelOfficePage children that shows one of
// them (the active page) and draws a strip of office-style tabs along one
// side; and the page. The pager takes its colours from a styler, its own
// internal one unless an external one is set.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/gui/custom_control.h"
#include "widgets/buttons/KelGlowButton.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/KelHintInfo.h"
#include "widgets/pager/KelOfficePagerStyler.h"
#include "widgets/pager/KelPagerLayout.h"

namespace fw {
class TImageList;
class TPopupMenu;
class TTimer;
}  // namespace fw

namespace kel::pager {

class TKelOfficePager;
struct TBodyColors;

// The drop arrow of a tab reorder drag: a small popup window shaped as an
// arrow (direction 0 up, 1 down, 2 right, 3 left).
class TArrowWindow : public fw::TCustomControl {
public:
    TArrowWindow(fw::TComponent* owner, int direction);
    int Direction() const { return direction_; }

protected:
    void CreateParams(fw::TCreateParams& params) override;
    void CreateHandleDone() override;
    void Paint() override;

private:
    int direction_;
};

using TTabChangingEvent = std::function<void(fw::TComponent* sender, int fromIndex, int toIndex, bool& allowChange)>;
using TTabMovedEvent = std::function<void(fw::TComponent* sender, int fromIndex, int toIndex)>;
using TTabIndexEvent = std::function<void(fw::TComponent* sender, int tabIndex)>;
// Draws a tab's caption and images in place of the built-in drawing.
using TDrawTabEvent = std::function<void(fw::TComponent* sender, int tabIndex, const RECT& tabRect)>;

class TKelOfficePage : public fw::TCustomControl {
public:
    explicit TKelOfficePage(fw::TComponent* owner);
    ~TKelOfficePage() override;

    TKelOfficePager* Pager() const { return pager_; }
    // Moves the page into another pager (or out of any, for null).
    void SetPager(TKelOfficePager* pager);
    // Parent changes follow the pager rules: a page dropped on a page moves
    // to its place; into another pager it moves there.
    void SetParent(fw::TWinControl* parent) override;

    void SetCaption(const std::wstring& caption) override;
    const std::wstring& WideCaption() const { return wideCaption_; }
    void SetWideCaption(const std::wstring& v);
    // The tab's text: Caption, else WideCaption.
    const std::wstring& TabCaption() const { return Caption().empty() ? wideCaption_ : Caption(); }
    bool TabVisible() const { return tabVisible_; }
    void SetTabVisible(bool v);
    bool TabEnabled() const { return tabEnabled_; }
    void SetTabEnabled(bool v);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int v);
    TGDIPPicture& Picture() { return picture_; }
    void SetPicture(const TGDIPPicture& p);
    TGDIPPicture& DisabledPicture() { return disabledPicture_; }
    void SetDisabledPicture(const TGDIPPicture& p);
    const std::wstring& TabHint() const { return tabHint_; }
    void SetTabHint(const std::wstring& v) { tabHint_ = v; }
    TKelHintInfo& OfficeHint() { return officeHint_; }
    void SetOfficeHint(const TKelHintInfo& v) { officeHint_.Assign(&v); }
    bool ShowClose() const { return showClose_; }
    void SetShowClose(bool v);
    bool ShowCheckBox() const { return showCheckBox_; }
    void SetShowCheckBox(bool v);
    bool Checked() const { return checked_; }
    void SetChecked(bool v);
    bool Glow() const { return glow_; }
    void SetGlow(bool v);
    fw::TColor GlowColor() const { return glowColor_; }
    void SetGlowColor(fw::TColor v) { glowColor_ = v; }
    int PageIndex() const;
    void SetPageIndex(int v);
    const std::wstring& ShortCutHint() const { return shortCutHint_; }
    void SetShortCutHint(const std::wstring& v) { shortCutHint_ = v; }
    TShortCutHintPos ShortCutHintPos() const { return shortCutHintPos_; }
    void SetShortCutHintPos(TShortCutHintPos v) { shortCutHintPos_ = v; }
    TTabAppearance& TabAppearance() { return tabAppearance_; }
    void SetTabAppearance(const TTabAppearance& v) { tabAppearance_.Assign(v); }
    bool UseTabAppearance() const { return useTabAppearance_; }
    void SetUseTabAppearance(bool v);
    TVistaBackground& PageAppearance() { return pageAppearance_; }
    void SetPageAppearance(const TVistaBackground& v) { pageAppearance_.Assign(v); }
    bool UsePageAppearance() const { return usePageAppearance_; }
    void SetUsePageAppearance(bool v);
    TTabProgress& Progress() { return progress_; }
    void SetProgress(const TTabProgress& v) { progress_.Assign(v); }

    // The tab's own close button (while the pager shows close buttons on tabs).
    glow::TKelGlowButton* CloseButton() const { return closeButton_; }
    void SetCloseButton(glow::TKelGlowButton* b) { closeButton_ = b; }

    // Gives the focus to the first focusable child.
    void SelectFirst();
    void ShowShortCutHint();
    void HideShortCutHint();

    fw::TNotifyEvent OnShow;
    fw::TNotifyEvent OnHide;

    // Hover and press fades (levels are blend percentages).
    enum TFadeMode { fmHover = 0, fmPress = 1, fmIdle = 2 };
    int HoverLevel() const { return hoverLevel_; }
    int PressLevel() const { return pressLevel_; }
    int FadeStep() const { return fadeStep_; }
    TFadeMode FadeMode() const { return fadeMode_; }
    bool Fading() const { return fadeTimer_ != nullptr; }

    void SetVisible(bool visible) override;
    // Aligned children keep 2 pixels free on every side.
    RECT AlignRect() const override;

protected:
    friend class TKelOfficePager;
    void Paint() override;
    void CreateParams(fw::TCreateParams& params) override;
    void EnabledChanged() override;
    void TabAppearanceChanged();
    void TabAppearanceFontChanged();
    void PictureChanged();
    void RepaintPager();

private:
    TKelOfficePager* pager_ = nullptr;
    fw::TTimer* fadeTimer_ = nullptr;
    int fadeStep_ = 0;
    int hoverLevel_ = 0;
    int pressLevel_ = 0;
    TFadeMode fadeMode_ = fmHover;
    bool moving_ = false;
    glow::TShortCutHintWindow* hintWindow_ = nullptr;
    glow::TKelGlowButton* closeButton_ = nullptr;
    std::wstring wideCaption_;
    bool tabVisible_ = true;
    bool tabEnabled_ = true;
    int imageIndex_ = -1;
    TGDIPPicture picture_;
    TGDIPPicture disabledPicture_;
    std::wstring tabHint_;
    TKelHintInfo officeHint_;
    bool showClose_ = true;
    bool showCheckBox_ = false;
    bool checked_ = false;
    bool glow_ = false;
    fw::TColor glowColor_ = fw::clRed;
    std::wstring shortCutHint_;
    TShortCutHintPos shortCutHintPos_ = glow::shpTop;
    TTabAppearance tabAppearance_;
    bool useTabAppearance_ = false;
    TVistaBackground pageAppearance_;
    bool usePageAppearance_ = false;
    TTabProgress progress_;
};

class TKelOfficePager : public fw::TCustomControl, public IPagerStylerClient, public IKelVersion {
public:
    explicit TKelOfficePager(fw::TComponent* owner);
    ~TKelOfficePager() override;

    // A pager nests in another pager only through a page.
    void SetParent(fw::TWinControl* parent) override;

    // Page list and selection.
    int AddPage(TKelOfficePage* page);
    void RemovePage(TKelOfficePage* page);
    void MovePage(int curIndex, int newIndex);
    int PageCount() const { return static_cast<int>(pages_.size()); }
    // Raises "Index out of bounds in list read access" outside the list.
    TKelOfficePage* Page(int index);
    int IndexOfPage(const TKelOfficePage* page) const;
    int ActivePageIndex() const { return activeIndex_; }
    TKelOfficePage* ActivePage() const;
    // A page that is not in this pager (or null) is ignored.
    void SetActivePage(TKelOfficePage* page);
    void SelectPage(int index);
    void ChangeActivePage(int index);
    void SelectNextPage(bool goForward);
    bool IsTabVisible(int index) const;
    int VisibleTabCount() const;
    bool NeedsCloseButton() const;

    // Pages whose tab is hidden, under their names, in the order they left.
    struct TClosedPage {
        std::wstring Name;
        TKelOfficePage* Page;
    };
    const std::vector<TClosedPage>& ClosedPages() const { return closedPages_; }

    // Geometry.
    RECT PageRect() const;
    void SetPageBounds(TKelOfficePage* page);
    void UpdatePageBounds();
    // The band of the tab strip along the pager's side.
    RECT StripRect() const;
    // The strip geometry for the current settings, tabs and scroller.
    TPagerLayout Layout() const;
    // A tab's rectangle as shown; left -1 when the tab is out of view.
    RECT TabRect(int index) const;
    // The lowest page index whose shown tab holds the point, else -1.
    int TabAtPos(int x, int y) const;
    // A tab's close button (-1: the pager's own), its check box, and
    // whether a point lies in that check box.
    RECT CloseButtonRect(int index) const;
    RECT CheckBoxRect(int index) const;
    bool PtInTabCheckBox(int index, int x, int y) const;
    // -1 for the nearest visible tab before the active one, +1 after it.
    int TabNeighbourSide(int index) const;
    // Where the button area starts along the strip.
    int ButtonAreaStart() const;
    void InvalidateTab(int index);

    // Styler.
    TCustomKelOfficePagerStyler* KelOfficePagerStyler() const { return externalStyler_; }
    void SetKelOfficePagerStyler(TCustomKelOfficePagerStyler* styler);
    TCustomKelOfficePagerStyler* CurrentStyler() const { return currentStyler_; }
    TCustomKelOfficePagerStyler* InternalStyler() const { return internalStyler_; }
    void StylerChanged(int kind) override;

    // Settings.
    TPagerTabSettings& TabSettings() { return tabSettings_; }
    void SetTabSettings(const TPagerTabSettings& v) { tabSettings_.Assign(v); }
    TPageButtonSettings& ButtonSettings() { return *buttonSettings_; }
    void SetButtonSettings(const TPageButtonSettings& v);
    TPagerTabScroller& TabScroller() { return scroller_; }
    TKelHintInfo& OfficeHint() { return officeHint_; }
    void SetOfficeHint(const TKelHintInfo& v) { officeHint_.Assign(&v); }

    TPagerAntiAlias AntiAlias() const { return antiAlias_; }
    void SetAntiAlias(TPagerAntiAlias v);
    bool CloseOnTab() const { return closeOnTab_; }
    void SetCloseOnTab(bool v);
    TCloseOnTabPos CloseOnTabPosition() const { return closeOnTabPosition_; }
    void SetCloseOnTabPosition(TCloseOnTabPos v);
    fw::TImageList* Images() const { return images_; }
    void SetImages(fw::TImageList* v);
    fw::TImageList* DisabledImages() const { return disabledImages_; }
    void SetDisabledImages(fw::TImageList* v);
    fw::TPopupMenu* PageListMenu() const { return pageListMenu_; }
    void SetPageListMenu(fw::TPopupMenu* v) { pageListMenu_ = v; }
    fw::TPopupMenu* ClosedListMenu() const { return closedListMenu_; }
    void SetClosedListMenu(fw::TPopupMenu* v) { closedListMenu_ = v; }
    int FixedTabs() const { return fixedTabs_; }
    void SetFixedTabs(int v);
    bool FreeOnClose() const { return freeOnClose_; }
    void SetFreeOnClose(bool v) { freeOnClose_ = v; }
    bool Glow() const { return glow_; }
    void SetGlow(bool v) { glow_ = v; }
    int PageMargin() const { return pageMargin_; }
    void SetPageMargin(int v);
    bool RotateTabLeftRight() const { return rotateTabLeftRight_; }
    void SetRotateTabLeftRight(bool v);
    bool ShowCloseOnNonSelectedTabs() const { return showCloseOnNonSelectedTabs_; }
    void SetShowCloseOnNonSelectedTabs(bool v);
    bool ShowNonSelectedTabs() const { return showNonSelectedTabs_; }
    void SetShowNonSelectedTabs(bool v);
    bool ShowShortCutHints() const { return showShortCutHints_; }
    void SetShowShortCutHints(bool v) { showShortCutHints_ = v; }
    bool ShowTabHint() const { return showTabHint_; }
    void SetShowTabHint(bool v) { showTabHint_ = v; }
    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition v);
    bool TabReorder() const { return tabReorder_; }
    void SetTabReorder(bool v) { tabReorder_ = v; }
    fw::TColor TabReorderIndicatorColor() const { return tabReorderIndicatorColor_; }
    void SetTabReorderIndicatorColor(fw::TColor v) { tabReorderIndicatorColor_ = v; }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    uint32_t GetVersionNr() const override { return 33619970; }
    bool GlassCapable() const { return glassCapable_; }
    bool Initialised() const { return initialised_; }

    // After the form has been built from its description: marks the pager
    // initialised, so OnChanging fires from now on.
    void AfterLoad();
    // While the form is being built: the active page is selected silently.
    void BeginLoad() { loading_ = true; }

    // Index of the tab the hint is for (set by the mouse handling).
    void SetHintTab(int index) { hintTab_ = index; }
    void DoTabMouseEnter(int tabIndex);
    void DoTabMouseLeave(int tabIndex);
    void HintShow(std::wstring& hint, POINT& screenPos) override;

    // Painting of the strip and its tabs.
    bool UseGlass() const;
    void DrawTabStrip();
    void DrawButtonsFrame();
    void DrawTab(int index);
    // The body and its lines on `canvas` at `rect` (the tab's rectangle
    // there); throughBitmap: the body goes on a bitmap keyed on its fill.
    void DrawTabBody(int index, const TBodyColors& colors, fw::TColor highlight, fw::TCanvas& canvas,
                     const RECT& rect, bool throughBitmap = false);
    // The active tab with close buttons on tabs: painted on a bitmap first,
    // then put on the canvas.
    void DrawActiveTabThroughBitmap(int index, const TBodyColors& colors, fw::TColor highlight);
    // Caption, image-list image and picture of a tab.
    void DrawTabContent(int index);
    // Any button of the button area shows.
    bool ButtonsShown() const;

    // Layout and buttons that follow a change.
    void UpdateTabScroller();
    void UpdateButtons();
    void RepaintActivePage();

    // The registered message that frees a removed page's close button.
    static UINT DestroyCloseButtonMessage();

    // Pointer input on the tab strip.
    void MouseMove(fw::TShiftState shift, int x, int y) override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    void MouseLeave() override;
    void MouseUp(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;
    // Arrow keys select the previous or next page; Escape ends the hints.
    void KeyDown(WORD& key, fw::TShiftState shift) override;
    void DblClick() override;
    int HotTab() const { return hotTab_; }
    TArrowWindow* ReorderIndicator() const { return reorderIndicator_; }
    // The glow of pages with Glow: a 70 ms timer swinging the level.
    bool HasGlowingPage() const;
    void UpdateGlowTimer();
    void GlowTimerTick();
    // Starts (with the pager's Glow) or steers a page's fade.
    void StartFade(TKelOfficePage* page, int step, TKelOfficePage::TFadeMode mode);
    void PageFadeTimerTick(TKelOfficePage* page);
    int GlowLevel() const { return glowLevel_; }
    bool GlowRunning() const;
    int PressedTab() const { return downTab_; }

    fw::TNotifyEvent OnChange;
    TTabChangingEvent OnChanging;
    TTabIndexEvent OnTabClick;
    TTabIndexEvent OnTabRightClick;
    TTabIndexEvent OnTabCheckBoxClick;
    TTabIndexEvent OnTabDblClick;
    TDrawTabEvent OnDrawTab;
    using TClosePageEvent = std::function<void(fw::TComponent* sender, int pageIndex, bool& allow)>;
    TClosePageEvent OnClosePage;
    TTabIndexEvent OnClosedPage;
    fw::TNotifyEvent OnFirstClick;
    fw::TNotifyEvent OnPrevClick;
    fw::TNotifyEvent OnNextClick;
    fw::TNotifyEvent OnLastClick;

    // The strip's buttons and what they do.
    enum TStripButton { sbFirst, sbPrev, sbNext, sbLast, sbPageList, sbClose, sbClosedList, sbCount };
    glow::TKelGlowButton* StripButton(TStripButton which) const { return buttons_[which]; }
    void ScrollToFirst();
    void ScrollToLast();
    void ScrollPrev();
    void ScrollNext();
    // Closes the page of a tab close button (by its Tag) or the active page.
    void ClosePage(glow::TKelGlowButton* tabButton = nullptr);
    // Brings the closed page at `position` of the closed-pages list back.
    void ReopenPage(int position);
    // The menus of the page-list and closed-list buttons (OnPageListClick
    // and OnClosedListClick take the place of the menu when set).
    void ShowPageList();
    void ShowClosedPages();
    using TMenuPointEvent = std::function<void(fw::TComponent* sender, int x, int y)>;
    TMenuPointEvent OnPageListClick;
    TMenuPointEvent OnClosedListClick;
    TTabMovedEvent OnTabMoved;
    TTabIndexEvent OnTabMouseEnter;
    TTabIndexEvent OnTabMouseLeave;

protected:
    friend class TKelOfficePage;
    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The paint message through a buffered paint with opaque alpha, for
    // glass on a composited desktop.
    LRESULT GlassPaint();
    void Paint() override;
    void Resize() override;
    void VisibleChanged() override;
    void TabSettingsChanged();
    void ButtonSettingsChanged();
public:
    // The pages' shortcut hints (with ShowShortCutHints): typing a hint
    // selects its page. While they show, the form's sizing, moving, clicks,
    // minimising and maximising hide them.
    void ShowShortCutHints();
    void HideShortCutHints();
    bool ShortCutHintMode() const { return shortCutHintMode_; }
    const std::wstring& TypedShortCut() const { return typedShortCut_; }

protected:
    static LRESULT CALLBACK HookedFormWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR data);
    void UnhookForm();
    // A typed key in shortcut-hint mode; false when it matched no hint.
    bool TypeShortCutKey(WORD key);
    // Ctrl+Tab comes to the pager; the page whose caption has the
    // accelerator is selected.
    bool WantsDialogKey(WORD key) override;
    // Ctrl+Tab and Ctrl+Shift+Tab while the focus is inside the pager.
    bool DialogKeyAction(WORD key, fw::TWinControl* focused) override;
    bool DialogCharAction(wchar_t ch, fw::TShiftState shift) override;
    void LeaveHotTab();
    glow::TKelGlowButton* MakeButton(glow::TKelGlowButton*& slot, const TGDIPPicture& picture,
                                     const std::wstring& hint);
    void FreeButton(glow::TKelGlowButton*& slot);
    void PlaceButton(glow::TKelGlowButton* button, const RECT& r, bool visible);
    void UpdateClosedListButton();
    void AfterScroll();
    // Screen point of a menu under a strip button; moved above it on a
    // bottom strip when a menu of `items` would leave the monitor.
    POINT MenuPoint(glow::TKelGlowButton* button, int items, bool closedList) const;
    bool InStrip(int x, int y) const;
    void FreeHintWindow(glow::TShortCutHintWindow* window);
    glow::TShortCutHintWindow* CreateHintWindow();
    void TakeOutOfClosedList(TKelOfficePage* page);

    std::vector<TKelOfficePage*> pages_;
    int activeIndex_ = -1;
    int hotTab_ = -1;
    int hintTab_ = -1;
    int downTab_ = -1;
    int dragTab_ = -1;
    TCustomKelOfficePagerStyler* internalStyler_ = nullptr;
    TCustomKelOfficePagerStyler* externalStyler_ = nullptr;
    TCustomKelOfficePagerStyler* currentStyler_ = nullptr;
    TPagerTabScroller scroller_;
    std::vector<TClosedPage> closedPages_;
    TPagerTabSettings tabSettings_;
    std::unique_ptr<TPageButtonSettings> buttonSettings_;
    TKelHintInfo officeHint_;
    std::vector<glow::TShortCutHintWindow*> hintWindows_;
    TPagerAntiAlias antiAlias_ = aaClearType;
    bool closeOnTab_ = false;
    TCloseOnTabPos closeOnTabPosition_ = cpRight;
    fw::TImageList* images_ = nullptr;
    fw::TImageList* disabledImages_ = nullptr;
    fw::TPopupMenu* pageListMenu_ = nullptr;
    fw::TPopupMenu* closedListMenu_ = nullptr;
    int fixedTabs_ = 0;
    bool freeOnClose_ = false;
    bool glow_ = true;
    int pageMargin_ = 1;
    bool rotateTabLeftRight_ = true;
    bool showCloseOnNonSelectedTabs_ = false;
    bool showNonSelectedTabs_ = false;
    bool showShortCutHints_ = false;
    bool shortCutHintMode_ = false;
    std::wstring typedShortCut_;
    HWND hookedForm_ = nullptr;
    bool showTabHint_ = false;
    TTabPosition tabPosition_ = tpTop;
    bool tabReorder_ = false;
    fw::TColor tabReorderIndicatorColor_ = fw::clBlue;
    bool transparent_ = false;
    bool initialised_ = false;
    bool loading_ = false;
    bool destroying_ = false;
    bool glassCapable_ = false;
    bool comCtl6_ = false;
    bool extendedArea_ = false;
    glow::TKelGlowButton* buttons_[sbCount] = {};
    bool closing_ = false;
    fw::TPopupMenu* internalClosedMenu_ = nullptr;
    fw::TTimer* glowTimer_ = nullptr;
    TArrowWindow* reorderIndicator_ = nullptr;
    POINT dragStart_{0, 0};
    bool dragging_ = false;
    int glowLevel_ = 0;
    int glowStep_ = 20;
    // The background under the button area, taken before the tabs are drawn.
    std::unique_ptr<fw::TBitmap> stripCache_;
    RECT stripCacheRect_{-1, -1, -1, -1};
};

}  // namespace kel::pager
