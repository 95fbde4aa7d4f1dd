// The pager container and its pages: the page list, the page switch and its
// events, tab visibility and the closed-pages list, parenting, and the
// reactions to styler and settings changes.
#include "widgets/pager/KelOfficePager.h"

#include <algorithm>

#include "framework/core/exceptions.h"
#include "framework/gui/forms.h"
#include "framework/gui/image_list.h"
#include "framework/gui/menus.h"
#include "framework/gui/timer.h"
#include "widgets/drawing/KelDWM.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel::pager {

using namespace fw;

namespace {

bool CommonControls6() {
    HMODULE lib = GetModuleHandleW(L"comctl32.dll");
    if (!lib) lib = LoadLibraryW(L"comctl32.dll");
    if (!lib) return false;
    struct DllVersion {
        DWORD cbSize, major, minor, build, platform;
    } v{sizeof(DllVersion), 0, 0, 0, 0};
    using GetVersionProc = HRESULT(CALLBACK*)(DllVersion*);
    auto proc = reinterpret_cast<GetVersionProc>(reinterpret_cast<void*>(GetProcAddress(lib, "DllGetVersion")));
    return proc && SUCCEEDED(proc(&v)) && v.major > 5;
}

// The focus is on `page` or a window inside it.
bool FocusInside(TKelOfficePage* page) {
    if (!page || !page->HandleAllocated()) return false;
    HWND focus = GetFocus();
    return focus && (focus == page->Handle() || IsChild(page->Handle(), focus));
}

}  // namespace

// ---- page ----

TKelOfficePage::TKelOfficePage(TComponent* owner) : TCustomControl(owner) {
    SetDoubleBuffered(true);
    SetBounds(0, 0, 100, 100);
    tabAppearance_.OnChange = [this] { TabAppearanceChanged(); };
    tabAppearance_.OnFontChange = [this] { TabAppearanceFontChanged(); };
    pageAppearance_.OnChange = [this] { Invalidate(); };
    progress_.OnChange = [this] { RepaintPager(); Invalidate(); };
    picture_.OnChange = [this] { PictureChanged(); };
    disabledPicture_.OnChange = [this] { PictureChanged(); };
}

TKelOfficePage::~TKelOfficePage() {
    if (pager_) pager_->RemovePage(this);
    if (fadeTimer_) fadeTimer_->OnTimer = nullptr, fadeTimer_->Free(), fadeTimer_ = nullptr;
    tabAppearance_.OnChange = nullptr;
    tabAppearance_.OnFontChange = nullptr;
    pageAppearance_.OnChange = nullptr;
    progress_.OnChange = nullptr;
    picture_.OnChange = nullptr;
    disabledPicture_.OnChange = nullptr;
}

void TKelOfficePage::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.winClassName = L"TKelOfficePage";
}

void TKelOfficePage::RepaintPager() {
    if (pager_) pager_->Invalidate();
}

void TKelOfficePage::SetPager(TKelOfficePager* pager) {
    if (pager == pager_) return;
    if (pager_) pager_->RemovePage(this);
    const bool wasMoving = moving_;
    moving_ = true;
    try {
        SetParent(pager);
    } catch (...) {
        moving_ = wasMoving;
        throw;
    }
    moving_ = wasMoving;
    if (pager) pager->AddPage(this);
    TabAppearanceFontChanged();
    if (glow_ && pager) pager->UpdateGlowTimer();
}

void TKelOfficePage::SetParent(TWinControl* parent) {
    auto* asPage = dynamic_cast<TKelOfficePage*>(parent);
    auto* asPager = dynamic_cast<TKelOfficePager*>(parent);
    if (moving_ || (!asPage && !asPager)) {
        TCustomControl::SetParent(parent);
        return;
    }
    TKelOfficePager* target = asPager ? asPager : asPage->pager_;
    if (!pager_ || !target) {
        TCustomControl::SetParent(parent);
        return;
    }
    if (target != pager_) SetPager(target);
    if (pager_ != target) throw Exception(L"Invalid Parent");
    if (asPage) {
        const int own = PageIndex(), other = asPage->PageIndex();
        if (own < 0 || other < 0 || own >= pager_->PageCount() || other >= pager_->PageCount())
            throw Exception(L"Invalid Parent " + std::to_wstring(own) + L":" + std::to_wstring(other));
        pager_->MovePage(own, other);
    }
    moving_ = true;
    TCustomControl::SetParent(pager_);
    moving_ = false;
    pager_->Invalidate();
    Invalidate();
}

void TKelOfficePage::SetVisible(bool visible) {
    const bool wasShowing = Showing();
    TCustomControl::SetVisible(visible);
    if (!wasShowing && Showing()) FireEvent(OnShow, this);
}

void TKelOfficePage::EnabledChanged() {
    Invalidate();
    RepaintPager();
}

void TKelOfficePage::SetCaption(const std::wstring& caption) {
    if (caption == Caption()) return;
    TCustomControl::SetCaption(caption);
    Invalidate();
    if (!pager_) return;
    pager_->Invalidate();
    if (pager_->CloseOnTab() && pager_->ActivePage() == this) pager_->UpdateButtons();
    pager_->UpdateTabScroller();
}

void TKelOfficePage::SetWideCaption(const std::wstring& v) {
    if (v == wideCaption_) return;
    wideCaption_ = v;
    Invalidate();
    if (!pager_ || !Caption().empty()) return;
    pager_->Invalidate();
    if (pager_->CloseOnTab() && pager_->ActivePage() == this) pager_->UpdateButtons();
    pager_->UpdateTabScroller();
}

void TKelOfficePage::SetTabVisible(bool v) {
    if (v == tabVisible_) return;
    if (pager_) {
        if (v)
            pager_->TakeOutOfClosedList(this);
        else
            pager_->closedPages_.push_back({Name(), this});
        pager_->ButtonSettingsChanged();
    }
    tabVisible_ = v;
    if (pager_) {
        if (pager_->CloseOnTab()) pager_->UpdateButtons();
        pager_->RepaintActivePage();
        pager_->Invalidate();
        pager_->UpdateTabScroller();
    }
    Invalidate();
}

void TKelOfficePage::SetTabEnabled(bool v) {
    if (v == tabEnabled_) return;
    tabEnabled_ = v;
    Invalidate();
    RepaintPager();
}

void TKelOfficePage::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Invalidate();
    RepaintPager();
}

void TKelOfficePage::SetImageIndex(int v) {
    imageIndex_ = v;
    if (!pager_) return;
    pager_->UpdateButtons();
    pager_->UpdateTabScroller();
    pager_->Invalidate();
}

void TKelOfficePage::SetPicture(const TGDIPPicture& p) {
    picture_.Assign(&p);
    RepaintPager();
    Invalidate();
}

void TKelOfficePage::SetDisabledPicture(const TGDIPPicture& p) {
    disabledPicture_.Assign(&p);
    RepaintPager();
    Invalidate();
}

void TKelOfficePage::PictureChanged() {
    if (!pager_) return;
    pager_->Invalidate();
    if (pager_->loading_) return;
    if (pager_->CloseOnTab() && pager_->ActivePage() == this) pager_->UpdateButtons();
    pager_->UpdateTabScroller();
}

void TKelOfficePage::SetShowCheckBox(bool v) {
    if (v == showCheckBox_) return;
    showCheckBox_ = v;
    if (pager_) pager_->UpdateButtons(), pager_->Invalidate();
    Invalidate();
}

void TKelOfficePage::SetShowClose(bool v) {
    if (v == showClose_) return;
    showClose_ = v;
    if (!v && closeButton_) {
        closeButton_->Free();
        closeButton_ = nullptr;
    }
    if (pager_) pager_->UpdateButtons(), pager_->Invalidate();
    Invalidate();
}

void TKelOfficePage::SetGlow(bool v) {
    if (v == glow_) return;
    glow_ = v;
    if (pager_) pager_->UpdateGlowTimer();
    RepaintPager();
}

int TKelOfficePage::PageIndex() const { return pager_ ? pager_->IndexOfPage(this) : -1; }

void TKelOfficePage::SetPageIndex(int v) {
    if (!pager_ || v < 0 || v >= pager_->PageCount()) return;
    pager_->MovePage(PageIndex(), v);
    pager_->Invalidate();
    Invalidate();
}

void TKelOfficePage::SetUseTabAppearance(bool v) {
    if (v == useTabAppearance_) return;
    useTabAppearance_ = v;
    TabAppearanceFontChanged();
    RepaintPager();
    Invalidate();
}

void TKelOfficePage::SetUsePageAppearance(bool v) {
    if (v == usePageAppearance_) return;
    usePageAppearance_ = v;
    Invalidate();
}

void TKelOfficePage::TabAppearanceChanged() {
    RepaintPager();
    Invalidate();
}

void TKelOfficePage::TabAppearanceFontChanged() {
    if (!useTabAppearance_) return;
    Invalidate();
    if (!pager_) return;
    pager_->Invalidate();
    if (pager_->CloseOnTab() && pager_->ActivePage() == this) pager_->UpdateButtons();
    pager_->UpdateTabScroller();
}

void TKelOfficePage::SelectFirst() {
    if (TWinControl* next = FindNextControl(nullptr, true)) next->SetFocus();
}

void TKelOfficePage::ShowShortCutHint() {
    if (!pager_) return;
    if (!hintWindow_) hintWindow_ = pager_->CreateHintWindow();
    hintWindow_->SetVisible(false);
    hintWindow_->SetCaption(shortCutHint_);
    const RECT r = pager_->TabRect(PageIndex());
    const POINT s = pager_->ClientToScreen(POINT{r.left, r.top});
    const int rw = r.right - r.left, rh = r.bottom - r.top;
    const SIZE size = hintWindow_->CalcHintSize(shortCutHint_);
    const int w = size.cx, h = size.cy;
    POINT at{hintWindow_->Left(), hintWindow_->Top()};
    switch (shortCutHintPos_) {
        case glow::shpLeft: at = POINT{s.x - w / 2, s.y + (rh - h) / 2}; break;
        case glow::shpTop: at = POINT{s.x + (rw - w) / 2, s.y - h / 2}; break;
        case glow::shpRight: at = POINT{s.x + rw - w / 2, s.y + (rh - h) / 2}; break;
        case glow::shpBottom: at = POINT{s.x + (rw - w) / 2, s.y + rh - h / 2}; break;
        default: break;
    }
    hintWindow_->ActivateHint(at, shortCutHint_);
}

void TKelOfficePage::HideShortCutHint() {
    if (!hintWindow_ || !pager_) return;
    hintWindow_->ReleaseHint();
    pager_->FreeHintWindow(hintWindow_);
    hintWindow_ = nullptr;
}

RECT TKelOfficePage::AlignRect() const {
    RECT r = ClientRect();
    InflateRect(&r, -2, -2);
    return r;
}

// ---- pager ----

TKelOfficePager::TKelOfficePager(TComponent* owner) : TCustomControl(owner) {
    comCtl6_ = CommonControls6();
    {
        TDwmProbe dwm;
        glassCapable_ = comCtl6_ && IsWindowsVistaOrLater() && dwm.IsDwmCompositing();
    }
    internalStyler_ = new TCustomKelOfficePagerStyler(this);
    internalStyler_->SetName(L"InternalStyler");
    currentStyler_ = internalStyler_;
    internalStyler_->AttachPager(this);
    tabSettings_.OnChange = [this] { TabSettingsChanged(); };
    buttonSettings_ = std::make_unique<TPageButtonSettings>();
    buttonSettings_->LoadPictures(GetModuleHandleW(nullptr));
    buttonSettings_->OnChange = [this] { ButtonSettingsChanged(); };
    SetDoubleBuffered(true);
    SetBounds(0, 0, 400, 200);
    SetShowHint(false);
    {
        TKelOfficePagerOfficeStyler preset(nullptr);
        preset.SetStyle(psOffice2007Luna);
        internalStyler_->Assign(preset);
        internalStyler_->GlowButtonAppearance().Assign(&preset.GlowButtonAppearance());
    }
}

TKelOfficePager::~TKelOfficePager() {
    destroying_ = true;
    if (externalStyler_ && externalStyler_ != internalStyler_) {
        externalStyler_->DetachPager(this);
        RemoveFreeNotification(externalStyler_);
    }
    currentStyler_ = nullptr;
    delete internalStyler_;
    internalStyler_ = nullptr;
    // Fade timers are ours and go with us.
    for (TKelOfficePage* p : pages_) p->pager_ = nullptr, p->fadeTimer_ = nullptr;
    pages_.clear();
    tabSettings_.OnChange = nullptr;
    buttonSettings_->OnChange = nullptr;
    UnhookForm();
}

void TKelOfficePager::SetParent(TWinControl* parent) {
    if (dynamic_cast<TKelOfficePager*>(parent)) throw Exception(L"Invalid Parent");
    TCustomControl::SetParent(parent);
    if (!initialised_ && !loading_ && parent) {
        initialised_ = true;
        UpdateButtons();
    }
}

void TKelOfficePager::AfterLoad() {
    loading_ = false;
    initialised_ = true;
    UpdateButtons();
    UpdateTabScroller();
}

int TKelOfficePager::AddPage(TKelOfficePage* page) {
    const int existing = IndexOfPage(page);
    if (existing >= 0) return existing;
    pages_.push_back(page);
    const int index = PageCount() - 1;
    if (page->Parent() != this) {
        const bool wasMoving = page->moving_;
        page->moving_ = true;
        page->TCustomControl::SetParent(this);
        page->moving_ = wasMoving;
    }
    page->pager_ = this;
    SetPageBounds(page);
    if (page != ActivePage()) page->TCustomControl::SetVisible(false);
    InvalidateTab(-1);
    if (TKelOfficePage* active = ActivePage()) {
        active->BringToFront();
        active->Invalidate();
    }
    UpdateTabScroller();
    return index;
}

void TKelOfficePager::TakeOutOfClosedList(TKelOfficePage* page) {
    closedPages_.erase(std::remove_if(closedPages_.begin(), closedPages_.end(),
                                      [page](const TClosedPage& c) { return c.Page == page; }),
                       closedPages_.end());
}

void TKelOfficePager::RemovePage(TKelOfficePage* page) {
    const int index = IndexOfPage(page);
    if (index < 0) return;
    const int target = index < activeIndex_ ? activeIndex_ - 1 : activeIndex_;
    if (page == ActivePage()) SelectNextPage(true);
    TKelOfficePage* active = ActivePage();
    // By page, not by name: pages need not have a (distinct) name.
    TakeOutOfClosedList(page);
    pages_.erase(pages_.begin() + index);
    page->pager_ = nullptr;
    // Its fade timer is ours: it does not follow the page elsewhere.
    if (page->fadeTimer_) {
        page->fadeTimer_->OnTimer = nullptr;
        page->fadeTimer_->Free();
        page->fadeTimer_ = nullptr;
        page->fadeMode_ = TKelOfficePage::fmIdle;
    }
    if (glow::TKelGlowButton* button = page->closeButton_) {
        page->closeButton_ = nullptr;
        if (HandleAllocated())
            PostMessageW(Handle(), DestroyCloseButtonMessage(), reinterpret_cast<WPARAM>(button), 0);
        else
            button->Free();
    }
    // Keep the index on the page that is active now, so that selecting the
    // target below does not switch away from (and hide) an unrelated page.
    if (active && active != page) activeIndex_ = IndexOfPage(active);
    SelectPage(target);
    if (!destroying_) {
        UpdateButtons();
        UpdateTabScroller();
    }
    InvalidateTab(-1);
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::MovePage(int curIndex, int newIndex) {
    if (curIndex < 0 || curIndex >= PageCount() || newIndex < 0 || newIndex >= PageCount()) return;
    TKelOfficePage* active = ActivePage();
    TKelOfficePage* moved = pages_[size_t(curIndex)];
    pages_.erase(pages_.begin() + curIndex);
    pages_.insert(pages_.begin() + newIndex, moved);
    if (active) activeIndex_ = IndexOfPage(active);
    UpdateTabScroller();
    FireEvent(OnTabMoved, this, curIndex, newIndex);
}

TKelOfficePage* TKelOfficePager::Page(int index) { return PagerListGet(pages_, index); }

int TKelOfficePager::IndexOfPage(const TKelOfficePage* page) const {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    return it == pages_.end() ? -1 : int(it - pages_.begin());
}

TKelOfficePage* TKelOfficePager::ActivePage() const {
    return activeIndex_ >= 0 && activeIndex_ < PageCount() ? pages_[size_t(activeIndex_)] : nullptr;
}

void TKelOfficePager::SetActivePage(TKelOfficePage* page) {
    const int index = IndexOfPage(page);
    if (index < 0) return;
    SelectPage(index);
}

void TKelOfficePager::SelectPage(int index) {
    if (index >= 0 && index < PageCount() && TabRect(index).left == -1) {
        int before = 0;
        for (int i = 0; i < index; ++i)
            if (pages_[size_t(i)]->TabVisible()) ++before;
        scroller_.SetPosition(std::min(before, scroller_.Max()));
    }
    ChangeActivePage(index);
    if (HandleAllocated()) {
        const RECT strip = StripRect();
        InvalidateRect(Handle(), &strip, TRUE);
    }
}

void TKelOfficePager::ChangeActivePage(int index) {
    if (index < 0 || index >= PageCount()) return;
    if (index == activeIndex_ && PageCount() > 1) return;
    if (shortCutHintMode_) HideShortCutHints();
    if (OnChanging && initialised_ && !destroying_) {
        bool allow = true;
        FireEvent(OnChanging, this, activeIndex_, index, allow);
        if (!allow) return;
    }
    TForm* form = GetParentForm(this);
    TKelOfficePage* old = ActivePage();
    const bool focusOnOld = form && old && FocusInside(old);
    if (old) {
        old->TCustomControl::SetVisible(false);
        FireEvent(old->OnHide, old);
    }
    activeIndex_ = index;
    UpdateButtons();
    TKelOfficePage* now = ActivePage();
    if (now && Visible()) {
        if (now->ControlCount() == 0) {
            now->SetVisible(true);
            now->BringToFront();
        }
        if (form && old && focusOnOld) {
            if (now->CanFocus())
                now->SetFocus();
            else
                SetFocus();
        }
    }
    if (Visible()) {
        if (form && now && focusOnOld) now->SelectFirst();
        if (now) {
            now->SetVisible(true);
            now->BringToFront();
        }
    }
    if (OnChange && !destroying_ && !loading_) FireEvent(OnChange, this);
}

void TKelOfficePager::SelectNextPage(bool goForward) {
    if (activeIndex_ < 0) return;
    const int count = PageCount();
    int i = activeIndex_;
    for (int step = 0; step < count; ++step) {
        i = goForward ? (i + 1 >= count ? 0 : i + 1) : (i - 1 < 0 ? count - 1 : i - 1);
        if (i < 0 || i >= count) continue;
        TKelOfficePage* p = pages_[size_t(i)];
        if (i != activeIndex_ && p->TabVisible() && p->TabEnabled()) {
            SelectPage(i);
            return;
        }
    }
}

bool TKelOfficePager::IsTabVisible(int index) const {
    return index >= 0 && index < PageCount() && pages_[size_t(index)]->TabVisible();
}

int TKelOfficePager::VisibleTabCount() const {
    return int(std::count_if(pages_.begin(), pages_.end(), [](TKelOfficePage* p) { return p->TabVisible(); }));
}

bool TKelOfficePager::NeedsCloseButton() const {
    const TKelOfficePage* active = ActivePage();
    if (buttonSettings_->CloseButton() && (!active || active->ShowClose())) return true;
    return showCloseOnNonSelectedTabs_ && PageCount() > 0;
}

RECT TKelOfficePager::PageRect() const {
    const RECT c = ClientRect();
    const TPagerRect r =
        PagerPageRect(TPagerRect{c.left, c.top, c.right, c.bottom}, tabPosition_, tabSettings_.Height(), pageMargin_);
    return RECT{r.Left, r.Top, r.Right, r.Bottom};
}

void TKelOfficePager::SetPageBounds(TKelOfficePage* page) {
    if (!page || page->pager_ != this) return;
    const RECT r = PageRect();
    page->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TKelOfficePager::UpdatePageBounds() {
    for (TKelOfficePage* p : pages_) SetPageBounds(p);
}

RECT TKelOfficePager::StripRect() const {
    RECT r = ClientRect();
    const int h = tabSettings_.Height();
    switch (tabPosition_) {
        case tpTop: r.bottom = r.top + h; break;
        case tpBottom: r.top = r.bottom - h; break;
        case tpLeft: r.right = r.left + h; break;
        case tpRight: r.left = r.right - h; break;
    }
    return r;
}

void TKelOfficePager::InvalidateTab(int index) {
    if (!HandleAllocated()) return;
    RECT r = index >= 0 && index < PageCount() ? TabRect(index) : StripRect();
    if (r.left == -1) r = StripRect();
    InvalidateRect(Handle(), &r, TRUE);
}

void TKelOfficePager::RepaintActivePage() {
    if (TKelOfficePage* p = ActivePage()) p->Invalidate();
}

void TKelOfficePager::SetKelOfficePagerStyler(TCustomKelOfficePagerStyler* styler) {
    if (styler == externalStyler_ && styler) return;
    if (externalStyler_ && externalStyler_ != internalStyler_) {
        externalStyler_->DetachPager(this);
        RemoveFreeNotification(externalStyler_);
    }
    externalStyler_ = styler;
    if (styler) {
        currentStyler_ = styler;
        styler->AttachPager(this);
        FreeNotification(styler);
    } else {
        currentStyler_ = internalStyler_;
    }
    if (!destroying_ && !loading_)
        for (TKelOfficePage* p : pages_) p->Invalidate();
    StylerChanged(scStylerSet);
    Invalidate();
}

void TKelOfficePager::StylerChanged(int kind) {
    // Copying the styler's appearances into pages happens only in a form designer.
    Invalidate();
    RepaintActivePage();
    if (kind == scPageAppearance || kind == scGlowButtonAppearance) UpdateButtons();
    if (kind == scTabFont) TabSettingsChanged();
}

void TKelOfficePager::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != TOperation::opRemove || destroying_) return;
    if (component == externalStyler_) {
        // The styler is going away: it needs no detaching.
        externalStyler_ = nullptr;
        currentStyler_ = internalStyler_;
        StylerChanged(scStylerSet);
    }
    if (component == images_) images_ = nullptr;
    if (component == disabledImages_) disabledImages_ = nullptr;
    if (component == pageListMenu_) pageListMenu_ = nullptr;
    if (component == closedListMenu_) closedListMenu_ = nullptr;
    if (auto* page = dynamic_cast<TKelOfficePage*>(component)) RemovePage(page);
}

void TKelOfficePager::TabSettingsChanged() {
    UpdatePageBounds();
    UpdateButtons();
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::ButtonSettingsChanged() {
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetButtonSettings(const TPageButtonSettings& v) {
    buttonSettings_->Assign(v);
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetAntiAlias(TPagerAntiAlias v) {
    antiAlias_ = v;
    Invalidate();
}

void TKelOfficePager::SetCloseOnTab(bool v) {
    if (v == closeOnTab_) return;
    closeOnTab_ = v;
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetCloseOnTabPosition(TCloseOnTabPos v) {
    if (v == closeOnTabPosition_) return;
    closeOnTabPosition_ = v;
    UpdateButtons();
    RepaintActivePage();
    Invalidate();
}

void TKelOfficePager::SetImages(TImageList* v) {
    images_ = v;
    if (v) FreeNotification(v);
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetDisabledImages(TImageList* v) {
    disabledImages_ = v;
    if (v) FreeNotification(v);
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetFixedTabs(int v) {
    if (v == fixedTabs_) return;
    if (v < 0) v = 0;
    if (v >= PageCount() && !loading_) v = 0;
    fixedTabs_ = v;
    if (v > 0) scroller_.SetPosition(0);
    UpdateTabScroller();
    Invalidate();
}

void TKelOfficePager::SetPageMargin(int v) {
    if (v == pageMargin_) return;
    pageMargin_ = v;
    // The page rectangle depends on the margin.
    UpdatePageBounds();
    UpdateTabScroller();
    Invalidate();
}

void TKelOfficePager::SetRotateTabLeftRight(bool v) {
    if (v == rotateTabLeftRight_) return;
    rotateTabLeftRight_ = v;
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetShowCloseOnNonSelectedTabs(bool v) {
    if (v == showCloseOnNonSelectedTabs_) return;
    showCloseOnNonSelectedTabs_ = v;
    UpdateTabScroller();
    InvalidateTab(-1);
}

void TKelOfficePager::SetShowNonSelectedTabs(bool v) {
    showNonSelectedTabs_ = v;
    InvalidateTab(-1);
}

void TKelOfficePager::SetTabPosition(TTabPosition v) {
    if (v == tabPosition_) return;
    tabPosition_ = v;
    // The indicator points the new way when it is made again.
    if (reorderIndicator_) {
        TArrowWindow* old = reorderIndicator_;
        reorderIndicator_ = nullptr;
        old->Free();
    }
    UpdatePageBounds();
    UpdateTabScroller();
    Invalidate();
    RepaintActivePage();
}

void TKelOfficePager::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TKelOfficePager::DoTabMouseEnter(int tabIndex) { FireEvent(OnTabMouseEnter, this, tabIndex); }
void TKelOfficePager::DoTabMouseLeave(int tabIndex) { FireEvent(OnTabMouseLeave, this, tabIndex); }

void TKelOfficePager::HintShow(std::wstring& hint, POINT& /*screenPos*/) {
    if (!showTabHint_)
        hint.clear();
    else if (hintTab_ >= 0 && hintTab_ < PageCount())
        hint = pages_[size_t(hintTab_)]->TabHint();
}

void TKelOfficePager::Resize() {
    TCustomControl::Resize();
    UpdatePageBounds();
    UpdateTabScroller();
    if (buttonSettings_->ClosedListButton()) ButtonSettingsChanged();
}

void TKelOfficePager::VisibleChanged() {
    TCustomControl::VisibleChanged();
    if (TKelOfficePage* p = ActivePage()) p->SetVisible(Visible());
}

UINT TKelOfficePager::DestroyCloseButtonMessage() {
    static const UINT msg = RegisterWindowMessageW(L"OPDESTROYCLOSEBTN");
    return msg;
}

LRESULT TKelOfficePager::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == DestroyCloseButtonMessage() && msg != 0) {
        if (auto* button = reinterpret_cast<glow::TKelGlowButton*>(wParam)) button->Free();
        return 0;
    }
    // Arrow keys and characters come to the pager.
    if (msg == WM_GETDLGCODE) return DLGC_WANTARROWS | DLGC_WANTCHARS;
    if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS) {
        const LRESULT result = TCustomControl::WndProc(msg, wParam, lParam);
        if (msg == WM_KILLFOCUS)
            HideShortCutHints();
        else if (!loading_)
            ShowShortCutHints();
        InvalidateTab(-1);
        return result;
    }
    if (msg == WM_DESTROY) UnhookForm();
    if (msg == WM_PAINT && UseGlass() && IsDwmCompositing()) return GlassPaint();
    return TCustomControl::WndProc(msg, wParam, lParam);
}

glow::TShortCutHintWindow* TKelOfficePager::CreateHintWindow() {
    auto* w = new glow::TShortCutHintWindow(this);
    w->SetParent(this);
    hintWindows_.push_back(w);
    return w;
}

void TKelOfficePager::FreeHintWindow(glow::TShortCutHintWindow* window) {
    auto it = std::find(hintWindows_.begin(), hintWindows_.end(), window);
    if (it == hintWindows_.end()) return;
    hintWindows_.erase(it);
    window->Free();
}

void TKelOfficePager::HideShortCutHints() {
    shortCutHintMode_ = false;
    for (TKelOfficePage* p : pages_) p->HideShortCutHint();
    UnhookForm();
}

}  // namespace kel::pager
