// The strip's buttons: the close buttons (one in the button area or one on
// each tab), the closed-list and page-list buttons and the scroll buttons;
// scrolling, closing and reopening pages.
#include "framework/gui/menus.h"
#include "widgets/pager/KelOfficePager.h"

namespace kel::pager {

using namespace fw;
using glow::TKelGlowButton;

glow::TKelGlowButton* TKelOfficePager::MakeButton(TKelGlowButton*& slot, const TGDIPPicture& picture,
                                                  const std::wstring& hint) {
    if (!slot) {
        slot = new TKelGlowButton(this);
        slot->SetParent(this);
    }
    if (currentStyler_) slot->Appearance().Assign(&currentStyler_->GlowButtonAppearance());
    slot->SetPicture(picture);
    slot->SetHint(hint);
    slot->SetShowHint(true);
    return slot;
}

void TKelOfficePager::FreeButton(TKelGlowButton*& slot) {
    if (!slot) return;
    TKelGlowButton* b = slot;
    slot = nullptr;
    b->Free();
}

void TKelOfficePager::PlaceButton(TKelGlowButton* button, const RECT& r, bool visible) {
    if (visible && r.left != -1)
        button->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    else
        button->SetWidth(0);
    button->SetVisible(visible && r.left != -1);
}

void TKelOfficePager::UpdateButtons() {
    if (!initialised_ || destroying_) return;
    TPageButtonSettings& b = *buttonSettings_;
    const bool anyTab = VisibleTabCount() > 0;
    // 1. Close buttons.
    if (!b.CloseButton()) {
        for (TKelOfficePage* p : pages_)
            if (TKelGlowButton* tabButton = p->closeButton_) {
                p->closeButton_ = nullptr;
                if (HandleAllocated())
                    PostMessageW(Handle(), DestroyCloseButtonMessage(), reinterpret_cast<WPARAM>(tabButton), 0);
                else
                    tabButton->Free();
            }
        FreeButton(buttons_[sbClose]);
    } else if (closeOnTab_) {
        if (buttons_[sbClose]) buttons_[sbClose]->SetWidth(0), buttons_[sbClose]->SetVisible(false);
        for (int i = 0; i < PageCount(); ++i) {
            TKelOfficePage* p = pages_[size_t(i)];
            if (!p->ShowClose()) {
                if (p->closeButton_) p->closeButton_->SetVisible(false);
                continue;
            }
            const bool created = !p->closeButton_;
            TKelGlowButton* button = MakeButton(p->closeButton_, b.Picture(TPageButtonSettings::piClose),
                                                b.CloseButtonHint());
            if (created)
                button->OnMouseUp = [this, button](TComponent*, TMouseButton mb, TShiftState, int, int) {
                    if (mb == TMouseButton::mbLeft) ClosePage(button);
                };
            button->SetTag(i);
            button->SetEnabled(anyTab);
            PlaceButton(button, CloseButtonRect(i), showCloseOnNonSelectedTabs_ || i == activeIndex_);
        }
    } else {
        for (TKelOfficePage* p : pages_)
            if (p->closeButton_) p->closeButton_->SetWidth(0), p->closeButton_->SetVisible(false);
        const bool created = !buttons_[sbClose];
        TKelGlowButton* button =
            MakeButton(buttons_[sbClose], b.Picture(TPageButtonSettings::piClose), b.CloseButtonHint());
        if (created) button->OnClick = [this](TComponent*) { ClosePage(); };
        button->SetEnabled(anyTab && NeedsCloseButton());
        PlaceButton(button, CloseButtonRect(-1), true);
    }
    // 2. Closed-list button.
    UpdateClosedListButton();
    // 3. Page-list button (its menu is shown by the click handler when set).
    const TPagerLayout layout = Layout();
    auto toRect = [](const TPagerRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; };
    if (b.PageListButton()) {
        const bool created = !buttons_[sbPageList];
        TKelGlowButton* button =
            MakeButton(buttons_[sbPageList], b.Picture(TPageButtonSettings::piPageList), b.PageListButtonHint());
        if (created) button->OnClick = [this](TComponent*) { ShowPageList(); };
        button->SetEnabled(anyTab);
        PlaceButton(button, toRect(layout.PageListButtonRect()), true);
    } else {
        FreeButton(buttons_[sbPageList]);
    }
    // 4. Scroll buttons.
    if (!scroller_.Visible()) {
        for (TStripButton s : {sbFirst, sbLast, sbPrev, sbNext}) FreeButton(buttons_[s]);
        return;
    }
    const bool side = tabPosition_ == tpLeft || tabPosition_ == tpRight;
    struct Spec {
        TStripButton which;
        TPageButtonSettings::TPictureId picture;
        TPageButtonSettings::TSidePictureId sidePicture;
        bool changed;
        std::wstring hint;
        TPagerRect rect;
        bool enabled, visible;
    } specs[] = {
        {sbFirst, TPageButtonSettings::piFirst, TPageButtonSettings::spUpFirst, b.FirstPictureChanged(),
         b.ScrollButtonFirstHint(), layout.FirstButtonRect(), scroller_.CanScrollBack(), b.FirstButton()},
        {sbLast, TPageButtonSettings::piLast, TPageButtonSettings::spDownLast, b.LastPictureChanged(),
         b.ScrollButtonLastHint(), layout.LastButtonRect(), scroller_.CanScrollForward(), b.LastButton()},
        {sbPrev, TPageButtonSettings::piPrev, TPageButtonSettings::spUp, b.PrevPictureChanged(),
         b.ScrollButtonPrevHint(), layout.PrevButtonRect(), scroller_.CanScrollBack(), true},
        {sbNext, TPageButtonSettings::piNext, TPageButtonSettings::spDown, b.NextPictureChanged(),
         b.ScrollButtonNextHint(), layout.NextButtonRect(), scroller_.CanScrollForward(), true},
    };
    for (Spec& s : specs) {
        const bool created = !buttons_[s.which];
        const TGDIPPicture& picture = !side || s.changed ? b.Picture(s.picture) : b.SidePicture(s.sidePicture);
        TKelGlowButton* button = MakeButton(buttons_[s.which], picture, s.hint);
        if (created) {
            button->SetRepeatClick(true);
            switch (s.which) {
                case sbFirst:
                    button->OnClick = [this](TComponent* sender) {
                        FireEvent(OnFirstClick, sender);
                        ScrollToFirst();
                        UpdateButtons();
                    };
                    break;
                case sbLast:
                    button->OnClick = [this](TComponent* sender) {
                        FireEvent(OnLastClick, sender);
                        ScrollToLast();
                        UpdateButtons();
                    };
                    break;
                case sbPrev:
                    button->OnClick = [this](TComponent* sender) {
                        ScrollPrev();
                        FireEvent(OnPrevClick, sender);
                        UpdateButtons();
                    };
                    break;
                default:
                    button->OnClick = [this](TComponent* sender) {
                        ScrollNext();
                        FireEvent(OnNextClick, sender);
                        UpdateButtons();
                    };
                    break;
            }
        }
        button->SetEnabled(s.enabled);
        PlaceButton(button, toRect(s.rect), s.visible);
    }
}

void TKelOfficePager::UpdateClosedListButton() {
    TPageButtonSettings& b = *buttonSettings_;
    if (!b.ClosedListButton()) {
        FreeButton(buttons_[sbClosedList]);
        return;
    }
    const bool created = !buttons_[sbClosedList];
    TKelGlowButton* button =
        MakeButton(buttons_[sbClosedList], b.Picture(TPageButtonSettings::piClosedList), b.ClosedListButtonHint());
    if (created) button->OnClick = [this](TComponent*) { ShowClosedPages(); };
    const TPagerRect r = Layout().ClosedListButtonRect();
    button->SetBounds(r.Left, r.Top, 18, 18);
    button->SetVisible(!closedPages_.empty());
}

void TKelOfficePager::AfterScroll() {
    InvalidateTab(-1);
    RepaintActivePage();
}

void TKelOfficePager::ScrollToFirst() {
    if (!scroller_.Visible() || !scroller_.CanScrollBack()) return;
    scroller_.SetPosition(scroller_.Min());
    AfterScroll();
}

void TKelOfficePager::ScrollPrev() {
    if (!scroller_.Visible() || !scroller_.CanScrollBack()) return;
    scroller_.SetPosition(scroller_.Position() - 1);
    AfterScroll();
}

void TKelOfficePager::ScrollToLast() {
    if (!scroller_.Visible() || !scroller_.CanScrollForward()) return;
    scroller_.SetPosition(scroller_.Max());
    AfterScroll();
}

void TKelOfficePager::ScrollNext() {
    if (!scroller_.Visible() || !scroller_.CanScrollForward()) return;
    scroller_.SetPosition(scroller_.Position() + 1);
    AfterScroll();
}

void TKelOfficePager::ClosePage(TKelGlowButton* tabButton) {
    const int index = closeOnTab_ && tabButton ? tabButton->Tag() : activeIndex_;
    if (index < 0 || index >= PageCount() || closing_) return;
    closing_ = true;
    TKelOfficePage* page = pages_[size_t(index)];
    bool allow = true;
    FireEvent(OnClosePage, this, index, allow);
    if (!allow) {
        closing_ = false;
        return;
    }
    if (page == ActivePage()) SelectNextPage(true);
    InvalidateTab(-1);
    if (freeOnClose_) {
        TKelOfficePage* nowActive = ActivePage();
        if (TKelGlowButton* b = page->closeButton_) {
            page->closeButton_ = nullptr;
            if (HandleAllocated())
                PostMessageW(Handle(), DestroyCloseButtonMessage(), reinterpret_cast<WPARAM>(b), 0);
        }
        page->Free();
        activeIndex_ = -1;
        if (nowActive && nowActive != page) SetActivePage(nowActive);
    } else {
        page->SetTabVisible(false);
        page->SetVisible(false);
        if (closeOnTab_ && page->closeButton_) page->closeButton_->SetVisible(false);
        UpdateClosedListButton();
    }
    UpdateTabScroller();
    if (TKelOfficePage* active = ActivePage())
        active->Invalidate();
    else
        Invalidate();
    closing_ = false;
    FireEvent(OnClosedPage, this, index);
}

void TKelOfficePager::ReopenPage(int position) {
    if (position < 0 || position >= int(closedPages_.size())) return;
    TKelOfficePage* page = closedPages_[size_t(position)].Page;
    page->SetTabVisible(true);
    if (VisibleTabCount() == 1) SetActivePage(page);
    UpdateClosedListButton();
}

POINT TKelOfficePager::MenuPoint(TKelGlowButton* button, int items, bool closedList) const {
    const RECT r = button->BoundsRect();
    POINT p{r.left, r.bottom};
    if (tabPosition_ == tpLeft) p = closedList ? POINT{r.right, r.bottom} : POINT{r.right, r.top};
    if (tabPosition_ == tpRight) p = closedList ? POINT{Width(), r.bottom} : POINT{r.right, r.top};
    p = ClientToScreen(p);
    if (tabPosition_ == tpBottom) {
        const int menuHeight = GetSystemMetrics(SM_CYMENU) * items;
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoW(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST), &info) &&
            p.y + menuHeight > info.rcMonitor.bottom - 10)
            p.y -= menuHeight + (r.bottom - r.top) + 4;
    }
    return p;
}

void TKelOfficePager::ShowPageList() {
    if (!buttonSettings_->PageListButton()) return;
    int items = 0;
    if (pageListMenu_) {
        pageListMenu_->Items()->Clear();
        pageListMenu_->SetImages(images_);
        for (int i = 0; i < PageCount(); ++i) {
            TKelOfficePage* page = pages_[size_t(i)];
            if (!page->TabVisible()) continue;
            auto* item = new TMenuItem(pageListMenu_);
            item->SetCaption(page->TabCaption());
            item->SetRadioItem(true);
            item->SetChecked(i == activeIndex_);
            item->SetImageIndex(page->ImageIndex());
            item->OnClick = [this, page](TComponent*) {
                if (IndexOfPage(page) >= 0) SelectPage(IndexOfPage(page));
            };
            pageListMenu_->Items()->Add(item);
            ++items;
        }
    }
    POINT p{0, 0};
    if (buttons_[sbPageList]) p = MenuPoint(buttons_[sbPageList], items, false);
    if (OnPageListClick)
        FireEvent(OnPageListClick, this, int(p.x), int(p.y));
    else if (pageListMenu_)
        pageListMenu_->Popup(p.x, p.y);
}

void TKelOfficePager::ShowClosedPages() {
    if (closedPages_.empty()) return;
    TPopupMenu* menu = closedListMenu_;
    if (!menu) {
        if (!internalClosedMenu_) internalClosedMenu_ = new TPopupMenu(this);
        menu = internalClosedMenu_;
    }
    menu->Items()->Clear();
    menu->SetImages(images_);
    for (size_t i = 0; i < closedPages_.size(); ++i) {
        TKelOfficePage* page = closedPages_[i].Page;
        auto* item = new TMenuItem(menu);
        item->SetCaption(page->TabCaption());
        item->SetImageIndex(page->ImageIndex());
        item->OnClick = [this, page](TComponent*) {
            for (size_t k = 0; k < closedPages_.size(); ++k)
                if (closedPages_[k].Page == page) return ReopenPage(int(k));
        };
        menu->Items()->Add(item);
    }
    POINT p{0, 0};
    if (buttons_[sbClosedList]) p = MenuPoint(buttons_[sbClosedList], int(closedPages_.size()), true);
    if (OnClosedListClick)
        FireEvent(OnClosedListClick, this, int(p.x), int(p.y));
    else
        menu->Popup(p.x, p.y);
}

}  // namespace kel::pager
