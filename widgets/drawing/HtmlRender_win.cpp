#include "widgets/drawing/HtmlRender.h"

#include <exception>
#include <unordered_map>
#include <vector>

#include "widgets/drawing/HtmlDrawHelpers.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {
namespace {

constexpr UINT kPieceFlags = DT_BOTTOM | DT_SINGLELINE | DT_EXPANDTABS | DT_NOPREFIX;

RECT ToRect(const TIntRect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

// Narrows the clip region of a DC for a scope and gives back the region it
// had (or none) afterwards.
class TClipScope {
public:
    TClipScope(HDC dc, const TIntRect* clip) : dc_(dc) {
        if (!clip) return;
        saved_ = CreateRectRgn(0, 0, 0, 0);
        hadClip_ = saved_ && GetClipRgn(dc, saved_) == 1;
        IntersectClipRect(dc, clip->Left, clip->Top, clip->Right, clip->Bottom);
        active_ = true;
    }
    ~TClipScope() {
        if (!active_) return;
        SelectClipRgn(dc_, hadClip_ ? saved_ : nullptr);
        if (saved_) DeleteObject(saved_);
    }
    TClipScope(const TClipScope&) = delete;
    TClipScope& operator=(const TClipScope&) = delete;

private:
    HDC dc_;
    HRGN saved_ = nullptr;
    bool hadClip_ = false;
    bool active_ = false;
};

class TGdiSurface final : public THtmlSurface {
public:
    TGdiSurface(fw::TCanvas& canvas, const THtmlParams& params, const THtmlGdiSources& sources)
        : canvas_(canvas), dc_(canvas.Handle()), params_(params), sources_(sources) {
        savedPen_.Assign(canvas.Pen());
        savedBrush_.Assign(canvas.Brush());
        savedTextColor_ = GetTextColor(dc_);
        savedBkColor_ = GetBkColor(dc_);
        savedBkMode_ = GetBkMode(dc_);
        savedDcFont_ = GetCurrentObject(dc_, OBJ_FONT);
        blink_ = canvas.Brush().Color();
        startFont_ = HtmlFontOf(canvas.Font());
        current_ = startFont_;
        if (!params.WordWrap) pieceFlags_ |= DT_END_ELLIPSIS;
    }

    ~TGdiSurface() override {
        RestoreRotatedFont(canvas_, rotation_);
        SelectObject(dc_, savedDcFont_);
        for (const TFontEntry& f : fonts_)
            if (f.handle) DeleteObject(f.handle);
        canvas_.Pen().Assign(savedPen_);
        canvas_.Brush().Assign(savedBrush_);
        SetTextColor(dc_, savedTextColor_);
        SetBkColor(dc_, savedBkColor_);
        SetBkMode(dc_, savedBkMode_);
    }

    TGdiSurface(const TGdiSurface&) = delete;
    TGdiSurface& operator=(const TGdiSurface&) = delete;

    const THtmlFont& StartFont() const { return startFont_; }

    const THtmlPolicy& Policy() const override { return policy_; }
    fw::TColor BlinkColor() const override { return blink_; }
    int FontPixelsPerInch() override { return fw::TFont::PixelsPerInch(); }
    THtmlSize ImagePixelsPerInch() override {
        return {GetDeviceCaps(dc_, LOGPIXELSX), GetDeviceCaps(dc_, LOGPIXELSY)};
    }

    // GDI's text extent height is the font's whatever the text.
    int TextHeight(const THtmlFont& font, std::wstring_view) override {
        Select(font);
        return Face(font).height;
    }

    // Both passes of a line measure the same pieces: each is measured once.
    int TextWidth(const THtmlFont& font, std::wstring_view text) override {
        Select(font);
        TFontEntry& face = Face(font);
        std::wstring key(text);
        auto known = face.widths.find(key);
        if (known != face.widths.end()) return known->second;
        RECT r{0, 0, 0, 0};
        DrawTextExW(dc_, key.data(), static_cast<int>(key.size()), &r, kPieceFlags | DT_EXTERNALLEADING | DT_CALCRECT,
                    nullptr);
        face.widths.emplace(std::move(key), r.right - r.left);
        return r.right - r.left;
    }

    void DrawText(const THtmlFont& font, std::wstring_view text, const TIntRect& rect, THtmlTextPlace place,
                  fw::TColor background) override {
        if (font.Color == fw::clNone) return;
        Select(font);
        SetTextColor(dc_, fw::ToColorRef(font.Color));
        if (background != fw::clNone) {
            SetBkMode(dc_, OPAQUE);
            SetBkColor(dc_, fw::ToColorRef(background));
        } else {
            SetBkMode(dc_, TRANSPARENT);
        }
        RECT r = ToRect(rect);
        const UINT flags = place == THtmlTextPlace::Piece ? pieceFlags_ : DT_NOPREFIX;
        DrawTextExW(dc_, const_cast<wchar_t*>(text.data()), static_cast<int>(text.size()), &r, flags, nullptr);
    }

    void Rectangle(const TIntRect& rect, fw::TColor pen, fw::TColor brush) override {
        if (pen == fw::clNone && brush == fw::clNone) return;
        SetPen(pen);
        SetBrush(brush);
        canvas_.Rectangle(ToRect(rect));
    }

    void Bullet(THtmlBullet kind, const TIntRect& rect, fw::TColor color) override {
        if (color == fw::clNone) return;
        SetPen(color);
        SetBrush(color);
        if (kind == THtmlBullet::Square)
            canvas_.Rectangle(ToRect(rect));
        else
            canvas_.Ellipse(rect.Left, rect.Top, rect.Right, rect.Bottom);
    }

    void Gradient(const TIntRect& rect, fw::TColor from, fw::TColor to, int bands, bool horizontal) override {
        DrawSteppedGradient(canvas_, from, to, fw::clNone, bands, ToRect(rect), horizontal);
    }

    void Lines(const std::vector<THtmlLine>& lines, fw::TColor color) override {
        SetPen(color);
        for (const THtmlLine& l : lines) {
            canvas_.MoveTo(l.X1, l.Y1);
            canvas_.LineTo(l.X2, l.Y2);
        }
    }

    void FocusRect(const TIntRect& rect) override {
        RECT r = ToRect(rect);
        ::DrawFocusRect(dc_, &r);
    }

    THtmlImageInfo Image(const THtmlImageRef& ref) override {
        switch (ref.Kind) {
        case THtmlImageKind::ImageList:
        case THtmlImageKind::SmallIcon:
        case THtmlImageKind::LargeIcon:
            return OwnSizedImage(ref, sources_.Images);
        case THtmlImageKind::Store:
        case THtmlImageKind::Url:
            // A picture that cannot be loaded is no picture.
            try {
                const THTMLPicture* picture = Picture(ref);
                if (!picture || picture->Empty()) return {};
                return {picture->NaturalWidth(), picture->NaturalHeight(), picture->FrameLeft(), picture->FrameTop()};
            } catch (const std::exception&) {
                return {};
            }
        case THtmlImageKind::None:
            break;
        }
        return {};
    }

    void DrawImage(const THtmlImageRef& ref, const TIntRect& rect, bool stretch, const TIntRect* clip) override {
        TClipScope clipScope(dc_, clip);
        switch (ref.Kind) {
        case THtmlImageKind::ImageList:
            if (!HasListImage(ref, sources_.Images)) return;
            if (!params_.PrintMode) {
                sources_.Images->Draw(canvas_, rect.Left, rect.Top, ref.Index);
            } else {
                fw::TBitmap bitmap;
                sources_.Images->GetBitmap(ref.Index, bitmap);
                const double scale = params_.ScaleFactor;
                StretchDrawDIB(canvas_,
                               RECT{rect.Left, rect.Top, rect.Left + RoundHalfEven(bitmap.Width() * scale),
                                    rect.Top + RoundHalfEven(bitmap.Height() * scale)},
                               bitmap);
            }
            return;
        case THtmlImageKind::SmallIcon:
        case THtmlImageKind::LargeIcon: {
            POINT size{0, 0};
            DrawSystemIcon(canvas_, rect.Left, rect.Top, ref.Source, ref.Kind == THtmlImageKind::LargeIcon, true,
                           params_.PrintMode, params_.ScaleFactor, size);
            return;
        }
        case THtmlImageKind::Store:
        case THtmlImageKind::Url:
            try {
                if (THTMLPicture* picture = Picture(ref); picture && !picture->Empty()) {
                    // Stretched for this drawing only; the picture keeps its own setting.
                    const bool stretched = picture->Stretch();
                    picture->SetStretch(stretch);
                    picture->Draw(canvas_, ToRect(rect));
                    picture->SetStretch(stretched);
                }
            } catch (const std::exception&) {
                // drawn as nothing, like a picture that is not there
            }
            return;
        case THtmlImageKind::None:
            return;
        }
    }

    // The rotated font is made from a canvas on the same DC that describes
    // `font`, so the caller's canvas font stays as it is.
    void Rotate(const THtmlFont& font, int angle) override {
        Select(font);
        fw::TCanvas described;
        described.SetHandle(dc_);
        SetFont(described.Font(), font);
        CreateRotatedFont(described, angle, rotation_);
        described.SetHandle(nullptr);
        selected_ = nullptr;
    }

    void EndRotation() override {
        RestoreRotatedFont(canvas_, rotation_);
        selected_ = nullptr;
    }

private:
    struct TFontEntry {
        THtmlFont face;
        HFONT handle;
        int height;
        std::unordered_map<std::wstring, int> widths;
    };

    // Puts `font` into the device context for the calls that follow. A
    // change of font ends a rotation, as the canvas selecting its own font
    // would; while the font stays, the rotated one stays selected.
    void Select(const THtmlFont& font) {
        if (!(font == current_)) {
            if (rotation_.rotated) EndRotation();
            current_ = font;
        }
        if (rotation_.rotated) return;
        HFONT handle = Face(font).handle;
        if (handle && handle != selected_) {
            SelectObject(dc_, handle);
            selected_ = handle;
        }
    }

    // Fonts are made once per typeface for the call.
    TFontEntry& Face(const THtmlFont& font) {
        for (TFontEntry& f : fonts_)
            if (f.face.SameFace(font)) return f;
        fw::TFont described;
        SetFont(described, font);
        const LOGFONTW lf = described.LogFont();
        HFONT handle = CreateFontIndirectW(&lf);
        SIZE size{0, 0};
        if (handle) {
            HGDIOBJ old = SelectObject(dc_, handle);
            GetTextExtentPoint32W(dc_, L"gh", 2, &size);
            SelectObject(dc_, old);
        }
        fonts_.push_back({font, handle, size.cy, {}});
        return fonts_.back();
    }

    static void SetFont(fw::TFont& target, const THtmlFont& font) {
        target.SetName(font.Name);
        target.SetHeight(font.Height);
        target.SetStyle(font.Style);
        target.SetColor(font.Color);
        target.SetCharset(font.Charset);
    }

    void SetPen(fw::TColor color) {
        canvas_.Pen().SetColor(color);
        canvas_.Pen().SetWidth(1);
        canvas_.Pen().SetStyle(fw::TPenStyle::psSolid);
    }

    void SetBrush(fw::TColor color) {
        canvas_.Brush().SetColor(color);
        canvas_.Brush().SetStyle(fw::TBrushStyle::bsSolid);
    }

    // The store's picture of that name, or the cache's picture of that URL,
    // which the cache makes and loads on first use.
    THTMLPicture* Picture(const THtmlImageRef& ref) const {
        if (ref.Kind == THtmlImageKind::Store)
            return sources_.PictureStore ? sources_.PictureStore->PictureByName(ref.Source) : nullptr;
        if (ref.Kind != THtmlImageKind::Url || !sources_.PictureCache) return nullptr;
        THTMLPictureCache& cache = *sources_.PictureCache;
        if (THTMLPicture* known = cache.FindPicture(ref.Source)) return known;
        THTMLPicture* made = cache.AddPicture();
        made->SetAsynchronous(false);
        made->LoadFromSource(ref.Source);
        return cache.FindPicture(ref.Source);
    }

    fw::TCanvas& canvas_;
    HDC dc_;
    const THtmlParams& params_;
    THtmlGdiSources sources_;
    THtmlPolicy policy_ = GdiHtmlPolicy();
    UINT pieceFlags_ = kPieceFlags;
    fw::TColor blink_ = fw::clWhite;
    THtmlFont startFont_;
    THtmlFont current_;
    std::vector<TFontEntry> fonts_;
    HFONT selected_ = nullptr;
    HGDIOBJ savedDcFont_ = nullptr;
    TRotatedFontState rotation_;
    fw::TPen savedPen_;
    fw::TBrush savedBrush_;
    COLORREF savedTextColor_ = 0;
    COLORREF savedBkColor_ = 0;
    int savedBkMode_ = TRANSPARENT;
};

}  // namespace

THtmlFont HtmlFontOf(const fw::TFont& font) {
    THtmlFont f;
    f.Name = font.Name();
    f.Height = font.Height();
    f.Style = font.Style();
    f.Color = font.Color();
    f.Charset = font.Charset();
    return f;
}

bool HasListImage(const THtmlImageRef& ref, const fw::TImageList* images) {
    return ref.Kind == THtmlImageKind::ImageList && images && ref.Index >= 0 && ref.Index < images->Count();
}

THtmlImageInfo OwnSizedImage(const THtmlImageRef& ref, const fw::TImageList* images) {
    if (ref.Kind == THtmlImageKind::ImageList)
        return HasListImage(ref, images) ? THtmlImageInfo{images->Width(), images->Height()} : THtmlImageInfo{};
    if (ref.Kind != THtmlImageKind::SmallIcon && ref.Kind != THtmlImageKind::LargeIcon) return {};
    fw::TCanvas unused;  // only measured
    POINT size{0, 0};
    DrawSystemIcon(unused, 0, 0, ref.Source, ref.Kind == THtmlImageKind::LargeIcon, false, false, 1.0, size);
    return {size.x, size.y};
}

bool RenderHtmlText(fw::TCanvas& canvas, const THtmlParams& params, THtmlResults& results,
                    const THtmlGdiSources& sources) {
    TGdiSurface surface(canvas, params, sources);
    return LayoutHtml(surface, surface.StartFont(), params, results);
}

}  // namespace kel
