#include "widgets/buttons/KelMenuItemPainter.h"

#include <algorithm>
#include <vector>

#include "framework/gui/actions.h"
#include "framework/gui/image_list.h"
#include "widgets/buttons/KelMenuDraw.h"
#include "widgets/buttons/KelMenuLayout.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel::menus {

namespace {

TCustomKelMenuStyler* StylerOf(fw::TMenuItem* item, IStyledMenu** hostOut = nullptr) {
    IStyledMenu* host = GetItemHost(item);
    if (hostOut) *hostOut = host;
    return host ? host->GetCurrentStyler() : nullptr;
}

SIZE MeasureText(fw::TCanvas& canvas, const std::wstring& text) {
    RECT r{0, 0, 0, 0};
    DrawTextW(canvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_SINGLELINE);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

}  // namespace

HMENU NativeMenuOf(fw::TMenuItem* item) {
    fw::TMenuItem* parent = item->Parent();
    if (!parent) return nullptr;
    if (parent->Parent()) return parent->Handle();
    fw::TMenu* menu = item->GetParentMenu();
    return menu ? menu->Handle() : nullptr;
}

bool InLaterColumn(fw::TMenuItem* item) {
    fw::TMenuItem* parent = item->Parent();
    if (item->Break()) return true;
    if (!parent) return false;
    for (int i = 0; i < parent->Count() && parent->Items(i) != item; ++i)
        if (parent->Items(i)->Visible() && parent->Items(i)->Break()) return true;
    return false;
}

bool IsFirstVisibleItem(fw::TMenuItem* item) {
    fw::TMenuItem* parent = item->Parent();
    if (!parent) return false;
    for (int i = 0; i < parent->Count(); ++i)
        if (parent->Items(i)->Visible()) return parent->Items(i) == item;
    return false;
}

bool SideBarShownFor(fw::TMenuItem* item) {
    TCustomKelMenuStyler* styler = StylerOf(item);
    if (!styler || !styler->SideBar().Visible()) return false;
    switch (styler->SideBar().VisibleIn()) {
        case viFirstVisible: return false;
        case viFirstLevel: {
            fw::TMenu* menu = item->GetParentMenu();
            return menu && item->Parent() == menu->Items();
        }
        case viAnyLevel: return true;
    }
    return false;
}

std::wstring KeyDisplayName(int key) {
    LONG code = static_cast<LONG>(MapVirtualKeyW(static_cast<UINT>(key), 0) << 16);
    if (key != 8 && key != 13 && (key < 16 || key > 18)) code |= 0x1000000;
    wchar_t name[256] = {};
    const int n = GetKeyNameTextW(code, name, 255);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring ShortCutDisplayText(uint16_t shortCut, bool international) {
    return ShortCutDisplayText(shortCut, international, fw::ShortCutToText(static_cast<fw::TShortCut>(shortCut & ~kWinKeyFlag)),
                               KeyDisplayName);
}

void MeasureMenuItem(fw::TMenuItem* item, fw::TCanvas& canvas, int& width, int& height, bool showSideBar) {
    IStyledMenu* host = nullptr;
    TCustomKelMenuStyler* styler = StylerOf(item, &host);
    if (!styler) return;
    TItemMeasureInput in;
    in.Visible = item->Visible();
    in.IsLine = item->IsLine();
    in.Caption = item->Caption();
    in.ShowNotes = host->GetShowNotes();
    if (item->ShortCut() != fw::scNone) {
        in.ShortCutText = ShortCutDisplayText(item->ShortCut(), host->GetIntlKeybShortCuts());
        in.WinKey = (item->ShortCut() & kWinKeyFlag) != 0;
    }
    if (fw::TImageList* images = item->GetImageList()) {
        in.HasImageList = true;
        in.ImageListHeight = images->Height();
    } else if (item->HasBitmap()) {
        in.BitmapHeight = item->Bitmap().Height();
    }
    in.IconSize = styler->IconBar().Size();
    in.SeparatorWidth = styler->Separator().Width();
    in.SideBar = showSideBar && !InLaterColumn(item);
    in.SideBarSize = styler->SideBar().Size();
    in.SplitterWidth = styler->SideBar().SplitterWidth();

    fw::TFont captionFont;
    captionFont.Assign(canvas.Font());
    if (!styler->UseSystemFont())
        captionFont.Assign(styler->Font());
    else if (!styler->SelectedItem().UseSystemFont())
        captionFont.Assign(styler->SelectedItem().Font());
    auto measureIn = [&canvas](fw::TFont& font) {
        return [&canvas, &font](const std::wstring& text) {
            canvas.Font().Assign(font);
            const SIZE s = MeasureText(canvas, text);
            return TTextSize{s.cx, s.cy};
        };
    };
    const TTextSize size = MeasureMenuItem(in, TTextSize{width, height}, measureIn(captionFont),
                                           measureIn(styler->NotesFont()));
    width = size.Width;
    height = size.Height;
}

namespace {

RECT MenuItemsScreenRect(fw::TMenuItem* item) {
    HMENU menu = NativeMenuOf(item);
    RECT all{0, 0, 0, 0};
    if (!menu) return all;
    const int count = GetMenuItemCount(menu);
    bool any = false;
    for (int i = 0; i < count; ++i) {
        RECT r;
        if (!GetMenuItemRect(nullptr, menu, static_cast<UINT>(i), &r)) continue;
        if (any) {
            UnionRect(&all, &all, &r);
        } else {
            all = r;
            any = true;
        }
    }
    return all;
}

}  // namespace

RECT MenuItemsRect(fw::TMenuItem* item, HWND window) {
    RECT all = MenuItemsScreenRect(item);
    if (IsRectEmpty(&all)) return all;
    // In the menu window's client area; Wine's menu windows have a margin
    // there before the first item.
    POINT origin{0, 0};
    if (window && ClientToScreen(window, &origin))
        OffsetRect(&all, -origin.x, -origin.y);
    else
        OffsetRect(&all, -all.left, -all.top);
    return all;
}

void DrawMenuItemText(fw::TMenuItem* item, fw::TCanvas& canvas, const std::wstring& text, RECT& r,
                      fw::TOwnerDrawState state, UINT format) {
    IStyledMenu* host = nullptr;
    TCustomKelMenuStyler* styler = StylerOf(item, &host);
    if (!styler) return;
    fw::TMenu* menu = item->GetParentMenu();
    if (menu && menu->IsRightToLeft()) format |= DT_RIGHT | DT_RTLREADING;
    std::wstring shown = text;
    if ((format & DT_CALCRECT) && (shown.empty() || shown == L"&")) shown += L' ';
    canvas.Brush().SetStyle(fw::TBrushStyle::bsClear);
    SetBkMode(canvas.Handle(), TRANSPARENT);
    const bool selected = (state & fw::odSelected) != 0;
    if (selected)
        canvas.Font().Assign(styler->SelectedItem().UseSystemFont() ? fw::MenuFont() : styler->SelectedItem().Font());
    else
        canvas.Font().Assign(styler->UseSystemFont() ? fw::MenuFont() : styler->Font());
    if (item->Default()) canvas.Font().SetStyle(canvas.Font().Style() | fw::fsBold);
    auto disabledColour = [&](fw::TFont& font) {
        if (item->Enabled()) return;
        if (!selected)
            font.SetColor(fw::clBtnShadow);
        else
            font.SetColor(fw::ColorToRGB(fw::clHighlight) == fw::ColorToRGB(fw::clBtnShadow) ? fw::clBtnHighlight
                                                                                              : fw::clBtnShadow);
    };
    disabledColour(canvas.Font());
    const TAntiAlias aa = styler->AntiAlias();
    const bool notes = host->GetShowNotes() && HasNotes(shown);
    if (aa != aaNone && (format & DT_CALCRECT)) return;
    fw::TFont& notesFont = selected ? styler->SelectedItem().NotesFont() : styler->NotesFont();

    if (aa == aaNone) {
        HDC dc = canvas.Handle();
        if (!notes) {
            SetTextColor(dc, fw::ToColorRef(canvas.Font().Color()));
            DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &r, format);
            return;
        }
        if (format & DT_CALCRECT) return;
        const std::vector<std::wstring> lines = SplitCaptionNotes(shown);
        RECT line = r;
        SetTextColor(dc, fw::ToColorRef(canvas.Font().Color()));
        DrawTextW(dc, lines[0].c_str(), static_cast<int>(lines[0].size()), &line, format & DT_SINGLELINE);
        line.top = r.top + canvas.TextHeight(L"gh");
        canvas.Font().Assign(notesFont);
        disabledColour(canvas.Font());
        const int lineHeight = canvas.TextHeight(L"gh");
        dc = canvas.Handle();
        SetTextColor(dc, fw::ToColorRef(canvas.Font().Color()));
        for (size_t i = 1; i < lines.size(); ++i) {
            RECT lr = line;
            DrawTextW(dc, lines[i].c_str(), static_cast<int>(lines[i].size()), &lr, format & DT_SINGLELINE);
            line.top += lineHeight;
        }
        return;
    }

    // Anti-aliased: GDI+ text from the font's name and size only.
    TGPGraphics graphics(canvas.Handle());
    graphics.SetTextRenderingHint(aa == aaClearType ? 5 : 4);
    auto makeFont = [](fw::TFont& font) {
        auto family = MakeFontFamily(font.Name());
        auto gpFont = std::make_unique<TGPFont>(family.get(), static_cast<float>(font.Size()), 0, 3 /* point */);
        return std::make_pair(std::move(family), std::move(gpFont));
    };
    TGPStringFormat stringFormat(0x1000);
    stringFormat.SetHotkeyPrefix(1);
    TGPFloatRect layout = FloatRect(float(r.left), float(r.top), float(r.right - r.left), float(r.bottom - r.top));
    auto caption = makeFont(canvas.Font());
    TGPSolidBrush brush(ColorToOpaqueARGB(canvas.Font().Color()));
    if (!notes) {
        stringFormat.SetLineAlignment(1);
        stringFormat.SetAlignment((format & DT_RIGHT) ? 2 : 0);
        graphics.DrawStringW(shown, caption.second.get(), layout, &stringFormat, &brush);
        return;
    }
    const std::vector<std::wstring> lines = SplitCaptionNotes(shown);
    graphics.DrawStringW(lines[0], caption.second.get(), layout, &stringFormat, &brush);
    fw::TFont noteColours;
    noteColours.Assign(notesFont);
    disabledColour(noteColours);
    auto noteFont = makeFont(notesFont);
    TGPSolidBrush noteBrush(ColorToOpaqueARGB(noteColours.Color()));
    layout.Y += 20;
    TGPFloatRect box{};
    graphics.MeasureString(L"gh", 2, noteFont.second.get(), layout, &stringFormat, box);
    const float lineHeight = static_cast<float>(RoundHalfEven(box.Height));
    for (size_t i = 1; i < lines.size(); ++i) {
        graphics.DrawStringW(lines[i], noteFont.second.get(), layout, &stringFormat, &noteBrush);
        layout.Y += lineHeight;
    }
}

namespace {

void DrawSeparatorItem(TCustomKelMenuStyler& styler, fw::TCanvas& canvas, RECT r) {
    TSeparator& sep = styler.Separator();
    r.left += styler.IconBar().Size();
    const int mid = r.top + (r.bottom - r.top) / 2;
    const int w = sep.Width();
    const RECT line{r.left, mid - w / 2, r.right, mid + (w + 1) / 2};
    DrawGradientLine(canvas, line, sep.Color(), sep.ColorTo(), gdHorizontal, sep.GradientType(), sep.GradientWidth(),
                     sep.Margin());
}

const TMarkBoxColors& MarkColours(TCustomKelMenuStyler& styler, bool selected, bool radio) {
    if (selected) return radio ? styler.SelectedItem().Radio() : styler.SelectedItem().Check();
    return radio ? styler.IconBar().Radio() : styler.IconBar().Check();
}

void DrawMarkBox(fw::TCanvas& canvas, const RECT& g, const TMarkBoxColors& c, bool fill) {
    DrawGradientBox(canvas, g, c.Color, c.ColorTo, c.Direction, c.Border, fill);
}

void DrawCheckGlyph(TCustomKelMenuStyler& styler, fw::TMenuItem* item, fw::TCanvas& canvas, const RECT& r, RECT g,
                    fw::TOwnerDrawState state) {
    const bool selected = (state & fw::odSelected) != 0;
    DrawMarkBox(canvas, g, MarkColours(styler, selected, item->RadioItem()), (state & fw::odDisabled) == 0);
    if (selected) FrameColor(canvas, r, styler.SelectedItem().BorderColor());
    fw::TBitmap& glyph = item->RadioItem() ? styler.Glyphs().Radio() : styler.Glyphs().Check();
    DrawGlyph(canvas, g.left, g.top, glyph, fw::clBtnText);
}

void DrawSubmenuArrow(TCustomKelMenuStyler& styler, fw::TMenuItem* item, fw::TCanvas& canvas, const RECT& r) {
    fw::TMenu* menu = item->GetParentMenu();
    if (fw::SysLocale.MiddleEast && menu && menu->BiDiMode() == fw::TBiDiMode::bdRightToLeft) return;
    fw::TBitmap& glyph = styler.Glyphs().SubMenu();
    const int y = (r.top + r.bottom - 5) / 2;
    TIntRect box{r.right - 8, y, r.right - 5, y + 6};
    CenterRectSize(box, glyph.Width(), glyph.Height());
    DrawGlyph(canvas, box.Left, box.Top, glyph, fw::clBlack);
}

void DrawItemContent(TCustomKelMenuStyler& styler, IStyledMenu& host, fw::TMenuItem* item, fw::TCanvas& canvas,
                     RECT r, fw::TOwnerDrawState state) {
    const bool selected = (state & fw::odSelected) != 0;
    TSelectedItem& sel = styler.SelectedItem();
    if (selected)
        DrawMirrorBox(canvas, r, sel.Color(), sel.ColorTo(), sel.ColorMirror(), sel.ColorMirrorTo(),
                      sel.GradientDirection(), sel.BorderColor(), true);
    TIntRect g{r.left, r.top + 1, r.left + styler.IconBar().Size(), r.bottom - 1};
    const int side = MinInt(RectWidth(g), RectHeight(g));
    CenterRectSize(g, side, side);
    const int index = item->ImageIndex();
    fw::TImageList* images = item->GetImageList();
    const bool hasImage = images && index >= 0 && index < images->Count();
    // An image of the linked action, from its action list's images.
    fw::TCustomActionList* actionList = nullptr;
    if (auto* action = dynamic_cast<fw::TCustomAction*>(item->Action())) actionList = action->ActionList();
    fw::TImageList* actionImages = actionList ? actionList->Images() : nullptr;
    const bool hasActionImage = actionImages && index != -1 && index < actionImages->Count();
    const bool hasBitmap = !hasImage && item->HasBitmap();
    const bool drawsGlyph = item->Checked() && !hasImage && !hasBitmap;
    if (hasImage || hasActionImage || hasBitmap || drawsGlyph) {
        // A disabled item's image comes in colour from the disabled images.
        fw::TImageList* list = images;
        bool enabled = item->Enabled();
        if (hasActionImage) {
            list = actionImages;
            auto* manager = dynamic_cast<fw::TActionManager*>(actionList);
            if (!enabled && manager && manager->DisabledImages()) {
                list = manager->DisabledImages();
                enabled = true;
            }
        } else if (!enabled && host.GetDisabledImages()) {
            list = host.GetDisabledImages();
            enabled = true;
        }
        if (item->Checked())
            DrawMarkBox(canvas, ToRect(g), MarkColours(styler, selected, false), (state & fw::odDisabled) == 0);
        if (hasImage || hasActionImage) {
            TIntRect ir = g;
            CenterRectSize(ir, list->Width(), list->Height());
            if (index >= 0 && index < list->Count()) list->Draw(canvas, ir.Left, ir.Top, index, enabled);
        } else if (drawsGlyph) {
            TIntRect gr = g;
            fw::TBitmap& glyph = item->RadioItem() ? styler.Glyphs().Radio() : styler.Glyphs().Check();
            CenterRectSize(gr, glyph.Width(), glyph.Height());
            DrawCheckGlyph(styler, item, canvas, r, ToRect(gr), state);
        } else {
            fw::TBitmap& bitmap = item->Bitmap();
            TIntRect br = g;
            CenterRectSize(br, bitmap.Width(), bitmap.Height());
            DrawTransparent(canvas, br.Left, br.Top, bitmap);
        }
    }
    if (item->Count() > 0) DrawSubmenuArrow(styler, item, canvas, r);
    RECT text = r;
    text.left += styler.IconBar().Size() + 8;
    const UINT format = DT_LEFT | DT_SINGLELINE | DT_EXPANDTABS;
    const RECT t = text;
    DrawMenuItemText(item, canvas, item->Caption(), text, state, format | DT_CALCRECT | DT_NOCLIP);
    OffsetRect(&text, 0, ((t.bottom - t.top) - (text.bottom - text.top)) / 2);
    DrawMenuItemText(item, canvas, item->Caption(), text, state, format);
    if (item->ShortCut() != fw::scNone) {
        text.right = t.right - 10;
        DrawMenuItemText(item, canvas, ShortCutDisplayText(item->ShortCut(), host.GetIntlKeybShortCuts()), text, state,
                         DT_RIGHT);
    }
}

}  // namespace

void DrawMenuItem(fw::TMenuItem* item, fw::TCanvas& canvas, RECT rect, bool showSideBar, fw::TOwnerDrawState state) {
    IStyledMenu* host = nullptr;
    TCustomKelMenuStyler* styler = StylerOf(item, &host);
    if (!styler) return;
    TSideBar& sideBar = styler->SideBar();
    const bool withSideBar = showSideBar && !InLaterColumn(item);
    if (withSideBar) rect.left += sideBar.Size() + sideBar.SplitterWidth();
    RECT m = MenuItemsRect(item, WindowFromDC(canvas.Handle()));
    // Not open (drawn off-screen): the item itself is the menu area.
    if (IsRectEmpty(&m)) m = RECT{0, rect.top, rect.right + kRightReserve, rect.bottom};
    m.right -= kRightReserve;
    if (withSideBar && IsFirstVisibleItem(item)) {
        const RECT sb{m.left, m.top, m.left + sideBar.Size() + sideBar.SplitterWidth(), m.bottom};
        PaintBackground(canvas, sb, sideBar.Background(), true);
        if (sideBar.Image().Color() != fw::clNone && sideBar.Image().HasPicture())
            PaintBackground(canvas, sb, sideBar.Image(), true);
        DrawSideBarCaption(canvas, sb, sideBar);
        DrawSideBarBorder(canvas, sb, sideBar);
        DrawSideBarSplitter(canvas, sb, sideBar);
    }
    TIconBar& bar = styler->IconBar();
    const RECT ib{rect.left, m.top, rect.left + bar.Size(), m.bottom};
    FillGradientPart(canvas, ib, rect, bar.GradientDirection(), bar.Color(), bar.ColorTo());
    if (bar.SeparatorColor() != fw::clNone) FillColor(canvas, RECT{ib.right - 1, rect.top, ib.right, rect.bottom}, bar.SeparatorColor());
    TBackground& bg = styler->Background();
    RECT br{ib.right, rect.top, rect.right, rect.bottom};
    const RECT full{ib.right, m.top, rect.right, m.bottom};
    if (bg.MarginX() > 0 || bg.MarginY() > 0) {
        FillColor(canvas, br, bg.Color());
        InflateRect(&br, -bg.MarginX(), -bg.MarginY());
    }
    FillGradientPart(canvas, full, br, bg.GradientDirection(), bg.Color(), bg.ColorTo());
    if (bg.HasPicture()) {
        fw::TBitmap& cache = styler->BackgroundCache();
        const int mw = m.right - m.left, mh = m.bottom - m.top;
        if (mw > 0 && mh > 0 && (cache.Width() != mw || cache.Height() != mh)) {
            cache.SetSize(mw, mh);
            FillColor(cache.Canvas(), RECT{0, 0, mw, mh}, fw::clWhite);
            PaintBackground(cache.Canvas(), m, bg, false);
        }
        if (!cache.Empty()) canvas.CopyRect(br, cache.Canvas(), br);
    }
    if (item->IsLine())
        DrawSeparatorItem(*styler, canvas, rect);
    else
        DrawItemContent(*styler, *host, item, canvas, rect, state);
}

}  // namespace kel::menus
