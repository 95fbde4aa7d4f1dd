// A surface for the layout engine's host tests: it measures with fixed
// character widths and records what it is asked to draw.
//
// Widths: a blank is 3 pixels, every other character 6, one more in bold.
// Text height: the font's |Height| + 2 (13 for the default -11).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "widgets/drawing/HtmlLayout.h"
#include "widgets/drawing/HtmlSurface.h"

namespace kel::test {

struct TDrawn {
    enum Kind { Text, Rectangle, Bullet, Gradient, Lines, Focus, Image, Rotate, EndRotation, Nothing };
    Kind kind = Nothing;
    std::wstring text;  // Text: the text drawn; Image: the source
    TIntRect rect;
    THtmlFont font;
    fw::TColor color = fw::clNone;       // pen, bullet, line or gradient-from colour
    fw::TColor background = fw::clNone;  // text background, brush, gradient-to colour
    THtmlTextPlace place = THtmlTextPlace::Piece;
    THtmlBullet bullet = THtmlBullet::Square;
    bool stretch = false;
    bool clipped = false;
    int angle = 0;
    std::vector<THtmlLine> lines;
};

class TFakeSurface : public THtmlSurface {
public:
    explicit TFakeSurface(THtmlPolicy policy = GdiHtmlPolicy()) : policy_(policy) {}

    std::vector<TDrawn> drawn;
    // Pictures by source: "IDX:n", "SSYS:x", "LSYS:x", a store name or a URL.
    std::map<std::wstring, THtmlImageInfo> pictures;
    THtmlSize dpi{96, 96};
    fw::TColor blink = fw::clWhite;

    static int CharWidth(wchar_t c, const THtmlFont& font) {
        return (c == L' ' ? 3 : 6) + ((font.Style & hfsBold) ? 1 : 0);
    }

    // The texts drawn (shadows included), in order.
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> out;
        for (const TDrawn& d : drawn)
            if (d.kind == TDrawn::Text) out.push_back(d.text);
        return out;
    }
    std::vector<TDrawn> Of(TDrawn::Kind kind) const {
        std::vector<TDrawn> out;
        for (const TDrawn& d : drawn)
            if (d.kind == kind) out.push_back(d);
        return out;
    }
    // The first text draw of `text`; kind Nothing when none.
    TDrawn TextDraw(const std::wstring& text) const {
        for (const TDrawn& d : drawn)
            if (d.kind == TDrawn::Text && d.text == text) return d;
        return TDrawn{};
    }

    const THtmlPolicy& Policy() const override { return policy_; }
    fw::TColor BlinkColor() const override { return blink; }
    int FontPixelsPerInch() override { return 96; }
    THtmlSize ImagePixelsPerInch() override { return dpi; }

    int TextHeight(const THtmlFont& font, std::wstring_view) override { return (font.Height < 0 ? -font.Height : font.Height) + 2; }
    int TextWidth(const THtmlFont& font, std::wstring_view text) override {
        int w = 0;
        for (wchar_t c : text) w += CharWidth(c, font);
        return w;
    }
    void DrawText(const THtmlFont& font, std::wstring_view text, const TIntRect& rect, THtmlTextPlace place,
                  fw::TColor background) override {
        TDrawn d = Make(TDrawn::Text);
        d.text = text;
        d.rect = rect;
        d.font = font;
        d.place = place;
        d.background = background;
        drawn.push_back(d);
    }
    void Rectangle(const TIntRect& rect, fw::TColor pen, fw::TColor brush) override {
        TDrawn d = Make(TDrawn::Rectangle);
        d.rect = rect;
        d.color = pen;
        d.background = brush;
        drawn.push_back(d);
    }
    void Bullet(THtmlBullet kind, const TIntRect& rect, fw::TColor color) override {
        TDrawn d = Make(TDrawn::Bullet);
        d.bullet = kind;
        d.rect = rect;
        d.color = color;
        drawn.push_back(d);
    }
    void Gradient(const TIntRect& rect, fw::TColor from, fw::TColor to, int, bool horizontal) override {
        TDrawn d = Make(TDrawn::Gradient);
        d.rect = rect;
        d.color = from;
        d.background = to;
        d.stretch = horizontal;
        drawn.push_back(d);
    }
    void Lines(const std::vector<THtmlLine>& lines, fw::TColor color) override {
        TDrawn d = Make(TDrawn::Lines);
        d.lines = lines;
        d.color = color;
        drawn.push_back(d);
    }
    void FocusRect(const TIntRect& rect) override {
        TDrawn d = Make(TDrawn::Focus);
        d.rect = rect;
        drawn.push_back(d);
    }
    THtmlImageInfo Image(const THtmlImageRef& ref) override {
        auto it = pictures.find(Key(ref));
        return it == pictures.end() ? THtmlImageInfo{} : it->second;
    }
    void DrawImage(const THtmlImageRef& ref, const TIntRect& rect, bool stretch, const TIntRect* clip) override {
        TDrawn d = Make(TDrawn::Image);
        d.text = Key(ref);
        d.rect = rect;
        d.stretch = stretch;
        d.clipped = clip != nullptr;
        drawn.push_back(d);
    }
    void Rotate(const THtmlFont&, int angle) override {
        TDrawn d = Make(TDrawn::Rotate);
        d.angle = angle;
        drawn.push_back(d);
    }
    void EndRotation() override { drawn.push_back(Make(TDrawn::EndRotation)); }

    static TDrawn Make(TDrawn::Kind kind) {
        TDrawn d;
        d.kind = kind;
        return d;
    }

    static std::wstring Key(const THtmlImageRef& ref) {
        switch (ref.Kind) {
        case THtmlImageKind::ImageList:
            return L"IDX:" + std::to_wstring(ref.Index);
        case THtmlImageKind::SmallIcon:
            return L"SSYS:" + ref.Source;
        case THtmlImageKind::LargeIcon:
            return L"LSYS:" + ref.Source;
        default:
            return ref.Source;
        }
    }

private:
    THtmlPolicy policy_;
};

// One call of the engine on a fake surface.
struct TFakeRun {
    explicit TFakeRun(THtmlPolicy policy = GdiHtmlPolicy()) : surface(policy) {}
    TFakeSurface surface;
    THtmlParams params;
    THtmlResults results;
    THtmlFont font;
    bool hit = false;

    TFakeRun& Run(const std::wstring& text, TIntRect rect = {0, 0, 400, 300}) {
        params.Text = text;
        params.Rect = rect;
        surface.drawn.clear();
        hit = LayoutHtml(surface, font, params, results);
        return *this;
    }
};

}  // namespace kel::test
