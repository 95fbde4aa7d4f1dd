// The trackbar's style presets: thumb and button colours and the slider
// border per style index.
#include "widgets/editors/KelTrackBar.h"

namespace kel::trackbar {

namespace {

struct TStyleRow {
    int Index;
    TGlossColors Thumb;
    TGlossColors Buttons;
    fw::TColor SliderBorder;
};

// Index 8 (and any index beyond the table) keeps the colours as they are.
constexpr TStyleRow kStyles[] = {
    {0, {0xEEDBC8, 0xF6DDC9, 0xEDD4C0, 0xF7E1D0, 0xE0B99B}, {0xFEECDD, 0xF9DBC4, 0xFEECDD, 0xE2A981, 0x9C613B}, 0xC29674},
    {1, {0xF1E1D6, 0xE8D2C2, 0xE4CAB7, 0xF0DED1, 0xB99D7F}, {0xFDF7F2, 0xF2E2D5, 0xEDD8C8, 0xF8EEE5, 0xA1835F}, 0xB99D7F},
    {2, {0xE9E2E1, 0xDED6D5, 0xD5CBC9, 0xE8E1DF, 0x9A8C8B}, {0xF6F3F2, 0xE7E0DF, 0xDCD3D1, 0xF0ECEB, 0x8A7A79}, 0x9A8C8B},
    {3, {0xFCFCFC, 0xEDEDED, 0xE4E4E4, 0xF6F6F6, 0xA0A0A0}, {0xFFFFFF, 0xEFEFEF, 0xE6E6E6, 0xFAFAFA, 0x8C8C8C}, 0xA0A0A0},
    {4, {0xD6F0FD, 0xB8E4FB, 0x9CD8F9, 0xC9EBFC, 0x4A8CBA}, {0xE9F7FE, 0xC8EAFC, 0xAEDFFA, 0xDAF1FD, 0x3C7BA8}, 0x4A8CBA},
    {5, {0xDEEDE4, 0xC8E2D2, 0xB3D6C1, 0xD4E8DC, 0x5E9A74}, {0xEEF6F1, 0xD5E9DD, 0xC2DFCD, 0xE3F0E8, 0x4E8764}, 0x5E9A74},
    {6, {0x404040, 0x303030, 0x202020, 0x383838, 0x101010}, {0x505050, 0x404040, 0x303030, 0x484848, 0x000000}, 0x303030},
    {7, {0xF5EADF, 0xEBD7C3, 0xE3C8AE, 0xF0E0D0, 0xA5743E}, {0xFAF4EE, 0xEFDFCF, 0xE7D1BB, 0xF5EADF, 0x8F5F2C}, 0xA5743E},
    {9, {0xEFEFEF, 0xE0E0E0, 0xD4D4D4, 0xE8E8E8, 0x7F7F7F}, {0xF7F7F7, 0xE6E6E6, 0xDADADA, 0xEFEFEF, 0x6F6F6F}, 0x7F7F7F},
    {10, {0xF4E7DB, 0xE9D1BA, 0xDEBE9E, 0xEEDCCB, 0xA8825C}, {0xFAF3ED, 0xEEDCCB, 0xE4CAB0, 0xF4E7DB, 0x93704C}, 0xA8825C},
    {11, {0xE4E9EC, 0xD3DBE0, 0xC4CFD5, 0xDCE3E7, 0x7D8A93}, {0xF1F4F6, 0xDDE3E7, 0xCDD6DB, 0xE7ECEF, 0x6B7880}, 0x7D8A93},
    {12, {0xFDEBDC, 0xF8D7BB, 0xF3C49B, 0xFAE1CB, 0xC78A4E}, {0xFEF5ED, 0xFAE1CB, 0xF6CFAD, 0xFCEBDC, 0xB0753B}, 0xC78A4E},
    {13, {0xDDF2F9, 0xC1E6F3, 0xA7DAEC, 0xCFECF6, 0x5B9FB8}, {0xEEF9FC, 0xCFECF6, 0xB7E1F0, 0xDFF3F9, 0x4A8CA4}, 0x5B9FB8},
    {14, {0xE8E8F8, 0xD3D3F0, 0xBFBFE8, 0xDDDDF4, 0x6C6CB0}, {0xF3F3FB, 0xDDDDF4, 0xCACAEC, 0xE8E8F8, 0x5A5A9C}, 0x6C6CB0},
    {15, {0xD9D9D9, 0xC4C4C4, 0xB0B0B0, 0xCECECE, 0x595959}, {0xE6E6E6, 0xCFCFCF, 0xBCBCBC, 0xDADADA, 0x4A4A4A}, 0x595959},
};

}  // namespace

void TCustomTrackBar::ApplyStylePreset(int style) {
    const TGDIPPicture empty;
    slider_->SetOffset(10);
    for (TGDIPPicture* p : {&slider_->Picture(), &slider_->PictureDisabled(), &slider_->PictureCompleted(),
                            &slider_->PictureCompletedDisabled(), &tick_->Picture(), &tick_->PictureDisabled(),
                            &thumb_->Picture(), &thumb_->PictureHot(), &thumb_->PictureDown(),
                            &thumb_->PictureDisabled()})
        if (!p->Empty()) p->Assign(&empty);
    slider_->SetPictureStretched(false);
    tick_->SetPosition(tmBottomRight);
    thumb_->SetShape(tsPointer);
    buttons_->SetSpacing(2);
    if (style == 0 || style == 1 || style == 2 || style == 7) {
        const TGlossColors hot{0xCCF4FF, 0xACECFF, 0x59DAFF, 0x91D0FF, 0x99CEDB};
        const TGlossColors down{0x76AFF1, 0x4190F3, 0x0E72F1, 0x4C9FFD, 0x45667B};
        thumb_->StoreHotColors(hot);
        thumb_->StoreDownColors(down);
        buttons_->StoreHotColors(hot);
        buttons_->StoreDownColors(down);
        thumb_->SetGradient(ggVertical);
        thumb_->SetGradientMirror(ggVertical);
        buttons_->SetGradient(ggVertical);
        buttons_->SetGradientMirror(ggVertical);
    }
    for (const TStyleRow& row : kStyles) {
        if (row.Index != style) continue;
        thumb_->StoreColors(row.Thumb);
        buttons_->StoreColors(row.Buttons);
        thumb_->SetGradient(ggVertical);
        thumb_->SetGradientMirror(ggVertical);
        buttons_->SetGradient(ggVertical);
        buttons_->SetGradientMirror(ggVertical);
        slider_->SetBorderColor(row.SliderBorder);
        tick_->SetColor(slider_->BorderColor());
    }
    Invalidate();
}

}  // namespace kel::trackbar
