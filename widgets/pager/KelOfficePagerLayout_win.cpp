// The pager's tab layout: its settings and measured tab contents handed to
// the strip geometry, and the scroller kept from it.
#include <algorithm>
#include <utility>
#include <vector>

#include "framework/gui/image_list.h"
#include "widgets/pager/KelOfficePager.h"
#include "widgets/pager/KelPagerCaption.h"
#include "widgets/pager/KelPagerLayout.h"

namespace kel::pager {

namespace {

RECT ToRect(const TPagerRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

SIZE TextExtent(const TTabFont& tabFont, const std::wstring& text) {
    if (text.empty()) return SIZE{0, 0};
    fw::TFont font;
    font.SetName(tabFont.Name());
    font.SetSize(tabFont.Size());
    font.SetStyle(fw::TFontStyles(tabFont.Style()));
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    SIZE size{0, 0};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

// The caption width as the caption drawing measures it, without drawing.
// Measuring with GDI+ is slow and the layout is asked for often, so the
// last widths are kept by text and font.
int MeasuredCaptionWidth(const TTabFont& tabFont, const std::wstring& caption, const std::wstring& wideCaption,
                         bool wordWrap, TPagerAntiAlias antiAlias, bool enabled, int height) {
    const std::wstring& text = caption.empty() ? wideCaption : caption;
    if (text.empty()) return 0;
    struct TKey {
        std::wstring Text, Font;
        int Size, Style, Height;
        bool WordWrap;
        TPagerAntiAlias AntiAlias;
        bool operator==(const TKey&) const = default;
    };
    static std::vector<std::pair<TKey, int>> cache;
    const TKey key{text, tabFont.Name(), tabFont.Size(), int(tabFont.Style()), height, wordWrap, antiAlias};
    for (const auto& [k, w] : cache)
        if (k == key) return w;
    static fw::TBitmap surface(1, 1);
    fw::TCanvas& canvas = surface.Canvas();
    canvas.Font().SetName(tabFont.Name());
    canvas.Font().SetSize(tabFont.Size());
    canvas.Font().SetStyle(fw::TFontStyles(tabFont.Style()));
    TCaptionStyle style;
    style.AntiAlias = antiAlias;
    style.WordWrap = wordWrap;
    style.Enabled = enabled;
    RECT measured{0, 0, 0, 0};
    DrawTabCaption(canvas, RECT{0, 0, 1000, std::max(height, 1)}, caption, wideCaption, style, false, measured);
    const int width = measured.right - measured.left;
    if (cache.size() >= 64) cache.erase(cache.begin());
    cache.emplace_back(key, width);
    return width;
}

}  // namespace

TPagerLayout TKelOfficePager::Layout() const {
    TPagerLayout l;
    const RECT c = ClientRect();
    l.Client = TPagerRect{c.left, c.top, c.right, c.bottom};
    l.Position = tabPosition_;
    l.TabHeight = tabSettings_.Height();
    l.PageMargin = pageMargin_;
    l.StartMargin = tabSettings_.StartMargin();
    l.EndMargin = tabSettings_.EndMargin();
    l.LeftMargin = tabSettings_.LeftMargin();
    l.RightMargin = tabSettings_.RightMargin();
    l.Spacing = tabSettings_.Spacing();
    l.TabWidth = tabSettings_.Width();
    l.ImagePosition = tabSettings_.ImagePosition();
    l.Shape = tabSettings_.Shape();
    l.Rounding = tabSettings_.Rounding();
    l.RotateTabLeftRight = rotateTabLeftRight_;
    const TPageButtonSettings& b = *buttonSettings_;
    l.FirstButton = b.FirstButton();
    l.LastButton = b.LastButton();
    l.PageListButton = b.PageListButton();
    l.CloseButton = b.CloseButton();
    l.ClosedListButton = b.ClosedListButton();
    l.ClosedListEmpty = closedPages_.empty();
    l.ScrollButtonsAlways = b.ScrollButtonsAlways();
    l.CloseOnTab = closeOnTab_;
    l.CloseOnTabPosition = closeOnTabPosition_;
    l.ShowCloseOnNonSelectedTabs = showCloseOnNonSelectedTabs_;
    l.Alignment = tabSettings_.Alignment();
    l.ActiveIndex = activeIndex_;
    l.FixedTabs = fixedTabs_;
    l.ScrollMin = scroller_.Min();
    l.ScrollMax = scroller_.Max();
    l.ScrollPosition = scroller_.Position();
    l.ScrollVisible = scroller_.Visible();
    l.Extended = extendedArea_;
    for (TKelOfficePage* p : pages_) {
        TLayoutTab t;
        t.TabVisible = p->TabVisible();
        t.Enabled = p->Enabled();
        t.ShowClose = p->ShowClose();
        t.ShowCheckBox = p->ShowCheckBox();
        if (t.TabVisible) {
            const TTabFont& font = p->UseTabAppearance() || !currentStyler_ ? p->TabAppearance().Font()
                                                                               : currentStyler_->TabAppearance().Font();
            const SIZE s = TextExtent(font, p->TabCaption());
            t.CaptionWidth = MeasuredCaptionWidth(font, p->Caption(), p->WideCaption(), tabSettings_.WordWrap(),
                                                  antiAlias_, p->Enabled(), tabSettings_.Height());
            t.LineWidth = s.cx;
            t.LineHeight = s.cy;
            // Fixed-width tabs size captions in the styler's font, with room
            // for the wider rendering unless text is anti-aliased.
            const TTabFont& stylerFont = currentStyler_ ? currentStyler_->TabAppearance().Font() : font;
            const std::wstring& text = p->Caption().empty() ? p->WideCaption() : p->Caption();
            const int chars = int(text.size());
            const int extra = antiAlias_ == aaAntiAlias ? 0 : (p->Caption().empty() ? chars : chars / 3);
            t.FixedCaptionWidth = text.empty() ? 0 : TextExtent(stylerFont, text).cx + extra;
            const TGDIPPicture& picture =
                p->Enabled() || p->DisabledPicture().Empty() ? p->Picture() : p->DisabledPicture();
            if (!picture.Empty()) {
                t.ImageWidth = picture.Width();
                t.ImageHeight = picture.Height();
            } else if (p->ImageIndex() >= 0 && (images_ || disabledImages_)) {
                const fw::TImageList* list = !p->Enabled() && disabledImages_ ? disabledImages_ : images_;
                if (list) t.ImageWidth = list->Width(), t.ImageHeight = list->Height();
            }
        }
        l.Tabs.push_back(t);
    }
    return l;
}

RECT TKelOfficePager::TabRect(int index) const { return ToRect(Layout().TabRectByIndex(index)); }

int TKelOfficePager::TabAtPos(int x, int y) const { return Layout().TabAtPos(x, y); }

int TKelOfficePager::ButtonAreaStart() const {
    const TPagerRect b = Layout().ButtonsRect();
    return tabPosition_ == tpLeft || tabPosition_ == tpRight ? b.Top : b.Left;
}

RECT TKelOfficePager::CloseButtonRect(int index) const { return ToRect(Layout().TabCloseButtonRect(index)); }

RECT TKelOfficePager::CheckBoxRect(int index) const { return ToRect(Layout().CheckBoxRect(index)); }

int TKelOfficePager::TabNeighbourSide(int index) const { return Layout().TabNeighbourSide(index); }

bool TKelOfficePager::PtInTabCheckBox(int index, int x, int y) const {
    if (index < 0 || index >= PageCount() || !pages_[size_t(index)]->ShowCheckBox()) return false;
    const RECT r = CheckBoxRect(index);
    return r.left != -1 && x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

void TKelOfficePager::UpdateTabScroller() {
    TPagerLayout l = Layout();
    l.UpdateScroller();
    scroller_.SetMin(l.ScrollMin);
    scroller_.SetMax(l.ScrollMax);
    scroller_.SetMin(l.ScrollMin);
    scroller_.SetPosition(l.ScrollPosition);
    scroller_.SetVisible(l.ScrollVisible);
    extendedArea_ = l.Extended;
    UpdateButtons();
}

}  // namespace kel::pager
