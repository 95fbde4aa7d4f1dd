#include "widgets/drawing/HtmlRenderGP.h"

#include <memory>
#include <unordered_map>
#include <vector>

#include "widgets/drawing/HtmlDrawHelpers.h"
#include "widgets/drawing/KelGDIPColors.h"

namespace kel {
namespace {

// Wide enough that GDI+ never wraps a piece while measuring it.
constexpr int kMeasureWidth = 100000;
constexpr int kMeasureHeight = 10000;

// A framework canvas on the graphics' device context for one GDI drawing.
class THdcCanvas {
public:
    explicit THdcCanvas(TGPGraphics& graphics) : graphics_(graphics), dc_(graphics.GetHDC()) {
        if (dc_) canvas_.SetHandle(dc_);
    }
    ~THdcCanvas() {
        canvas_.SetHandle(nullptr);
        if (dc_) graphics_.ReleaseHDC(dc_);
    }
    THdcCanvas(const THdcCanvas&) = delete;
    THdcCanvas& operator=(const THdcCanvas&) = delete;

    bool Valid() const { return dc_ != nullptr; }
    fw::TCanvas& Canvas() { return canvas_; }

private:
    TGPGraphics& graphics_;
    HDC dc_;
    fw::TCanvas canvas_;
};

class TGdipSurface final : public THtmlSurface {
public:
    TGdipSurface(TGPGraphics& graphics, const THtmlParams& params, const THtmlGdipSources& sources)
        : graphics_(graphics), params_(params), sources_(sources) {}

    const THtmlPolicy& Policy() const override { return policy_; }
    // The text background brush is made white before it is cleared.
    fw::TColor BlinkColor() const override { return fw::clWhite; }
    int FontPixelsPerInch() override { return fw::TFont::PixelsPerInch(); }
    THtmlSize ImagePixelsPerInch() override { return {96, 96}; }

    int TextHeight(const THtmlFont& font, std::wstring_view text) override { return Measure(font, text).Height; }
    int TextWidth(const THtmlFont& font, std::wstring_view text) override { return Measure(font, text).Width; }

    // GDI+ draws from the rectangle's top-left whatever the place.
    void DrawText(const THtmlFont& font, std::wstring_view text, const TIntRect& rect, THtmlTextPlace,
                  fw::TColor background) override {
        const TFontEntry& face = Face(font);
        face.font->SetColor(font.Color);
        RECT r{rect.Left, rect.Top, rect.Left + kMeasureWidth, rect.Top + kMeasureHeight};
        graphics_.DrawText(std::wstring(text), -1, r, *face.gpFont, *face.font, 0, background);
    }

    void Bullet(THtmlBullet kind, const TIntRect& rect, fw::TColor color) override {
        if (color == fw::clNone) return;
        TGPSolidBrush brush(ColorToARGBAlpha(255, color));
        const int w = rect.Right - rect.Left, h = rect.Bottom - rect.Top;
        if (kind == THtmlBullet::Square)
            graphics_.FillRectangle(brush, static_cast<float>(rect.Left), static_cast<float>(rect.Top),
                                    static_cast<float>(w), static_cast<float>(h));
        else
            graphics_.FillEllipseI(brush, rect.Left, rect.Top, w, h);
    }

    // The GDI+ rules paint no page or paragraph backgrounds: neither is ever asked for.
    void Rectangle(const TIntRect&, fw::TColor, fw::TColor) override {}
    void Gradient(const TIntRect&, fw::TColor, fw::TColor, int, bool) override {}

    void Lines(const std::vector<THtmlLine>& lines, fw::TColor color) override {
        TGPPen pen(ColorToARGBAlpha(255, color), 1.0f);
        for (const THtmlLine& l : lines)
            graphics_.DrawLine(pen, static_cast<float>(l.X1), static_cast<float>(l.Y1), static_cast<float>(l.X2),
                               static_cast<float>(l.Y2));
    }

    // The focused link's rectangle is worked out but not shown on GDI+.
    void FocusRect(const TIntRect&) override {}

    THtmlImageInfo Image(const THtmlImageRef& ref) override {
        switch (ref.Kind) {
        case THtmlImageKind::ImageList:
        case THtmlImageKind::SmallIcon:
        case THtmlImageKind::LargeIcon:
            return OwnSizedImage(ref, sources_.Images);
        case THtmlImageKind::Store:
            if (TKelGDIPPicture* picture = StorePicture(ref.Source)) {
                picture->UpdateImageSize();
                return {picture->Width(), picture->Height()};
            }
            return {};
        case THtmlImageKind::Url:
        case THtmlImageKind::None:
            break;
        }
        return {};
    }

    void DrawImage(const THtmlImageRef& ref, const TIntRect& rect, bool, const TIntRect*) override {
        switch (ref.Kind) {
        case THtmlImageKind::ImageList: {
            if (!HasListImage(ref, sources_.Images) || params_.PrintMode) return;
            THdcCanvas gdi(graphics_);
            if (gdi.Valid()) sources_.Images->Draw(gdi.Canvas(), rect.Left, rect.Top, ref.Index);
            return;
        }
        case THtmlImageKind::SmallIcon:
        case THtmlImageKind::LargeIcon: {
            THdcCanvas gdi(graphics_);
            POINT size{0, 0};
            if (gdi.Valid())
                DrawSystemIcon(gdi.Canvas(), rect.Left, rect.Top, ref.Source, ref.Kind == THtmlImageKind::LargeIcon,
                               true, params_.PrintMode, params_.ScaleFactor, size);
            return;
        }
        case THtmlImageKind::Store:
            if (TKelGDIPPicture* picture = StorePicture(ref.Source))
                picture->DrawOnGraphics(graphics_, RECT{rect.Left, rect.Top, rect.Right, rect.Bottom});
            return;
        case THtmlImageKind::Url:
        case THtmlImageKind::None:
            return;
        }
    }

    void Rotate(const THtmlFont&, int) override {}
    void EndRotation() override {}

private:
    struct TFontEntry {
        THtmlFont face;
        std::unique_ptr<fw::TFont> font;  // size and colour of the text
        std::unique_ptr<TGPFont> gpFont;
        std::unordered_map<std::wstring, THtmlSize> sizes;
    };

    // Both passes of a line measure the same pieces: each is measured once.
    // The measuring rectangle of DrawText gives the width and the height,
    // which for one line of text is what TextHeight gives.
    THtmlSize Measure(const THtmlFont& font, std::wstring_view text) {
        TFontEntry& face = Face(font);
        std::wstring key(text);
        auto known = face.sizes.find(key);
        if (known != face.sizes.end()) return known->second;
        RECT r{0, 0, kMeasureWidth, kMeasureHeight};
        graphics_.DrawText(key, -1, r, *face.gpFont, *face.font, DT_CALCRECT, fw::clNone);
        const THtmlSize size{r.right - r.left, r.bottom - r.top};
        face.sizes.emplace(std::move(key), size);
        return size;
    }

    // GDI+ fonts are made once per typeface for the call.
    TFontEntry& Face(const THtmlFont& font) {
        for (TFontEntry& f : fonts_)
            if (f.face.SameFace(font)) return f;
        TFontEntry entry{font, std::make_unique<fw::TFont>(), nullptr, {}};
        entry.font->SetName(font.Name);
        entry.font->SetHeight(font.Height);
        entry.font->SetStyle(font.Style);
        entry.font->SetCharset(font.Charset);
        entry.gpFont = TGPGraphics::MakeFont(*entry.font);
        fonts_.push_back(std::move(entry));
        return fonts_.back();
    }

    TKelGDIPPicture* StorePicture(const std::wstring& name) const {
        if (!sources_.PictureStore) return nullptr;
        TKelGDIPPicture* picture = sources_.PictureStore->PictureByName(name);
        return picture && !picture->Empty() ? picture : nullptr;
    }

    TGPGraphics& graphics_;
    const THtmlParams& params_;
    THtmlGdipSources sources_;
    THtmlPolicy policy_ = GdipHtmlPolicy();
    std::vector<TFontEntry> fonts_;  // the markup's fonts; the caller's font is never changed
};

}  // namespace

bool RenderHtmlTextGP(TGPGraphics& graphics, fw::TFont& font, const THtmlParams& params, THtmlResults& results,
                      const THtmlGdipSources& sources) {
    TGdipSurface surface(graphics, params, sources);
    return LayoutHtml(surface, HtmlFontOf(font), params, results);
}

}  // namespace kel
