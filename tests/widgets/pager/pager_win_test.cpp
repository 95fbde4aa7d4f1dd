// The pager under Wine: page switches and their events, vetoes, removals,
// tab visibility and the closed-pages list, parenting, the page rectangle,
// the styler link, and page bodies painted into off-screen bitmaps.
#include "widgets/pager/KelOfficePager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "framework/gui/forms.h"
#include "framework/gui/image_list.h"
#include "framework/gui/menus.h"
#include "framework/gui/std_edit.h"
#include "tests/support/win_screenshot.h"
#include "tests/support/win_test_app.h"
#include "tests/widgets/drawing/win_paint.h"
#include "tests/widgets/editors/xdotool.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/pager/KelPagerCaption.h"
#include "widgets/pager/KelPagerPaint.h"

namespace kel::pager {
namespace {

using fw::test::PumpUntil;
using fw::test::TestApplication;
using kel::test::Near;
using kel::test::Px;

uint32_t Rgb(TColor c) {
    const TColor v = fw::ColorToRGB(c);
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// One form, shown once (showing a form under Wine takes a while); each
// fixture puts its own pager on it.
fw::TForm& SharedForm() {
    static fw::TForm* form = [] {
        fw::TForm* f = TestApplication().CreateForm<fw::TForm>(std::wstring(L"TPagerTestForm"));
        f->SetBorderStyle(fw::TFormBorderStyle::bsNone);
        f->SetBounds(0, 0, 420, 240);
        f->SetFormStyle(fw::TFormStyle::fsStayOnTop);
        f->Show();
        PumpUntil([] { return false; }, 50);
        return f;
    }();
    return *form;
}

struct Fixture {
    fw::TForm* form;
    TKelOfficePager* pager;
    std::vector<TKelOfficePage*> pages;
    std::vector<std::string> log;

    explicit Fixture(int pageCount) {
        form = &SharedForm();
        // Pages belong to the pager here, so they go with it.
        pager = new TKelOfficePager(nullptr);
        pager->SetBounds(10, 10, 400, 200);
        pager->SetParent(form);
        for (int i = 0; i < pageCount; ++i) {
            auto* p = new TKelOfficePage(pager);
            p->SetName(L"Page" + std::to_wstring(i));
            p->SetCaption(p->Name());
            p->SetPager(pager);
            p->OnShow = [this, i](fw::TComponent*) { log.push_back("show " + std::to_string(i)); };
            p->OnHide = [this, i](fw::TComponent*) { log.push_back("hide " + std::to_string(i)); };
            pages.push_back(p);
        }
        if (pageCount) pager->SetActivePage(pages[0]);
        pager->OnChanging = [this](fw::TComponent*, int from, int to, bool&) {
            log.push_back("changing " + std::to_string(from) + ">" + std::to_string(to));
        };
        pager->OnChange = [this](fw::TComponent*) { log.push_back("change"); };
        log.clear();
    }
    ~Fixture() { delete pager; }
    int Active() const { return pager->ActivePageIndex(); }
};

using Log = std::vector<std::string>;

TEST(Pager, NewPagerDefaults) {
    TKelOfficePager p(nullptr);
    EXPECT_EQ(p.PageCount(), 0);
    EXPECT_EQ(p.ActivePage(), nullptr);
    EXPECT_EQ(p.ActivePageIndex(), -1);
    EXPECT_EQ(p.Width(), 400);
    EXPECT_EQ(p.Height(), 200);
    EXPECT_EQ(p.GetVersion(), L"2.1.0.2");
    p.SetVersion(L"9.9.9.9");
    EXPECT_EQ(p.GetVersion(), L"2.1.0.2");
    EXPECT_EQ(p.PageMargin(), 1);
    EXPECT_EQ(p.TabSettings().Height(), 26);
    EXPECT_FALSE(p.GlassCapable()) << "Wine reports no desktop composition";
    // The internal styler carries the Office 2007 Luna colours.
    EXPECT_EQ(p.CurrentStyler(), p.InternalStyler());
    EXPECT_EQ(p.CurrentStyler()->PageAppearance().ColorMirrorTo(), 16773863u);
    EXPECT_EQ(p.CurrentStyler()->TabAppearance().TextColor(), 9126421u);
    EXPECT_THROW(p.Page(0), fw::Exception);
}

TEST(Pager, SwitchEventsInOrder) {
    struct Row {
        const char* what;
        int pages;
        std::function<void(Fixture&)> act;
        Log expected;
        int active;
    } rows[] = {
        {"another page", 3, [](Fixture& f) { f.pager->SetActivePage(f.pages[2]); },
         {"changing 0>2", "hide 0", "show 2", "change"}, 2},
        {"the active page again", 3, [](Fixture& f) { f.pager->SetActivePage(f.pages[0]); }, {}, 0},
        {"the only page again", 1, [](Fixture& f) { f.pager->SetActivePage(f.pages[0]); },
         {"changing 0>0", "hide 0", "show 0", "change"}, 0},
        {"a page of no pager", 2, [](Fixture& f) { TKelOfficePage free(nullptr); f.pager->SetActivePage(&free); },
         {}, 0},
        {"index out of range", 2, [](Fixture& f) { f.pager->ChangeActivePage(5), f.pager->ChangeActivePage(-1); },
         {}, 0},
        {"next page forward", 3, [](Fixture& f) { f.pager->SelectNextPage(true); },
         {"changing 0>1", "hide 0", "show 1", "change"}, 1},
        {"previous page wraps", 3, [](Fixture& f) { f.pager->SelectNextPage(false); },
         {"changing 0>2", "hide 0", "show 2", "change"}, 2},
        {"next page skips hidden and disabled tabs", 3,
         [](Fixture& f) {
             f.pages[1]->SetTabVisible(false);
             f.pages[2]->SetTabEnabled(false);
             f.pager->SelectNextPage(true);
         },
         {}, 0},
        {"a page whose tab is hidden", 3,
         [](Fixture& f) {
             f.pages[1]->SetTabVisible(false);
             f.pager->SetActivePage(f.pages[1]);
         },
         {"changing 0>1", "hide 0", "show 1", "change"}, 1},
    };
    for (const Row& r : rows) {
        Fixture f(r.pages);
        r.act(f);
        EXPECT_EQ(f.log, r.expected) << r.what;
        EXPECT_EQ(f.Active(), r.active) << r.what;
        for (int i = 0; i < r.pages; ++i) EXPECT_EQ(f.pages[size_t(i)]->Visible(), i == r.active) << r.what << " " << i;
    }
}

TEST(Pager, VetoLeavesEverythingAlone) {
    Fixture f(3);
    f.pages[0]->SetFocus();
    const HWND focus = GetFocus();
    ASSERT_EQ(focus, f.pages[0]->Handle());
    f.pager->OnChanging = [&](fw::TComponent*, int from, int to, bool& allow) {
        f.log.push_back("changing " + std::to_string(from) + ">" + std::to_string(to));
        allow = false;
    };
    f.pager->SetActivePage(f.pages[1]);
    EXPECT_EQ(f.log, (Log{"changing 0>1"}));
    EXPECT_EQ(f.Active(), 0);
    EXPECT_TRUE(f.pages[0]->Visible());
    EXPECT_FALSE(f.pages[1]->Visible());
    EXPECT_EQ(GetFocus(), focus);
}

TEST(Pager, OnChangingWaitsForTheFirstParent) {
    TKelOfficePager pager(nullptr);
    TKelOfficePage a(nullptr), b(nullptr);
    a.SetPager(&pager);
    b.SetPager(&pager);
    int changing = 0;
    pager.OnChanging = [&](fw::TComponent*, int, int, bool&) { ++changing; };
    pager.SetActivePage(&b);
    EXPECT_EQ(changing, 0) << "not initialised yet";
    pager.AfterLoad();
    pager.SetActivePage(&a);
    EXPECT_EQ(changing, 1);
    a.SetPager(nullptr);
    b.SetPager(nullptr);
}

TEST(Pager, Removals) {
    struct Row {
        const char* what;
        int active, remove;
        std::function<void(Fixture&)> setup;
        int expectedPage;  // original number of the page active afterwards
        int expectedIndex;
        bool shown;
    } rows[] = {
        {"the active page in the middle", 2, 2, nullptr, 3, 2, true},
        {"a page before the active one", 2, 1, nullptr, 2, 1, true},
        {"a page after the active one", 2, 4, nullptr, 2, 2, true},
        {"the active page at the end", 4, 4, nullptr, 0, 0, true},
        {"the active page at the end, first tab hidden", 4, 4, [](Fixture& f) { f.pages[0]->SetTabVisible(false); }, 1,
         1, true},
        {"the active page with no other tab to go to", 2, 2,
         [](Fixture& f) {
             for (int i : {0, 1, 3, 4}) f.pages[size_t(i)]->SetTabEnabled(false);
         },
         3, 2, false},
    };
    for (const Row& r : rows) {
        Fixture f(5);
        if (r.setup) r.setup(f);
        f.pager->SetActivePage(f.pages[size_t(r.active)]);
        f.log.clear();
        f.pages[size_t(r.remove)]->SetPager(nullptr);
        EXPECT_EQ(f.pager->PageCount(), 4) << r.what;
        EXPECT_EQ(f.pager->ActivePage(), f.pages[size_t(r.expectedPage)]) << r.what;
        EXPECT_EQ(f.Active(), r.expectedIndex) << r.what;
        EXPECT_EQ(f.pages[size_t(r.expectedPage)]->Visible(), r.shown) << r.what;
        EXPECT_EQ(f.pages[size_t(r.remove)]->Pager(), nullptr);
        int shownPages = 0;
        for (int i = 0; i < f.pager->PageCount(); ++i) shownPages += f.pager->Page(i)->Visible();
        EXPECT_LE(shownPages, 1) << r.what;
    }
}

TEST(Pager, RemovingTheActivePageAnnouncesOnlyTheNewPage) {
    Fixture f(5);
    f.pager->SetActivePage(f.pages[2]);
    f.log.clear();
    delete f.pages[2];
    EXPECT_EQ(f.log, (Log{"changing 2>3", "hide 2", "show 3", "change"}));
    EXPECT_EQ(f.Active(), 2);
    EXPECT_EQ(f.pager->ActivePage(), f.pages[3]);
}

TEST(Pager, ClosedPagesList) {
    Fixture f(3);
    TKelOfficePage* unnamed = new TKelOfficePage(f.pager);
    unnamed->SetPager(f.pager);
    f.pages[1]->SetTabVisible(false);
    unnamed->SetTabVisible(false);
    ASSERT_EQ(f.pager->ClosedPages().size(), 2u);
    EXPECT_EQ(f.pager->ClosedPages()[0].Name, L"Page1");
    EXPECT_EQ(f.pager->ClosedPages()[1].Page, unnamed);
    EXPECT_EQ(f.pager->VisibleTabCount(), 2);
    EXPECT_FALSE(f.pager->IsTabVisible(1));
    EXPECT_FALSE(f.pager->IsTabVisible(7));
    unnamed->SetPager(nullptr);
    ASSERT_EQ(f.pager->ClosedPages().size(), 1u) << "a page without a name leaves the list too";
    f.pages[1]->SetTabVisible(true);
    EXPECT_TRUE(f.pager->ClosedPages().empty());
    delete unnamed;
}

TEST(Pager, MovesAndIndexes) {
    Fixture f(4);
    f.pager->SetActivePage(f.pages[1]);
    std::vector<std::pair<int, int>> moved;
    f.pager->OnTabMoved = [&](fw::TComponent*, int from, int to) { moved.push_back({from, to}); };
    f.pager->MovePage(1, 3);
    EXPECT_EQ(f.pager->Page(3), f.pages[1]);
    EXPECT_EQ(f.Active(), 3) << "the active index follows the page";
    f.pager->MovePage(0, 4);
    f.pager->MovePage(-1, 0);
    f.pages[0]->SetPageIndex(9);
    EXPECT_EQ(moved, (std::vector<std::pair<int, int>>{{1, 3}}));
    f.pages[0]->SetPageIndex(2);
    EXPECT_EQ(f.pages[0]->PageIndex(), 2);
    EXPECT_EQ(TKelOfficePage(nullptr).PageIndex(), -1);
    try {
        f.pager->Page(4);
        ADD_FAILURE();
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), L"Index out of bounds in list read access");
    }
}

TEST(Pager, Parenting) {
    Fixture f(2);
    Fixture g(2);
    auto* nested = new TKelOfficePager(f.pager);
    EXPECT_THROW(nested->SetParent(f.pager), fw::Exception);
    nested->SetParent(f.pages[0]);
    EXPECT_EQ(nested->Parent(), f.pages[0]);
    // A page dropped on another page takes its place.
    f.pages[1]->SetParent(f.pages[0]);
    EXPECT_EQ(f.pager->Page(0), f.pages[1]);
    EXPECT_EQ(f.pages[1]->Parent(), f.pager);
    // Into another pager, it moves there.
    f.pages[1]->SetParent(g.pager);
    EXPECT_EQ(f.pages[1]->Pager(), g.pager);
    EXPECT_EQ(g.pager->PageCount(), 3);
    EXPECT_EQ(f.pager->PageCount(), 1);
    // A page of no pager is parented as any control.
    TKelOfficePage* free = new TKelOfficePage(f.pager);
    free->SetParent(f.pager);
    EXPECT_EQ(free->Pager(), nullptr);
}

TEST(Pager, AlignedChildrenKeepTwoPixelsFree) {
    Fixture f(1);
    auto* child = new TKelOfficePage(f.pager);
    child->SetParent(f.pages[0]);
    child->SetAlign(fw::TAlign::alClient);
    const RECT b = child->BoundsRect();
    EXPECT_EQ(b.left, 2);
    EXPECT_EQ(b.top, 2);
    EXPECT_EQ(b.right, f.pages[0]->Width() - 2);
    EXPECT_EQ(b.bottom, f.pages[0]->Height() - 2);
}

TEST(Pager, PageRectangle) {
    struct Row {
        TTabPosition pos;
        int margin;
        RECT expected;
    } rows[] = {
        {tpTop, 1, {1, 26, 315, 462}},
        {tpBottom, 1, {1, 2, 315, 438}},
        {tpLeft, 1, {26, 2, 315, 462}},
        {tpRight, 2, {2, 3, 290, 461}},
    };
    for (const Row& r : rows) {
        Fixture f(1);
        f.pager->SetBounds(0, 0, 316, 464);
        f.pager->SetTabPosition(r.pos);
        f.pager->SetPageMargin(r.margin);
        const RECT b = f.pages[0]->BoundsRect();
        EXPECT_EQ(b.left, r.expected.left) << r.pos;
        EXPECT_EQ(b.top, r.expected.top) << r.pos;
        EXPECT_EQ(b.right, r.expected.right) << r.pos;
        EXPECT_EQ(b.bottom, r.expected.bottom) << r.pos;
    }
    Fixture f(2);
    f.pager->TabSettings().SetHeight(30);
    EXPECT_EQ(f.pages[1]->Top(), 30) << "tab metrics move every page";
    f.pager->SetFixedTabs(2);
    EXPECT_EQ(f.pager->FixedTabs(), 0);
    f.pager->SetFixedTabs(1);
    EXPECT_EQ(f.pager->FixedTabs(), 1);
}

TEST(Pager, StylerLink) {
    Fixture f(1);
    auto* styler = new TKelOfficePagerOfficeStyler(f.pager);
    f.pager->SetKelOfficePagerStyler(styler);
    EXPECT_EQ(f.pager->CurrentStyler(), styler);
    ASSERT_EQ(styler->Pagers().size(), 1u);
    f.pager->SetKelOfficePagerStyler(nullptr);
    EXPECT_EQ(f.pager->CurrentStyler(), f.pager->InternalStyler());
    EXPECT_TRUE(styler->Pagers().empty());
    f.pager->SetKelOfficePagerStyler(styler);
    delete styler;
    EXPECT_EQ(f.pager->KelOfficePagerStyler(), nullptr) << "a freed styler is dropped";
    EXPECT_EQ(f.pager->CurrentStyler(), f.pager->InternalStyler());

    auto* shared = new TKelOfficePagerOfficeStyler(f.pager);
    auto* other = new TKelOfficePager(nullptr);
    other->SetParent(f.form);
    f.pager->SetKelOfficePagerStyler(shared);
    other->SetKelOfficePagerStyler(shared);
    delete other;
    EXPECT_EQ(shared->Pagers().size(), 1u) << "a freed pager leaves its styler";
}

// The page painted on its own.
void PaintPage(TKelOfficePage& page, fw::TBitmap& bmp) {
    bmp.SetSize(page.Width(), page.Height());
    kel::test::FillWhite(bmp);
    page.PaintTo(bmp.Canvas().Handle());
    GdiFlush();
}

TEST(PagerPaint, PageBody) {
    Fixture f(1);
    TVistaBackground& a = f.pager->CurrentStyler()->PageAppearance();
    a.SetColor(fw::clRed), a.SetColorTo(fw::clRed);
    a.SetColorMirror(fw::clBlue), a.SetColorMirrorTo(fw::clBlue);
    a.SetBorderColor(fw::clGreen);
    f.pager->CurrentStyler()->SetRoundedCorners(0);
    fw::TBitmap bmp(1, 1);
    PaintPage(*f.pages[0], bmp);
    const int w = bmp.Width(), h = bmp.Height();
    EXPECT_EQ(Px(bmp, w / 2, h / 4), 0xFF0000u) << "first half away from the strip";
    EXPECT_EQ(Px(bmp, w / 2, h * 3 / 4), 0x0000FFu);
    EXPECT_TRUE(Near(Px(bmp, 0, h / 2), Rgb(fw::clGreen), 40)) << "outline";
    EXPECT_TRUE(Near(Px(bmp, 0, 0), Rgb(fw::clGreen), 40)) << "square corner without rounding";
    const uint32_t inner = Rgb(BlendColors(fw::clWhite, fw::clGreen, 50));
    EXPECT_EQ(Px(bmp, 1, h / 2), inner) << "lighter inner line";
    EXPECT_EQ(Px(bmp, w - 2, h / 2), inner);
    EXPECT_EQ(Px(bmp, w / 2, h - 2), inner);
    EXPECT_NE(Px(bmp, w / 2, 1), inner) << "no inner line along the strip";

    a.SetBorderColor(fw::clNone);
    PaintPage(*f.pages[0], bmp);
    EXPECT_EQ(Px(bmp, 0, h / 4), 0xFF0000u) << "no border: the first half edge to edge";
    EXPECT_EQ(Px(bmp, 1, h * 3 / 4), 0x0000FFu) << "no inner lines";

    // The page's own appearance wins when asked for.
    f.pages[0]->PageAppearance().SetColor(fw::clYellow);
    f.pages[0]->PageAppearance().SetColorTo(fw::clYellow);
    f.pages[0]->SetUsePageAppearance(true);
    PaintPage(*f.pages[0], bmp);
    EXPECT_EQ(Px(bmp, w / 2, h / 4), 0xFFFF00u);
    EXPECT_EQ(f.pages[0]->Color(), fw::clYellow);
}

TEST(PagerPaint, ActiveTabOpensThePageEdge) {
    Fixture f(3);
    TVistaBackground& a = f.pager->CurrentStyler()->PageAppearance();
    a.SetColor(fw::clRed), a.SetColorTo(fw::clRed);
    a.SetBorderColor(fw::clGreen);
    f.pager->CurrentStyler()->SetRoundedCorners(0);
    const RECT tab = f.pager->TabRect(0);
    ASSERT_EQ(tab.left, 5);
    EXPECT_EQ(tab.top, 4);
    EXPECT_EQ(f.pager->TabAtPos(tab.left + 1, tab.top + 1), 0);
    fw::TBitmap bmp(1, 1);
    PaintPage(*f.pages[0], bmp);
    // The page sits at x 1 of the pager: the tab's start less the margin, plus 1.
    EXPECT_EQ(Px(bmp, 6, 0), 0xFF0000u) << "the edge under the active tab";
    EXPECT_TRUE(Near(Px(bmp, 300, 0), Rgb(fw::clGreen), 40)) << "the edge elsewhere";
    f.pages[0]->SetTabVisible(false);
    PaintPage(*f.pages[0], bmp);
    EXPECT_TRUE(Near(Px(bmp, 6, 0), Rgb(fw::clGreen), 40)) << "a hidden tab opens nothing";
}

void PaintPager(TKelOfficePager& pager, fw::TBitmap& bmp);

TEST(Pager, TabCheckBoxHitTest) {
    Fixture f(2);
    f.pages[1]->SetShowCheckBox(true);
    const RECT box = f.pager->CheckBoxRect(1);
    ASSERT_NE(box.left, -1);
    EXPECT_EQ(box.right - box.left, 15);
    EXPECT_TRUE(f.pager->PtInTabCheckBox(1, box.left + 7, box.top + 7));
    EXPECT_FALSE(f.pager->PtInTabCheckBox(1, box.right, box.top + 7));
    EXPECT_FALSE(f.pager->PtInTabCheckBox(0, box.left + 7, box.top + 7)) << "page 0 has no check box";
    EXPECT_FALSE(f.pager->PtInTabCheckBox(7, 0, 0));
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    int dark = 0;
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) dark += Near(Px(bmp, x, y), 0x404040, 0x50);
    EXPECT_GT(dark, 10) << "the check box frame is drawn";
    EXPECT_EQ(f.pager->TabNeighbourSide(1), 1);
}

// The pager painted on its own (its pages are windows of their own).
void PaintPager(TKelOfficePager& pager, fw::TBitmap& bmp) {
    bmp.SetSize(pager.Width(), pager.Height());
    kel::test::FillWhite(bmp);
    pager.PaintTo(bmp.Canvas().Handle());
    GdiFlush();
}

TEST(PagerPaint, StripBackgroundFrameAndActiveTab) {
    Fixture f(2);
    TTabAppearance& t = f.pager->CurrentStyler()->TabAppearance();
    t.BackGround().SetColor(fw::clRed);
    t.BackGround().SetColorTo(fw::clBlue);
    t.BackGround().SetDirection(gdVertical);
    t.SetColorSelected(fw::clYellow), t.SetColorSelectedTo(fw::clYellow);
    t.SetColorMirrorSelected(fw::clYellow), t.SetColorMirrorSelectedTo(fw::clYellow);
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    const RECT tab = f.pager->TabRect(0);
    ASSERT_NE(tab.left, -1);
    EXPECT_EQ(Px(bmp, tab.left + 2, (tab.top + tab.bottom) / 2 + 4), 0xFFFF00u) << "active tab body, beside its caption";
    EXPECT_TRUE(Near(Px(bmp, 300, 1), 0xFF0000, 12)) << "the strip background starts red at the top";
    EXPECT_TRUE(Near(Px(bmp, 300, 197), 0x0000FF, 12)) << "and ends blue at the bottom of the client area";
    const RECT second = f.pager->TabRect(1);
    EXPECT_FALSE(Near(Px(bmp, (second.left + second.right) / 2, 20), 0xFFFF00, 40)) << "no body on other tabs";

    for (TKelOfficePage* p : f.pages) p->SetTabVisible(false);
    PaintPager(*f.pager, bmp);
    EXPECT_TRUE(Near(Px(bmp, (tab.left + tab.right) / 2, 20), 0xFF0000, 40)) << "hidden tabs: background only";

    f.pager->ButtonSettings().SetPageListButton(true);
    f.pager->CurrentStyler()->PageAppearance().SetBorderColor(fw::clLime);
    PaintPager(*f.pager, bmp);
    const TPagerRect b = f.pager->Layout().ButtonsRect();
    EXPECT_EQ(Px(bmp, (b.Left + b.Right) / 2, b.Top), 0x00FF00u) << "frame of the button area";

    f.form->SetColor(fw::clFuchsia);
    f.pager->SetTransparent(true);
    PaintPager(*f.pager, bmp);
    EXPECT_EQ(Px(bmp, 300, 1), 0xFF00FFu) << "transparent: the parent shows through";
    f.form->SetColor(fw::clBtnFace);
}

TEST(Pager, PointerOnTheStrip) {
    Fixture f(3);
    std::vector<std::string> events;
    f.pager->OnTabMouseEnter = [&](fw::TComponent*, int i) { events.push_back("enter " + std::to_string(i)); };
    f.pager->OnTabMouseLeave = [&](fw::TComponent*, int i) { events.push_back("leave " + std::to_string(i)); };
    f.pager->OnTabClick = [&](fw::TComponent*, int i) { events.push_back("click " + std::to_string(i)); };
    f.pager->OnTabRightClick = [&](fw::TComponent*, int i) { events.push_back("right " + std::to_string(i)); };
    f.pages[2]->SetTabEnabled(false);
    auto centre = [&](int i) {
        const RECT r = f.pager->TabRect(i);
        return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    };
    POINT p1 = centre(1), p2 = centre(2);
    f.pager->MouseMove(0, p1.x, p1.y);
    EXPECT_EQ(f.pager->HotTab(), 1);
    f.pager->MouseMove(0, p2.x, p2.y);
    EXPECT_EQ(f.pager->HotTab(), -1) << "a disabled tab does not become hot";
    f.pager->MouseMove(0, 200, 150);
    f.pager->MouseDown(fw::TMouseButton::mbLeft, 0, p1.x, p1.y);
    EXPECT_EQ(f.Active(), 1);
    f.pager->MouseDown(fw::TMouseButton::mbRight, 0, p1.x, p1.y);
    EXPECT_EQ(f.pager->PressedTab(), 1) << "the active tab is pressed, not switched to";
    f.pager->MouseDown(fw::TMouseButton::mbLeft, 0, p2.x, p2.y);
    EXPECT_EQ(f.Active(), 1) << "a disabled tab is not switched to";
    f.pager->MouseDown(fw::TMouseButton::mbLeft, 0, 200, 150);
    EXPECT_EQ(events, (Log{"enter 1", "leave 1", "enter 2", "click 1", "right 1", "click 2"}));
    EXPECT_EQ(f.log, (Log{"changing 0>1", "hide 0", "show 1", "change"}));
}

TEST(Pager, CheckBoxClickAndArrowKeys) {
    Fixture f(3);
    f.pages[1]->SetShowCheckBox(true);
    int clicked = -1;
    f.pager->OnTabCheckBoxClick = [&](fw::TComponent*, int i) { clicked = i; };
    const RECT box = f.pager->CheckBoxRect(1);
    f.pager->MouseUp(fw::TMouseButton::mbLeft, 0, box.left + 7, box.top + 7);
    EXPECT_TRUE(f.pages[1]->Checked());
    EXPECT_EQ(clicked, 1);
    f.pager->MouseUp(fw::TMouseButton::mbLeft, 0, box.left + 7, box.top + 7);
    EXPECT_FALSE(f.pages[1]->Checked());

    WORD key = VK_RIGHT;
    f.pager->KeyDown(key, 0);
    EXPECT_EQ(f.Active(), 1);
    key = VK_UP;
    f.pager->KeyDown(key, 0);
    key = VK_LEFT;
    f.pager->KeyDown(key, 0);
    EXPECT_EQ(f.Active(), 2) << "stepping back wraps";
    EXPECT_EQ(SendMessageW(f.pager->Handle(), WM_GETDLGCODE, 0, 0), 129);
}

TEST(Pager, ClosingAndReopeningPages) {
    Fixture f(3);
    f.pager->ButtonSettings().SetCloseButton(true);
    f.pager->ButtonSettings().SetClosedListButton(true);
    f.pager->UpdateButtons();
    glow::TKelGlowButton* close = f.pager->StripButton(TKelOfficePager::sbClose);
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->Enabled());
    EXPECT_EQ(close->Width(), 18);
    std::vector<std::string> events;
    f.pager->OnClosePage = [&](fw::TComponent*, int i, bool&) { events.push_back("close " + std::to_string(i)); };
    f.pager->OnClosedPage = [&](fw::TComponent*, int i) { events.push_back("closed " + std::to_string(i)); };
    close->Click();
    EXPECT_EQ(events, (Log{"close 0", "closed 0"}));
    EXPECT_EQ(f.Active(), 1);
    EXPECT_FALSE(f.pages[0]->TabVisible());
    ASSERT_EQ(f.pager->ClosedPages().size(), 1u);
    glow::TKelGlowButton* closedList = f.pager->StripButton(TKelOfficePager::sbClosedList);
    ASSERT_NE(closedList, nullptr);
    EXPECT_TRUE(closedList->Visible());
    auto* menu = new fw::TPopupMenu(f.pager);
    f.pager->SetClosedListMenu(menu);
    POINT at{-1, -1};
    f.pager->OnClosedListClick = [&](fw::TComponent*, int x, int y) { at = POINT{x, y}; };
    closedList->Click();
    EXPECT_NE(at.x, -1);
    ASSERT_EQ(menu->Items()->Count(), 1);
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), L"Page0");
    menu->Items()->Items(0)->OnClick(menu->Items()->Items(0));
    EXPECT_TRUE(f.pages[0]->TabVisible()) << "chosen in the closed-pages menu";
    f.pager->ReopenPage(0);
    EXPECT_FALSE(closedList->Visible());
    f.pager->OnClosePage = [&](fw::TComponent*, int, bool& allow) { allow = false; };
    close->Click();
    EXPECT_EQ(f.Active(), 1) << "a refused close changes nothing";

    f.pager->ButtonSettings().SetCloseButton(false);
    f.pager->UpdateButtons();
    EXPECT_EQ(f.pager->StripButton(TKelOfficePager::sbClose), nullptr);
}

TEST(Pager, ClosingFreesThePageWhenAsked) {
    Fixture f(3);
    f.pager->SetFreeOnClose(true);
    f.pager->ButtonSettings().SetCloseButton(true);
    f.pager->SetActivePage(f.pages[1]);
    f.pager->StripButton(TKelOfficePager::sbClose)->Click();
    PumpUntil([] { return false; }, 20);
    ASSERT_EQ(f.pager->PageCount(), 2);
    EXPECT_EQ(f.pager->ActivePage(), f.pages[2]) << "the next page takes over";
    EXPECT_EQ(f.Active(), 1);
    EXPECT_TRUE(f.pager->ClosedPages().empty());
}

TEST(Pager, ScrollButtons) {
    Fixture f(8);
    f.pager->SetBounds(10, 10, 300, 200);
    f.pager->ButtonSettings().SetFirstButton(true);
    ASSERT_TRUE(f.pager->TabScroller().Visible());
    glow::TKelGlowButton* next = f.pager->StripButton(TKelOfficePager::sbNext);
    glow::TKelGlowButton* first = f.pager->StripButton(TKelOfficePager::sbFirst);
    ASSERT_NE(next, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_FALSE(first->Enabled()) << "nothing to scroll back to";
    EXPECT_EQ(f.pager->StripButton(TKelOfficePager::sbLast)->Width(), 0) << "no last button asked for";
    std::vector<std::string> events;
    f.pager->OnNextClick = [&](fw::TComponent*) { events.push_back("next at " + std::to_string(f.pager->TabScroller().Position())); };
    f.pager->OnFirstClick = [&](fw::TComponent*) { events.push_back("first at " + std::to_string(f.pager->TabScroller().Position())); };
    next->Click();
    EXPECT_EQ(f.pager->TabScroller().Position(), 1);
    EXPECT_EQ(f.pager->TabRect(0).left, -1) << "the first tab scrolled out";
    EXPECT_TRUE(first->Enabled());
    first->Click();
    EXPECT_EQ(f.pager->TabScroller().Position(), 0);
    EXPECT_EQ(events, (Log{"next at 1", "first at 1"})) << "next fires after scrolling, first before";
}

TEST(Pager, PageListMenu) {
    Fixture f(3);
    f.pages[1]->SetTabVisible(false);
    f.pager->ButtonSettings().SetPageListButton(true);
    auto* menu = new fw::TPopupMenu(f.pager);
    f.pager->SetPageListMenu(menu);
    f.pager->OnPageListClick = [](fw::TComponent*, int, int) {};
    f.pager->StripButton(TKelOfficePager::sbPageList)->Click();
    ASSERT_EQ(menu->Items()->Count(), 2) << "pages with visible tabs only";
    EXPECT_TRUE(menu->Items()->Items(0)->Checked());
    EXPECT_EQ(menu->Items()->Items(1)->Caption(), L"Page2");
    menu->Items()->Items(1)->OnClick(menu->Items()->Items(1));
    EXPECT_EQ(f.Active(), 2);
}

TEST(Pager, KeysAcceleratorsAndGlow) {
    Fixture f(3);
    f.pages[2]->SetCaption(L"&Network");
    WORD key = VK_TAB;
    f.pager->KeyDown(key, fw::ssCtrl);
    EXPECT_EQ(f.Active(), 1) << "Ctrl+Tab";
    key = VK_TAB;
    f.pager->KeyDown(key, fw::ssCtrl | fw::ssShift);
    EXPECT_EQ(f.Active(), 0) << "Ctrl+Shift+Tab";
    EXPECT_TRUE(f.form->BroadcastDialogChar(L'n', fw::ssAlt));
    EXPECT_EQ(f.Active(), 2) << "the caption's accelerator";

    EXPECT_FALSE(f.pager->GlowRunning());
    f.pages[1]->SetGlow(true);
    EXPECT_TRUE(f.pager->GlowRunning());
    std::vector<int> levels;
    for (int i = 0; i < 12; ++i) f.pager->GlowTimerTick(), levels.push_back(f.pager->GlowLevel());
    EXPECT_EQ(levels, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 140, 120, 100, 80}));
    f.pages[1]->SetGlow(false);
    EXPECT_FALSE(f.pager->GlowRunning());
    f.pager->SetGlow(false);
    f.pages[1]->SetGlow(true);
    EXPECT_FALSE(f.pager->GlowRunning()) << "the pager's Glow off";
}

TEST(Pager, HoverFade) {
    Fixture f(3);
    SetCursorPos(1000, 700);  // away from the tabs
    const RECT r = f.pager->TabRect(1);
    TKelOfficePage* p = f.pages[1];
    f.pager->MouseMove(0, r.left + 2, r.top + 2);
    ASSERT_TRUE(p->Fading());
    EXPECT_EQ(p->FadeStep(), 20);
    std::vector<int> levels;
    for (int i = 0; i < 14 && p->Fading(); ++i) {
        f.pager->PageFadeTimerTick(p);
        levels.push_back(p->HoverLevel());
    }
    EXPECT_EQ(levels, (std::vector<int>{20, 40, 60, 80, 100, 120, 100, 80, 60, 40, 20, 0, -20}))
        << "in, held at 120, out when the pointer is gone";
    EXPECT_FALSE(p->Fading());
    EXPECT_EQ(p->FadeMode(), TKelOfficePage::fmIdle);

    f.pager->SetGlow(false);
    f.pager->MouseMove(0, 200, 150);
    const RECT r2 = f.pager->TabRect(2);
    f.pager->MouseMove(0, r2.left + 2, r2.top + 2);
    EXPECT_FALSE(f.pages[2]->Fading()) << "no fade timers without Glow";
    EXPECT_EQ(f.pages[2]->FadeStep(), 20);
    EXPECT_EQ(f.pages[2]->HoverLevel(), 0);
}

TEST(PagerPaint, HoverFadeBlendsFromTheStrip) {
    Fixture f(2);
    SetCursorPos(1000, 700);
    TTabAppearance& t = f.pager->CurrentStyler()->TabAppearance();
    t.BackGround().SetColor(fw::clBlue), t.BackGround().SetColorTo(fw::clBlue);
    t.SetColorHot(fw::clRed), t.SetColorHotTo(fw::clRed), t.SetColorMirrorHot(fw::clRed);
    t.SetColorMirrorHotTo(fw::clRed);
    const RECT r = f.pager->TabRect(1);
    f.pager->MouseMove(0, r.left + 2, r.top + 2);
    f.pager->PageFadeTimerTick(f.pages[1]);
    f.pager->PageFadeTimerTick(f.pages[1]);  // hover level 40
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    const uint32_t mid = Px(bmp, r.left + 2, (r.top + r.bottom) / 2 + 4);
    EXPECT_TRUE(Near(mid, Rgb(BlendColors(fw::clRed, fw::clBlue, 40)), 12)) << std::hex << mid;
}

TEST(Pager, ReorderDrag) {
    Fixture f(3);
    f.pager->SetTabReorder(true);
    std::vector<std::pair<int, int>> moved;
    f.pager->OnTabMoved = [&](fw::TComponent*, int from, int to) { moved.push_back({from, to}); };
    const RECT r0 = f.pager->TabRect(0), r2 = f.pager->TabRect(2);
    f.pager->MouseDown(fw::TMouseButton::mbLeft, 0, r0.left + 3, r0.top + 5);
    ASSERT_NE(f.pager->ReorderIndicator(), nullptr);
    EXPECT_EQ(f.pager->ReorderIndicator()->Direction(), 1) << "points down at top tabs";
    f.pager->MouseMove(fw::ssLeft, r0.left + 5, r0.top + 5);
    f.pager->MouseMove(fw::ssLeft, r2.left + 3, r2.top + 5);
    EXPECT_TRUE(f.pager->ReorderIndicator()->Visible());
    EXPECT_EQ(f.pager->ReorderIndicator()->Width(), 9);
    f.pager->MouseUp(fw::TMouseButton::mbLeft, 0, r2.left + 3, r2.top + 5);
    EXPECT_FALSE(f.pager->ReorderIndicator()->Visible());
    EXPECT_EQ(moved, (std::vector<std::pair<int, int>>{{0, 2}}));
    EXPECT_EQ(f.pager->Page(2), f.pages[0]);
    EXPECT_EQ(f.pager->ActivePage(), f.pages[0]);
    // A press and release without movement moves nothing.
    f.pager->MouseDown(fw::TMouseButton::mbLeft, 0, r2.left + 3, r2.top + 5);
    f.pager->MouseUp(fw::TMouseButton::mbLeft, 0, r2.left + 3, r2.top + 5);
    EXPECT_EQ(moved.size(), 1u);
    f.pager->SetTabPosition(tpLeft);
    EXPECT_EQ(f.pager->ReorderIndicator(), nullptr);
}

TEST(Pager, RealClicksAndKeys) {
    if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "xdotool is not installed";
    Fixture f(3);
    SetForegroundWindow(f.form->Handle());
    PumpUntil([] { return false; }, 100);
    const RECT r = f.pager->TabRect(2);
    const POINT on = f.pager->ClientToScreen(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove " + std::to_wstring(on.x) + L" " + std::to_wstring(on.y)));
    ASSERT_TRUE(kel::test::Xdotool(L"click 1"));
    PumpUntil([&] { return f.Active() == 2; }, 3000);
    EXPECT_EQ(f.Active(), 2);
    EXPECT_EQ(f.log, (Log{"changing 0>2", "hide 0", "show 2", "change"}));
    f.pager->SetFocus();
    ASSERT_TRUE(kel::test::Xdotool(L"key Left"));
    PumpUntil([&] { return f.Active() == 1; }, 3000);
    EXPECT_EQ(f.Active(), 1) << "the left arrow steps back";
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove 5 400"));
}

TEST(PagerPaint, BottomBodyAndRoundedCorners) {
    Fixture f(1);
    f.pager->CurrentStyler()->TabAppearance().BackGround().SetColor(fw::clFuchsia);
    f.pager->CurrentStyler()->TabAppearance().BackGround().SetColorTo(fw::clFuchsia);
    f.pager->SetTabPosition(tpBottom);
    TVistaBackground& a = f.pager->CurrentStyler()->PageAppearance();
    a.SetColor(fw::clRed), a.SetColorTo(fw::clRed);
    a.SetColorMirror(fw::clBlue), a.SetColorMirrorTo(fw::clBlue);
    a.SetBorderColor(fw::clGreen);
    f.pager->CurrentStyler()->SetRoundedCorners(1);
    fw::TBitmap bmp(1, 1);
    PaintPage(*f.pages[0], bmp);
    const int w = bmp.Width(), h = bmp.Height();
    EXPECT_EQ(Px(bmp, w / 2, h * 3 / 4), 0xFF0000u) << "bottom body: the first half is the lower";
    EXPECT_EQ(Px(bmp, w / 2, h / 4), 0x0000FFu);
    // Corner pixels come from the pager beneath.
    EXPECT_EQ(Px(bmp, 0, 0), 0xFF00FFu);
    EXPECT_EQ(Px(bmp, w - 1, h - 1), 0xFF00FFu);
    EXPECT_NE(Px(bmp, 2, 2), 0xFF00FFu);
}

TEST(PagerPaint, BodyPainters) {
    fw::TBitmap bmp(100, 40);
    TBodyColors c{fw::clRed, fw::clYellow, fw::clBlue, fw::clBlue, fw::clNone, ggRadial, ggVertical};
    kel::test::FillWhite(bmp);
    DrawVistaTabBody(bmp.Canvas(), RECT{0, 0, 100, 40}, c, tpTop, false, false, nullptr);
    GdiFlush();
    EXPECT_TRUE(Near(Px(bmp, 50, 1), 0xFFFF00, 40)) << "radial: ColorTo at the middle of the top edge";
    EXPECT_TRUE(Near(Px(bmp, 3, 18), 0xFF0000, 60)) << "blending to Color at the rim";

    TTabProgress progress;
    progress.SetVisible(true);
    progress.SetColorTo(fw::clNone);
    progress.SetColor(fw::clLime);
    progress.SetCompleteColorTo(fw::clNone);
    progress.SetCompleteColor(fw::clRed);
    kel::test::FillWhite(bmp);
    DrawVistaTabBody(bmp.Canvas(), RECT{0, 0, 100, 40}, c, tpBottom, false, false, &progress);
    GdiFlush();
    EXPECT_EQ(Px(bmp, 10, 20), 0xFF0000u) << "complete part";
    EXPECT_EQ(Px(bmp, 80, 20), 0x00FF00u) << "the rest of the bar, no gradient";

    // A shaped tab: filled inside its outline, nothing beyond the ramps.
    fw::TBitmap tab(80, 26);
    kel::test::FillWhite(tab);
    TBodyColors t{fw::clRed, fw::clRed, fw::clRed, fw::clRed, fw::clBlue, ggVertical, ggVertical};
    FillShapedTab(tab.Canvas(), RECT{0, 0, 80, 26}, t, tsLeftRightRamp, 2, true, tpTop, nullptr);
    GdiFlush();
    EXPECT_EQ(Px(tab, 40, 13), 0xFF0000u);
    EXPECT_EQ(Px(tab, 2, 2), 0xFFFFFFu) << "outside the left ramp";
    EXPECT_EQ(Px(tab, 77, 2), 0xFFFFFFu) << "outside the right ramp";
}

TEST(PagerCaption, GdiTextAndShortening) {
    fw::TBitmap bmp(120, 20);
    kel::test::FillWhite(bmp);
    fw::TCanvas& canvas = bmp.Canvas();
    canvas.Font().SetColor(fw::clBlack);
    TCaptionStyle gdi;
    gdi.AntiAlias = aaNone;
    RECT measured{-5, -5, -5, -5};
    DrawTabCaption(canvas, RECT{0, 0, 120, 20}, L"", L"", gdi, true, measured);
    EXPECT_EQ(measured.left, -5) << "no text: nothing measured";
    DrawTabCaption(canvas, RECT{0, 0, 120, 20}, L"", L"Wide", gdi, true, measured);
    GdiFlush();
    EXPECT_GT(measured.right - measured.left, 5);
    EXPECT_EQ(kel::test::InkIn(bmp, 0, 0, 3, 20), 0) << "GDI text starts 3 pixels in";
    EXPECT_GT(kel::test::InkIn(bmp, 3, 0, 40, 20), 0);

    const std::wstring longText = L"A caption far too long for its tab";
    const std::wstring cut = TruncateCaption(canvas, longText, RECT{0, 0, 60, 20}, false, false, tpTop, true);
    ASSERT_GE(cut.size(), 3u);
    EXPECT_EQ(cut.substr(cut.size() - 3), L"...");
    EXPECT_EQ(longText.rfind(cut.substr(0, cut.size() - 3), 0), 0u) << "a prefix of the text";
    EXPECT_LT(GetWideTextExtent(canvas.Handle(), cut).cx, 60);
    EXPECT_EQ(TruncateCaption(canvas, longText, RECT{0, 0, 60, 20}, false, true, tpTop, true), longText)
        << "word wrap never shortens";
    EXPECT_EQ(TruncateCaption(canvas, L"Hi", RECT{0, 0, 60, 20}, true, false, tpTop, true), L"Hi");
}

TEST(PagerCaption, DisabledGdiPlusCaptionIsGrey) {
    fw::TBitmap bmp(120, 24);
    kel::test::FillWhite(bmp);
    bmp.Canvas().Font().SetColor(fw::clRed);
    bmp.Canvas().Font().SetSize(12);
    TCaptionStyle style;
    style.AntiAlias = aaAntiAlias;
    style.Enabled = false;
    RECT measured{};
    DrawTabCaption(bmp.Canvas(), RECT{0, 0, 120, 24}, L"IIII", L"", style, true, measured);
    GdiFlush();
    int grey = 0, red = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 120; ++x) {
            const uint32_t p = Px(bmp, x, y);
            if (Near(p, 0x808080, 24)) ++grey;
            if (((p >> 16) & 0xFF) > ((p & 0xFF) + 60)) ++red;
        }
    EXPECT_GT(grey, 0);
    EXPECT_EQ(red, 0);
}

// A picture of a blue square on a magenta ground (the ground is the key).
void BlueSquarePicture(TGDIPPicture& picture) {
    fw::TBitmap bmp(12, 12);
    kel::test::Fill(bmp, fw::clFuchsia);
    bmp.Canvas().Brush().SetColor(fw::clBlue);
    bmp.Canvas().FillRect(RECT{2, 2, 10, 10});
    GdiFlush();
    picture.Assign(bmp);
    picture.UpdateImageSize();
}

int CountColour(fw::TBitmap& bmp, const RECT& r, uint32_t colour) {
    int n = 0;
    for (int y = std::max(0, int(r.top)); y < std::min(bmp.Height(), int(r.bottom)); ++y)
        for (int x = std::max(0, int(r.left)); x < std::min(bmp.Width(), int(r.right)); ++x) n += Px(bmp, x, y) == colour;
    return n;
}

TEST(PagerPaint, TabImagesAndPictures) {
    Fixture f(2);
    auto* images = new fw::TImageList(f.pager, 16, 16);
    kel::test::AddSolidImage(*images, fw::clRed);
    f.pager->SetImages(images);
    const RECT before = f.pager->TabRect(0);
    f.pages[0]->SetImageIndex(0);
    TGDIPPicture picture;
    BlueSquarePicture(picture);
    f.pages[1]->SetPicture(picture);
    const RECT t0 = f.pager->TabRect(0), t1 = f.pager->TabRect(1);
    EXPECT_EQ((t0.right - t0.left) - (before.right - before.left), 18) << "the image and its gap widen the tab";
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    const int h0 = t0.bottom - t0.top;
    // Image-list image at the text start, centred across the tab.
    const int ix = t0.left + f.pager->TabSettings().LeftMargin(), iy = t0.top + (h0 - 16) / 2;
    EXPECT_EQ(Px(bmp, ix, iy), 0xFF0000u);
    EXPECT_EQ(Px(bmp, ix + 15, iy + 15), 0xFF0000u);
    EXPECT_NE(Px(bmp, ix - 1, iy + 8), 0xFF0000u);
    // The picture 2 pixels further in; its magenta ground is transparent.
    const int px = t1.left + f.pager->TabSettings().LeftMargin() + 2, py = t1.top + (h0 - 12) / 2;
    EXPECT_EQ(Px(bmp, px + 6, py + 6), 0x0000FFu);
    EXPECT_NE(Px(bmp, px + 1, py + 6), 0x0000FFu);
    EXPECT_EQ(CountColour(bmp, t1, 0xFF00FF), 0) << "the key colour never shows";

    // On the right: after the caption, the right margin in from the end.
    f.pager->TabSettings().SetImagePosition(ipRight);
    const RECT r0 = f.pager->TabRect(0);
    PaintPager(*f.pager, bmp);
    EXPECT_EQ(Px(bmp, r0.right - f.pager->TabSettings().RightMargin() - 8, iy + 8), 0xFF0000u);
    EXPECT_NE(Px(bmp, r0.left + f.pager->TabSettings().LeftMargin() + 2, iy + 8), 0xFF0000u);

    // A rotated left tab: the image at the reading start, centred across.
    f.pager->TabSettings().SetImagePosition(ipLeft);
    f.pager->SetTabPosition(tpLeft);
    const RECT l0 = f.pager->TabRect(0);
    ASSERT_NE(l0.left, -1);
    PaintPager(*f.pager, bmp);
    const int lx = l0.left + (l0.right - l0.left - 16) / 2;
    const int ly = l0.bottom - f.pager->TabSettings().LeftMargin() - 16;
    EXPECT_EQ(Px(bmp, lx + 8, ly + 8), 0xFF0000u);
    EXPECT_EQ(Px(bmp, lx + 8, ly + 15), 0xFF0000u);
    EXPECT_NE(Px(bmp, lx + 8, ly + 16), 0xFF0000u);
}

TEST(PagerPaint, OwnerDrawnTabs) {
    Fixture f(2);
    TTabAppearance& t = f.pager->CurrentStyler()->TabAppearance();
    t.BackGround().SetColor(fw::clRed);
    t.BackGround().SetColorTo(fw::clNone);
    std::vector<std::pair<int, RECT>> calls;
    f.pager->OnDrawTab = [&](fw::TComponent*, int index, const RECT& r) { calls.push_back({index, r}); };
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].first, 0);
    const RECT t0 = f.pager->TabRect(0);
    EXPECT_TRUE(EqualRect(&calls[0].second, &t0));
    // The inactive tab has no body, so all of it is the background.
    const RECT t1 = f.pager->TabRect(1);
    EXPECT_EQ(CountColour(bmp, t1, 0xFF0000), (t1.right - t1.left) * (t1.bottom - t1.top)) << "no caption drawn";
    f.pager->OnDrawTab = nullptr;
    PaintPager(*f.pager, bmp);
    EXPECT_LT(CountColour(bmp, t1, 0xFF0000), (t1.right - t1.left) * (t1.bottom - t1.top)) << "built-in caption";
}

TEST(PagerPaint, ActiveTabLiesOverItsNeighbours) {
    Fixture f(3);
    f.pager->SetShowNonSelectedTabs(true);
    TTabAppearance& t = f.pager->CurrentStyler()->TabAppearance();
    t.SetColorSelected(fw::clYellow), t.SetColorSelectedTo(fw::clYellow);
    t.SetColorMirrorSelected(fw::clYellow), t.SetColorMirrorSelectedTo(fw::clYellow);
    t.SetColor(fw::clBlue), t.SetColorTo(fw::clBlue), t.SetColorMirror(fw::clBlue), t.SetColorMirrorTo(fw::clBlue);
    f.pager->TabSettings().SetSpacing(-10);
    f.pager->SetActivePage(f.pages[1]);
    const RECT a = f.pager->TabRect(1), right = f.pager->TabRect(2);
    ASSERT_LT(right.left, a.right) << "the tabs overlap";
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    const int y = a.bottom - 6;
    EXPECT_EQ(Px(bmp, a.right - 6, y), 0xFFFF00u) << "the active tab over its right neighbour";
    EXPECT_EQ(Px(bmp, right.right - 8, y), 0x0000FFu) << "the neighbour beyond the overlap";
}

TEST(PagerPaint, TabsKeepOutOfTheButtonArea) {
    Fixture f(1);
    f.pager->SetBounds(10, 10, 200, 120);
    TTabAppearance& t = f.pager->CurrentStyler()->TabAppearance();
    t.BackGround().SetColor(fw::clRed);
    t.BackGround().SetColorTo(fw::clNone);
    t.SetColorSelected(fw::clYellow), t.SetColorSelectedTo(fw::clYellow);
    t.SetColorMirrorSelected(fw::clYellow), t.SetColorMirrorSelectedTo(fw::clYellow);
    f.pages[0]->SetCaption(L"A caption far wider than this small pager");
    f.pager->ButtonSettings().SetPageListButton(true);
    const RECT r = f.pager->TabRect(0);
    const TPagerRect b = f.pager->Layout().ButtonsRect();
    ASSERT_GT(r.right, b.Left + 5) << "a lone tab reaches under the buttons";
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    EXPECT_TRUE(Near(Px(bmp, b.Left - 8, r.bottom - 6), 0xFFFF00, 40)) << "the tab before the button area";
    EXPECT_EQ(Px(bmp, b.Left + 3, r.bottom - 6), 0xFF0000u) << "the background again under the buttons";
}

TEST(PagerPaint, ShapedActiveTabWithCloseButtonsOnTabs) {
    Fixture f(2);
    TTabAppearance& t = f.pager->CurrentStyler()->TabAppearance();
    t.BackGround().SetColor(fw::clRed);
    t.BackGround().SetColorTo(fw::clNone);
    t.SetColorSelected(fw::clYellow), t.SetColorSelectedTo(fw::clYellow);
    t.SetColorMirrorSelected(fw::clYellow), t.SetColorMirrorSelectedTo(fw::clYellow);
    t.SetBorderColorSelected(fw::clBlack);
    f.pages[0]->SetCaption(L"II");
    f.pager->TabSettings().SetShape(tsLeftRightRamp);
    f.pager->TabSettings().SetRounding(3);
    f.pager->ButtonSettings().SetCloseButton(true);
    f.pager->SetCloseOnTab(true);
    const RECT r = f.pager->TabRect(0);
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    EXPECT_EQ(Px(bmp, r.left + 1, r.top + 1), 0xFF0000u) << "beside the ramp the strip shows";
    EXPECT_EQ(Px(bmp, r.right - 2, r.top + 1), 0xFF0000u);
    EXPECT_TRUE(Near(Px(bmp, r.left + 13, r.top + 10), 0xFFFF00, 40)) << "the body came through the bitmap";
    const uint32_t key = Rgb(BlendColors(fw::clBlack, fw::clWhite, 50));
    EXPECT_EQ(CountColour(bmp, r, key), 0) << "the bitmap's fill stays transparent";
    glow::TKelGlowButton* close = f.pages[0]->CloseButton();
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->Visible());
}

TEST(PagerPaint, StripButtonsShowDrawnPictures) {
    Fixture f(8);
    f.pager->SetBounds(10, 10, 300, 200);
    f.pager->ButtonSettings().SetPageListButton(true);
    f.pager->ButtonSettings().SetCloseButton(true);
    ASSERT_TRUE(f.pager->TabScroller().Visible());
    EXPECT_FALSE(f.pager->ButtonSettings().NextPictureChanged()) << "default pictures are no change";
    fw::TBitmap bmp(1, 1);
    bmp.SetSize(f.pager->Width(), f.pager->Height());
    kel::test::FillWhite(bmp);
    f.pager->PaintTo(bmp.Canvas().Handle(), true);
    GdiFlush();
    for (auto which : {TKelOfficePager::sbNext, TKelOfficePager::sbPageList, TKelOfficePager::sbClose}) {
        glow::TKelGlowButton* b = f.pager->StripButton(which);
        ASSERT_NE(b, nullptr);
        const RECT r{b->Left(), b->Top(), b->Left() + b->Width(), b->Top() + b->Height()};
        EXPECT_GT(CountColour(bmp, r, 0x303030), 8) << "glyph of button " << int(which);
        EXPECT_EQ(CountColour(bmp, r, 0xFF00FF), 0) << "its ground is transparent";
    }
}

TEST(PagerCaption, ImageDrawersKeyTheirCornerPixel) {
    fw::TBitmap bmp(40, 20);
    kel::test::FillWhite(bmp);
    fw::TImageList list(nullptr, 8, 8);
    fw::TBitmap image(8, 8);
    kel::test::Fill(image, fw::clGreen);
    image.ScanLine(7)[0] = 0x00FF00FF;  // the bottom-left pixel is the key
    image.ScanLine(0)[7] = 0x00FF00FF;  // and so the same colour elsewhere
    list.AddMasked(image, fw::clAqua);
    DrawImageListImageGP(nullptr, &bmp.Canvas(), POINT{2, 2}, true, 0, &list);
    GdiFlush();
    EXPECT_EQ(Px(bmp, 5, 5), 0x008000u);
    EXPECT_EQ(Px(bmp, 2, 9), 0xFFFFFFu) << "bottom-left colour transparent";
    EXPECT_EQ(Px(bmp, 9, 2), 0xFFFFFFu);
    DrawImageListImageGP(nullptr, &bmp.Canvas(), POINT{20, 2}, true, -1, &list);
    DrawImageListImageGP(nullptr, nullptr, POINT{20, 2}, true, 0, &list);
    EXPECT_EQ(kel::test::InkIn(bmp, 20, 0, 40, 20), 0) << "no index or no surface: nothing";

    // A bitmap graphic loses its top-left colour with the key, keeps it without.
    TGDIPPicture picture;
    BlueSquarePicture(picture);
    DrawGraphicGP(nullptr, &bmp.Canvas(), POINT{20, 2}, true, picture);
    GdiFlush();
    EXPECT_EQ(Px(bmp, 26, 8), 0x0000FFu);
    EXPECT_EQ(Px(bmp, 20, 2), 0xFFFFFFu);
    DrawGraphicGP(nullptr, &bmp.Canvas(), POINT{20, 2}, false, picture);
    GdiFlush();
    EXPECT_EQ(Px(bmp, 20, 2), 0xFF00FFu);

    bmp.Canvas().Font().SetSize(10);
    const int w = CanvasWideTextWidth(bmp.Canvas(), L"Wide text");
    EXPECT_EQ(w, bmp.Canvas().TextWidth(L"Wide text"));
    EXPECT_GT(w, 20);
    EXPECT_EQ(CanvasWideTextWidth(bmp.Canvas(), L""), 0);
}

TEST(Pager, ShortCutHintsTypedAndCtrlTabFromAChild) {
    if (!kel::test::XdotoolAvailable()) GTEST_SKIP() << "xdotool is not installed";
    Fixture f(3);
    f.pages[0]->SetShortCutHint(L"A");
    f.pages[1]->SetShortCutHint(L"BC");
    f.pages[2]->SetShortCutHint(L"BD");
    f.pager->SetShowShortCutHints(true);
    auto* edit = new fw::TEdit(f.pages[0]);
    edit->SetParent(f.pages[0]);
    edit->SetBounds(10, 10, 80, 20);
    SetForegroundWindow(f.form->Handle());
    PumpUntil([] { return false; }, 100);
    // A real click on the page makes the form the X server's focus too.
    const POINT body = f.pager->ClientToScreen(POINT{300, 150});
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove " + std::to_wstring(body.x) + L" " + std::to_wstring(body.y)));
    ASSERT_TRUE(kel::test::Xdotool(L"click 1"));
    PumpUntil([] { return false; }, 100);
    f.pager->SetFocus();
    PumpUntil([&] { return f.pager->ShortCutHintMode(); }, 2000);
    ASSERT_TRUE(f.pager->ShortCutHintMode()) << "the pager's focus shows the hints";
    ASSERT_TRUE(kel::test::Xdotool(L"key b"));
    PumpUntil([&] { return !f.pager->TypedShortCut().empty(); }, 3000);
    EXPECT_EQ(f.pager->TypedShortCut(), L"B");
    EXPECT_TRUE(f.pager->ShortCutHintMode()) << "two hints start with B";
    ASSERT_TRUE(kel::test::Xdotool(L"key d"));
    PumpUntil([&] { return f.Active() == 2; }, 3000);
    EXPECT_EQ(f.Active(), 2);
    EXPECT_FALSE(f.pager->ShortCutHintMode());

    // A letter that starts no hint ends the mode (with a beep).
    f.pager->SetActivePage(f.pages[0]);
    edit->SetFocus();
    f.pager->SetFocus();
    PumpUntil([&] { return f.pager->ShortCutHintMode(); }, 2000);
    ASSERT_TRUE(f.pager->ShortCutHintMode());
    ASSERT_TRUE(kel::test::Xdotool(L"key x"));
    PumpUntil([&] { return !f.pager->ShortCutHintMode(); }, 3000);
    EXPECT_FALSE(f.pager->ShortCutHintMode());
    EXPECT_EQ(f.Active(), 0);

    // Sizing the form hides the hints through the form's hook.
    edit->SetFocus();
    f.pager->SetFocus();
    PumpUntil([&] { return f.pager->ShortCutHintMode(); }, 2000);
    ASSERT_TRUE(f.pager->ShortCutHintMode());
    SendMessageW(f.form->Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(420, 240));
    EXPECT_FALSE(f.pager->ShortCutHintMode());

    // Ctrl+Tab and Ctrl+Shift+Tab from a control on the page.
    edit->SetFocus();
    PumpUntil([&] { return GetFocus() == edit->Handle(); }, 2000);
    ASSERT_TRUE(kel::test::Xdotool(L"key ctrl+Tab"));
    PumpUntil([&] { return f.Active() == 1; }, 3000);
    EXPECT_EQ(f.Active(), 1) << "Ctrl+Tab from the edit";
    f.pager->SetActivePage(f.pages[0]);
    edit->SetFocus();
    PumpUntil([&] { return GetFocus() == edit->Handle(); }, 2000);
    ASSERT_TRUE(kel::test::Xdotool(L"key ctrl+shift+Tab"));
    PumpUntil([&] { return f.Active() == 2; }, 3000);
    EXPECT_EQ(f.Active(), 2) << "Ctrl+Shift+Tab from the edit wraps to the last page";
    ASSERT_TRUE(kel::test::Xdotool(L"mousemove 5 400"));
}

TEST(PagerPaint, Screenshot) {
    Fixture f(3);
    auto* styler = new TKelOfficePagerOfficeStyler(f.pager);
    styler->SetStyle(psOffice2007Luna);
    f.pager->SetKelOfficePagerStyler(styler);
    for (TKelOfficePage* p : f.pages) p->SetTabVisible(false);
    f.pager->SetActivePage(f.pages[1]);
    PumpUntil([] { return false; }, 200);
    fw::test::SaveWindowShot(f.form->Handle(), "pager_page_body");
    EXPECT_EQ(f.pager->ActivePageIndex(), 1);
    for (TKelOfficePage* p : f.pages) p->SetTabVisible(true);
    f.pager->Invalidate();
    PumpUntil([] { return false; }, 200);
    fw::test::SaveWindowShot(f.form->Handle(), "pager_tabs");
    f.pager->SetTabPosition(tpLeft);
    f.pager->TabSettings().SetHeight(30);
    PumpUntil([] { return false; }, 200);
    fw::test::SaveWindowShot(f.form->Handle(), "pager_left_tabs");
    fw::TBitmap bmp(1, 1);
    PaintPager(*f.pager, bmp);
    const RECT tab = f.pager->TabRect(0);
    ASSERT_NE(tab.left, -1);
    int dark = 0;
    for (int y = tab.top; y < tab.bottom; ++y)
        for (int x = tab.left; x < tab.right; ++x) dark += Near(Px(bmp, x, y), 0x202040, 0x60);
    EXPECT_GT(dark, 5) << "a turned caption on a left tab";

    // Images, pictures, close buttons on the tabs and the strip's buttons.
    f.pager->SetTabPosition(tpTop);
    f.pager->TabSettings().SetHeight(26);
    auto* images = new fw::TImageList(f.pager, 16, 16);
    kel::test::AddSolidImage(*images, fw::clGreen);
    f.pager->SetImages(images);
    for (int i = 0; i < 6; ++i) {
        auto* p = new TKelOfficePage(f.pager);
        p->SetCaption(L"More " + std::to_wstring(i));
        p->SetPager(f.pager);
    }
    f.pages[0]->SetImageIndex(0);
    TGDIPPicture picture;
    BlueSquarePicture(picture);
    f.pages[1]->SetPicture(picture);
    f.pager->ButtonSettings().SetPageListButton(true);
    f.pager->ButtonSettings().SetCloseButton(true);
    f.pager->SetCloseOnTab(true);
    f.pager->SetActivePage(f.pages[0]);
    PumpUntil([] { return false; }, 300);
    fw::test::SaveWindowShot(f.form->Handle(), "pager_images_buttons");
    EXPECT_TRUE(f.pager->TabScroller().Visible());
    f.pager->SetTabPosition(tpRight);
    f.pager->TabSettings().SetHeight(30);
    PumpUntil([] { return false; }, 300);
    fw::test::SaveWindowShot(f.form->Handle(), "pager_right_images");
}

}  // namespace
}  // namespace kel::pager
