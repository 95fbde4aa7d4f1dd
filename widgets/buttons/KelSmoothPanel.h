// TKelSmoothPanel: a container that paints a TGDIPFill background, an
// optional one-line caption (gradient, hatch or texture brush, separator
// line) and an optional block of mini-HTML text with links. All of it is
// composed into a cached 32-bit ARGB bitmap that is rebuilt only after a
// change or a resize; every other paint copies the cache.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/gui/custom_control.h"
#include "framework/gui/image_list.h"
#include "widgets/buttons/KelSmoothPanelLayout.h"
#include "widgets/drawing/StylePreset.h"
#include "widgets/drawing/GDIPFill.h"
#include "widgets/drawing/GDIPPictureContainer.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/HtmlRenderGP.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {

class TKelSmoothPanel;

// The caption and HTML text of a smooth panel. Every setter stores a
// changed value and calls Changed; font and picture changes do too.
class TKelSmoothPanelCaption {
public:
    TKelSmoothPanelCaption();
    TKelSmoothPanelCaption(const TKelSmoothPanelCaption&) = delete;
    TKelSmoothPanelCaption& operator=(const TKelSmoothPanelCaption&) = delete;

    // The panel points this at its caption-changed handler.
    std::function<void()> OnChange;
    void Changed();
    // Copies every property (fonts and picture by contents), then Changed.
    void Assign(const TKelSmoothPanelCaption& source);

    const std::wstring& Text() const { return text_; }
    void SetText(const std::wstring& v) { Store(text_, v); }
    TKelSmoothPanelLocation Location() const { return location_; }
    void SetLocation(TKelSmoothPanelLocation v) { Store(location_, v); }
    kel::HatchStyle HatchStyle() const { return hatch_style_; }
    void SetHatchStyle(kel::HatchStyle v) { Store(hatch_style_, v); }
    fw::TFont& HTMLFont() { return html_font_; }
    void SetHTMLFont(const fw::TFont& v) { html_font_.Assign(v); }
    const std::wstring& HTMLText() const { return html_text_; }
    void SetHTMLText(const std::wstring& v) { Store(html_text_, v); }
    TKelSmoothPanelLocation HTMLLocation() const { return html_location_; }
    void SetHTMLLocation(TKelSmoothPanelLocation v) { Store(html_location_, v); }
    int HTMLLeft() const { return html_left_; }
    void SetHTMLLeft(int v) { Store(html_left_, v); }
    int HTMLTop() const { return html_top_; }
    void SetHTMLTop(int v) { Store(html_top_, v); }
    fw::TColor HTMLURLColor() const { return html_url_color_; }
    void SetHTMLURLColor(fw::TColor v) { Store(html_url_color_, v); }
    fw::TColor HTMLShadowColor() const { return html_shadow_color_; }
    void SetHTMLShadowColor(fw::TColor v) { Store(html_shadow_color_, v); }
    int HTMLShadowOffset() const { return html_shadow_offset_; }
    void SetHTMLShadowOffset(int v) { Store(html_shadow_offset_, v); }
    fw::TFont& Font() { return font_; }
    void SetFont(const fw::TFont& v) { font_.Assign(v); }
    int Left() const { return left_; }
    void SetLeft(int v) { Store(left_, v); }
    int Top() const { return top_; }
    void SetTop(int v) { Store(top_, v); }
    TKelGDIPPicture& Picture() { return picture_; }
    void SetPicture(const TKelGDIPPicture& v) { picture_.Assign(&v); }
    fw::TColor ColorStart() const { return color_start_; }
    void SetColorStart(fw::TColor v) { Store(color_start_, v); }
    // clNone: ColorStart.
    fw::TColor ColorEnd() const { return color_end_; }
    void SetColorEnd(fw::TColor v) { Store(color_end_, v); }
    uint8_t OpacityStart() const { return opacity_start_; }
    void SetOpacityStart(uint8_t v) { Store(opacity_start_, v); }
    uint8_t OpacityEnd() const { return opacity_end_; }
    void SetOpacityEnd(uint8_t v) { Store(opacity_end_, v); }
    TKelGradientType GradientType() const { return gradient_type_; }
    void SetGradientType(TKelGradientType v) { Store(gradient_type_, v); }
    // clNone: no line.
    fw::TColor LineColor() const { return line_color_; }
    void SetLineColor(fw::TColor v) { Store(line_color_, v); }
    bool Line() const { return line_; }
    void SetLine(bool v) { Store(line_, v); }
    TKelSmoothPanelTextRenderingHint TextRendering() const { return text_rendering_; }
    void SetTextRendering(TKelSmoothPanelTextRenderingHint v) { Store(text_rendering_, v); }

private:
    template <class T>
    void Store(T& field, const T& value) {
        if (field == value) return;
        field = value;
        Changed();
    }

    std::wstring text_;
    TKelSmoothPanelLocation location_ = plTopLeft;
    kel::HatchStyle hatch_style_ = HatchStyleHorizontal;
    fw::TFont html_font_;
    std::wstring html_text_;
    TKelSmoothPanelLocation html_location_ = plCenterCenter;
    int html_left_ = 0;
    int html_top_ = 0;
    fw::TColor html_url_color_ = fw::clBlue;
    fw::TColor html_shadow_color_ = fw::clGray;
    int html_shadow_offset_ = 5;
    fw::TFont font_;
    int left_ = 0;
    int top_ = 0;
    TKelGDIPPicture picture_;
    fw::TColor color_start_ = fw::clWhite;
    fw::TColor color_end_ = fw::clSilver;
    uint8_t opacity_start_ = 255;
    uint8_t opacity_end_ = 255;
    TKelGradientType gradient_type_ = gtVertical;
    fw::TColor line_color_ = 0xB0721C;
    bool line_ = true;
    TKelSmoothPanelTextRenderingHint text_rendering_ = tAntiAliasGridFit;
};

using TKelSmoothPanelAnchorClickEvent = std::function<void(fw::TComponent* sender, const std::wstring& anchor)>;
using TKelSmoothPanelDrawEvent = std::function<void(fw::TComponent* sender, fw::TCanvas& canvas, RECT rect)>;

class TKelSmoothPanel : public fw::TCustomControl, public IStylePreset, public IKelVersion {
public:
    explicit TKelSmoothPanel(fw::TComponent* owner);
    ~TKelSmoothPanel() override;

    uint32_t GetVersionNr() const override { return 0x01000902; }
    std::wstring Version() const { return GetVersion(); }

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool v);
    TKelSmoothPanelCaption& Caption() { return *caption_; }
    void SetCaption(const TKelSmoothPanelCaption& v) { caption_->Assign(v); }
    TGDIPFill& Fill() { return fill_; }
    void SetFill(const TGDIPFill& v);
    fw::TImageList* Images() const { return images_; }
    void SetImages(fw::TImageList* v);
    TGDIPPictureContainer* PictureContainer() const { return picture_container_; }
    void SetPictureContainer(TGDIPPictureContainer* v);
    // The normal cursor; also remembered as the panel's own, which returns
    // when the mouse leaves a link.
    void SetCursor(HCURSOR cursor);

    TKelSmoothPanelAnchorClickEvent OnAnchorClick;
    TKelSmoothPanelDrawEvent OnDraw;

    // Copies caption, fill and Transparent from another smooth panel.
    void Assign(fw::TComponent* source);
    void MarkDirty();
    // The href of the link of the HTML text at a client point, or empty.
    std::wstring AnchorAt(int x, int y);
    void ApplyStylePreset(int style) override;
    void DoAnchorClick(const std::wstring& href);

    // The rect the HTML text was last laid out in (for hit tests).
    const TIntRect& HTMLRect() const { return html_rect_; }
    // Times the cached bitmap has been built.
    int CacheBuilds() const { return cache_builds_; }

    void MouseMove(fw::TShiftState shift, int x, int y) override;
    void MouseDown(fw::TMouseButton button, fw::TShiftState shift, int x, int y) override;

protected:
    void Paint() override;
    // Draws fill, caption and HTML text on a graphics the panel's size.
    virtual void PaintContent(TGPGraphics& graphics);
    void Resize() override;
    void Notification(fw::TComponent* component, fw::TOperation operation) override;
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    THtmlParams HtmlParams() const;
    THtmlGdipSources HtmlSources() const;
    int ShadowSpace() const;

    TGDIPFill fill_;
    std::unique_ptr<TKelSmoothPanelCaption> caption_;
    std::unique_ptr<TGPBitmap> cache_;
    bool dirty_ = true;
    bool transparent_ = true;
    TIntRect html_rect_;
    HCURSOR own_cursor_ = nullptr;
    bool over_link_ = false;
    fw::TImageList* images_ = nullptr;
    TGDIPPictureContainer* picture_container_ = nullptr;
    int cache_builds_ = 0;
};

}  // namespace kel
