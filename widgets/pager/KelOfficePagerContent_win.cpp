// What a tab shows inside its body: the image-list image, the caption and
// the picture, placed for the strip's side, the image position and the
// close button and check box on the tab.
#include <algorithm>

#include "framework/gui/image_list.h"
#include "widgets/pager/KelOfficePager.h"
#include "widgets/pager/KelPagerCaption.h"

namespace kel::pager {

using namespace fw;

namespace {

// One image to draw: where, and how large.
struct TPlaced {
    bool Shown = false;
    int X = 0, Y = 0, W = 0, H = 0;
};

int AtLeast4(int v) { return v < 5 ? 4 : v; }

}  // namespace

void TKelOfficePager::DrawTabContent(int index) {
    TKelOfficePage* page = pages_[size_t(index)];
    RECT r = TabRect(index);
    if (r.left < 0 && r.right < 0) return;
    const TPagerLayout layout = Layout();
    TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    const bool side = tabPosition_ == tpLeft || tabPosition_ == tpRight;
    const bool rotated = side && rotateTabLeftRight_;
    const bool unrotated = side && !rotateTabLeftRight_;
    const bool active = index == activeIndex_;
    const bool fixed = tabSettings_.Width() > 0;
    const TPagerAlignment alignment = tabSettings_.Alignment();
    const bool centred = fixed && alignment == taCenter;
    const TFixedTabContent content = fixed ? layout.FixedTabContent(index) : TFixedTabContent{};
    const TImagePosition ip = tabSettings_.ImagePosition();
    const int leftMargin = tabSettings_.LeftMargin(), rightMargin = tabSettings_.RightMargin();
    const int startMargin = tabSettings_.StartMargin();
    const bool closeOnTabs = buttonSettings_->CloseButton() && closeOnTab_ && page->ShowClose();
    const bool closeShown = closeOnTabs && (showCloseOnNonSelectedTabs_ || active);
    const bool closeLeft = closeOnTabPosition_ == cpLeft;

    // 7. The text rectangle, without the ramp, the close button and the check box.
    if (!layout.IsRectangularTab()) {
        const int ramp = layout.LeftRampWidth();
        if (!side)
            r.left += ramp;
        else if (rotated && tabPosition_ == tpLeft)
            r.bottom -= ramp;
        else if (rotated)
            r.top += ramp;
    }
    // Room taken by the close button: 11 on an inactive tab without its
    // button, 22 for a left button beside uncentred content.
    int closeRoom = 0;
    if (closeOnTabs) {
        if (!showCloseOnNonSelectedTabs_ && !active)
            closeRoom = 11;
        else if (closeLeft && alignment != taCenter)
            closeRoom = 22;
    }
    RECT tr = r;
    if (!side) {
        tr.left += leftMargin + closeRoom + (page->ShowCheckBox() ? 20 : 0);
    } else if (rotated && tabPosition_ == tpLeft) {
        tr.bottom -= leftMargin + closeRoom + (page->ShowCheckBox() ? 25 : 0);
    } else if (rotated) {
        tr.top += leftMargin + closeRoom + (page->ShowCheckBox() ? 20 : 0);
    } else {
        tr.left = r.left + leftMargin + (tabPosition_ == tpRight ? 3 : 0);
        if (closeShown && closeLeft && alignment != taCenter) tr.left += tabPosition_ == tpRight ? 23 : 22;
        if (closeShown && !closeLeft && !centred) tr.right -= 22;
        if (page->ShowCheckBox()) tr.left += 20;
    }

    // The image-list image and the picture.
    const bool pageEnabled = page->Enabled();
    const TImageList* list = !pageEnabled && disabledImages_ ? disabledImages_ : images_;
    const bool listEnabled = list == disabledImages_ && !pageEnabled ? true : page->TabEnabled() && pageEnabled;
    TGDIPPicture& picture = pageEnabled || page->DisabledPicture().Empty() ? page->Picture() : page->DisabledPicture();
    if (!picture.Empty() && picture.Width() == 0) picture.UpdateImageSize();
    const int fixedImage = content.ImageStart;
    const int rw = r.right - r.left, rh = r.bottom - r.top;
    // Places one image of w x h and takes its room from tr.
    auto place = [&](int w, int h, bool isPicture) {
        TPlaced p{true, 0, 0, w, h};
        const int cx = r.left + (rw - w) / 2, cy = r.top + (rh - h) / 2;
        if (!side) {
            switch (ip) {
                case ipLeft:
                    p.X = fixedImage >= 0 ? fixedImage : tr.left + (isPicture ? 2 : 0), p.Y = cy;
                    tr.left += w + 2;
                    break;
                case ipTop:
                    p.X = cx, p.Y = tr.top + startMargin;
                    tr.top += h;
                    break;
                case ipRight:
                    p.X = fixedImage >= 0 ? fixedImage : tr.right - w - rightMargin, p.Y = cy;
                    tr.right = p.X - 2;
                    if (closeShown && !closeLeft && !centred) p.X -= 18;
                    if (page->ShowCheckBox()) p.X -= 25;
                    break;
                case ipBottom:
                    p.X = cx, p.Y = tr.bottom - h - startMargin;
                    tr.bottom -= h;
                    break;
            }
        } else if (rotated && tabPosition_ == tpLeft) {
            switch (ip) {
                case ipLeft: p.X = cx, p.Y = fixedImage >= 0 ? fixedImage : tr.bottom - h, tr.bottom = p.Y - 2; break;
                case ipTop: p.Y = cy, p.X = tr.left, tr.left += w; break;
                case ipRight: p.X = cx, p.Y = fixedImage >= 0 ? fixedImage : tr.top + rightMargin, tr.top = p.Y + 2; break;
                case ipBottom: p.Y = cy, p.X = tr.right - w, tr.right -= w; break;
            }
        } else if (rotated) {
            switch (ip) {
                case ipLeft:
                    p.X = cx, p.Y = fixedImage >= 0 ? fixedImage : tr.top;
                    tr.top += h + 2;
                    break;
                case ipTop: p.Y = cy, p.X = tr.right - w, tr.right -= w; break;
                case ipRight:
                    p.X = cx, p.Y = fixedImage >= 0 ? fixedImage : tr.bottom - h - rightMargin;
                    tr.bottom = p.Y - 2;
                    break;
                case ipBottom: p.Y = cy, p.X = tr.left, tr.left += w; break;
            }
        } else {
            const bool left = tabPosition_ == tpLeft;
            switch (ip) {
                case ipLeft:
                    p.Y = cy, p.X = fixedImage >= 0 ? fixedImage : tr.left + (left && !isPicture ? 2 : 0);
                    tr.left += w + 2;
                    break;
                case ipTop: p.X = cx, p.Y = tr.top, tr.top += h; break;
                case ipRight:
                    p.Y = cy;
                    if (left)
                        p.X = fixedImage >= 0 ? fixedImage : tr.right - w - rightMargin;
                    else
                        p.X = fixedImage >= 0 && !isPicture ? fixedImage : tr.right - w;
                    tr.right = p.X - 2;
                    break;
                case ipBottom:
                    p.X = cx;
                    if (left && !isPicture) {
                        SelectGuard font(dc, canvas.Font().Handle());
                        const int d = (tr.bottom - tr.top) - GetWideTextExtent(dc, L"gh").cy - h;
                        p.Y = tr.bottom - h - d / 2;
                        tr.bottom -= h + 4;
                    } else {
                        p.Y = tr.bottom - h;
                        tr.bottom -= h;
                    }
                    break;
            }
        }
        return p;
    };
    if (list && page->ImageIndex() >= 0) {
        const TPlaced p = place(list->Width(), list->Height(), false);
        if (UseGlass())
            DrawImageListImageGP(nullptr, &canvas, POINT{p.X, p.Y}, listEnabled, page->ImageIndex(), list);
        else
            list->Draw(canvas, p.X, p.Y, page->ImageIndex(), listEnabled);
    }
    TPlaced pic;
    if (!picture.Empty() && picture.Width() > 0 && picture.Height() > 0)
        pic = place(picture.Width(), picture.Height(), true);

    // 8. The caption; q is where it went.
    RECT q = tr;
    const std::wstring& text = page->TabCaption();
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const bool ellipsis = fixed && !tabSettings_.WordWrap();
    const bool gdiTurned = rotated && (tabPosition_ == tpLeft || antiAlias_ == aaNone || fixed);
    if (gdiTurned && !text.empty()) {
        // A turned copy of the font: upward on the left, downward on the right.
        LOGFONTW lf = canvas.Font().LogFont();
        lf.lfEscapement = lf.lfOrientation = tabPosition_ == tpLeft ? -2700 : -900;
        HFONT font = CreateFontIndirectW(&lf);
        std::wstring shown = text;
        if (ellipsis) {
            SelectGuard plain(dc, canvas.Font().Handle());
            shown = TruncateCaption(canvas, text, tr, false, false, tabPosition_, true);
        }
        HGDIOBJ old = SelectObject(dc, font);
        const COLORREF oldColor = SetTextColor(dc, ColorToRGB(canvas.Font().Color()));
        const SIZE gh = GetWideTextExtent(dc, L"gh");
        const SIZE extent = GetWideTextExtent(dc, shown);
        const int h = gh.cy;
        const bool fromFixed = fixed && (alignment == taRightJustify || alignment == taCenter) &&
                               content.CaptionStart >= 0;
        if (tabPosition_ == tpLeft) {
            const int x = tr.left + (tr.right - tr.left - h) / 2;
            const int y = fromFixed ? content.CaptionEnd : tr.bottom;
            TextOutW(dc, x, y, shown.c_str(), int(shown.size()));
        } else {
            const int x = tr.right - (tr.right - tr.left - h) / 2;
            const int y = fromFixed ? content.CaptionStart : tr.top;
            TextOutW(dc, x, y, shown.c_str(), int(shown.size()));
        }
        const int qx = tr.left + (tr.right - tr.left - h) / 2;
        q = RECT{qx, tr.bottom, qx + h, tr.bottom + extent.cx};
        SetTextColor(dc, oldColor);
        SelectObject(dc, old);
        DeleteObject(font);
    } else if (unrotated && !text.empty()) {
        TCaptionStyle style;
        style.Enabled = page->TabEnabled();
        style.AntiAlias = antiAlias_;
        RECT t = tr;
        if (fixed && alignment == taRightJustify) {
            style.Alignment = taRightJustify;
            t.right -= 3;
        } else if (fixed && alignment == taCenter) {
            style.Alignment = taCenter;
        } else if (!fixed && (ip == ipTop || ip == ipBottom)) {
            style.Alignment = taCenter;
            if (tabPosition_ == tpLeft) t.left -= leftMargin, t.right -= 3;
        }
        DrawTabCaption(canvas, t, page->Caption(), page->WideCaption(), style, true, q);
    } else if (!text.empty()) {
        TCaptionStyle style;
        style.Enabled = page->TabEnabled();
        style.AntiAlias = antiAlias_;
        style.Position = tabPosition_;
        style.WordWrap = tabSettings_.WordWrap();
        style.Ellipsis = ellipsis;
        RECT t = tr;
        if (fixed) {
            if (alignment == taRightJustify) {
                style.Alignment = taRightJustify;
                const TKelTabShape shape = tabSettings_.Shape();
                if (shape == tsRightRamp || shape == tsLeftRightRamp) t.right -= layout.RightRampWidth();
            } else if (alignment == taCenter && content.CaptionStart >= 0) {
                t.left = content.CaptionStart;
            }
            if (closeOnTab_ && closeShown && !closeLeft) t.right -= 22;
        } else if (ip == ipTop || ip == ipBottom) {
            style.Alignment = taCenter;
        } else {
            t.right += 10;
        }
        DrawTabCaption(canvas, t, page->Caption(), page->WideCaption(), style, true, q);
    }
    SetBkMode(dc, oldMode);

    // 9. The picture, moved next to the caption where it sits above, below
    // or after it.
    if (pic.Shown) {
        if (!side) {
            if (ip == ipTop) pic.Y = std::max(4, int(q.top) - pic.H - 2);
            if (ip == ipBottom) pic.Y = int(std::min(q.bottom + 2, tr.bottom));
        } else if (rotated) {
            const bool before = (tabPosition_ == tpLeft) == (ip == ipTop);
            if (ip == ipTop || ip == ipBottom) pic.X = AtLeast4(before ? q.left - pic.W - 2 : q.right + 2);
        } else {
            if (ip == ipTop) pic.Y = AtLeast4(q.top - pic.H - 2);
            if (ip == ipRight) pic.X = AtLeast4(q.right + 4);
            if (ip == ipBottom) pic.Y = AtLeast4(q.bottom + 2);
        }
        if (UseGlass())
            DrawGraphicGP(nullptr, &canvas, POINT{pic.X, pic.Y}, true, picture);
        else
            picture.Draw(canvas, RECT{pic.X, pic.Y, pic.X + pic.W, pic.Y + pic.H});
    }
}

}  // namespace kel::pager
