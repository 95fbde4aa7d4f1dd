// The pager stylers and the office styler's presets.
#include "widgets/pager/KelOfficePagerStyler.h"

#include <algorithm>

namespace kel::pager {

using namespace fw;

TCustomKelOfficePagerStyler::TCustomKelOfficePagerStyler(TComponent* owner) : TComponent(owner) {
    tabAppearance_.OnChange = [this] { NotifyPagers(scTabAppearance); };
    tabAppearance_.OnFontChange = [this] { NotifyPagers(scTabFont); };
    pageAppearance_.OnChange = [this] { NotifyPagers(scPageAppearance); };
    glowAppearance_.OnChange = [this] { NotifyPagers(scGlowButtonAppearance); };
}

TCustomKelOfficePagerStyler::~TCustomKelOfficePagerStyler() {
    destroying_ = true;
    tabAppearance_.OnChange = nullptr;
    tabAppearance_.OnFontChange = nullptr;
    pageAppearance_.OnChange = nullptr;
    glowAppearance_.OnChange = nullptr;
}

void TCustomKelOfficePagerStyler::AttachPager(TComponent* pager) {
    if (!pager) return;
    pagers_.push_back(pager);
    FreeNotification(pager);
}

void TCustomKelOfficePagerStyler::DetachPager(TComponent* pager) {
    auto it = std::find(pagers_.begin(), pagers_.end(), pager);
    if (it != pagers_.end()) pagers_.erase(it);
}

void TCustomKelOfficePagerStyler::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && !destroying_) DetachPager(component);
}

void TCustomKelOfficePagerStyler::NotifyPagers(int kind) {
    if (destroying_ || Destroying()) return;
    // A pager may detach while it is told; walk a copy.
    const std::vector<TComponent*> pagers = pagers_;
    for (TComponent* p : pagers)
        if (auto* client = dynamic_cast<IPagerStylerClient*>(p)) client->StylerChanged(kind);
}

void TCustomKelOfficePagerStyler::SetRoundedCorners(int value) {
    roundedCorners_ = value;
    NotifyPagers(scRoundedCorners);
}

void TCustomKelOfficePagerStyler::Assign(TCustomKelOfficePagerStyler& source) {
    tabAppearance_.Assign(source.tabAppearance_);
    pageAppearance_.Assign(source.pageAppearance_);
    SetRoundedCorners(source.roundedCorners_);
}

namespace {

constexpr TColor kKeep = 0x7FFFFFFF;  // the preset leaves this value alone

struct TGlowPreset {
    TColor c, cTo, m, mTo, border;
};

// One preset's values, in the order SetStyle writes them.
struct TPagerPreset {
    int rounded;
    TColor bg, bgTo;
    bool bgVertical;
    TColor border, borderHot, borderSel, borderSelHot, borderDis;
    TColor text, textHot, textSel;
    TColor hot, hotTo, mHot, mHotTo;
    TColor sel, selTo, mSel, mSelTo;
    TColor dis, disTo;
    TGDIPGradient gradHot, gradMirrorHot;
    TColor shadow, hl, hlHot, hlSel, hlSelHot, hlDown;
    TColor pageBorder, page, pageTo, pageMirror, pageMirrorTo;
    TGlowPreset glow, glowHot, glowDown, glowChecked;
};

constexpr TColor kHl2003Sel = 6540536, kHl2003SelHot = 12451839, kHl2003Down = 16776144;

// The 2003 and 2007 glow buttons share their colours.
constexpr TGlowPreset kGlowBlue{15653832, 16178633, 15586496, 16245200, 14727579};
constexpr TGlowPreset kGlowBlueHot{15465983, 11332863, 5888767, 10807807, 10079963};
constexpr TGlowPreset kGlowBlueDown{7778289, 4296947, 946929, 5021693, 4548219};
constexpr TGlowPreset kGlowBlueChecked{11918331, 7915518, 10480637, 5682430, kKeep};
constexpr TGlowPreset kGlowLunaChecked{11918331, 7915518, 10480637, 5682430, 4548219};

const TPagerPreset kPresets[kOfficePagerStyleCount] = {
    // psOffice2003Blue
    {1, 14986888, 16440004, false,
     clNone, clHighlight, clBlack, 6343929, clNone,
     clBlack, clBlack, clBlack,
     13432063, 13432063, 13432063, 9556223,
     16571588, 16445929, 16445929, 16181984,
     clWhite, clSilver, ggVertical, ggVertical,
     10708799, 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     14922381, 16640730, 16440004, 16440004, 16440004,
     kGlowBlue, kGlowBlueHot, kGlowBlueDown, kGlowBlueChecked},
    // psOffice2003Silver
    {1, SwapRedBlue(0xE3E3EC), SwapRedBlue(0xC6C5D7), false,
     clNone, clHighlight, SwapRedBlue(0x7C7C94), 6343929, clNone,
     clBlack, clBlack, clBlack,
     13432063, 13432063, 13432063, 9556223,
     SwapRedBlue(0xF7F7FA), SwapRedBlue(0xE4E4EC), SwapRedBlue(0xE4E4EC), SwapRedBlue(0xD6D6E2),
     clWhite, clSilver, ggVertical, ggVertical,
     SwapRedBlue(0x9C9BB4), 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     SwapRedBlue(0x9C9BB4), SwapRedBlue(0xF3F3F7), SwapRedBlue(0xE4E4EC), SwapRedBlue(0xE4E4EC), SwapRedBlue(0xE4E4EC),
     {SwapRedBlue(0xF3F3F7), SwapRedBlue(0xDDDDE7), SwapRedBlue(0xD4D4E0), SwapRedBlue(0xEAEAF0), SwapRedBlue(0x9C9BB4)},
     kGlowBlueHot, kGlowBlueDown, kGlowBlueChecked},
    // psOffice2003Olive
    {1, SwapRedBlue(0xD9D9A7), SwapRedBlue(0xF2F1E4), false,
     clNone, clHighlight, SwapRedBlue(0x758D5E), 6343929, clNone,
     clBlack, clBlack, clBlack,
     13432063, 13432063, 13432063, 9556223,
     SwapRedBlue(0xF6F5E8), SwapRedBlue(0xE4E6C8), SwapRedBlue(0xE4E6C8), SwapRedBlue(0xD9DCB5),
     clWhite, clSilver, ggVertical, ggVertical,
     SwapRedBlue(0x96A871), 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     SwapRedBlue(0x96A871), SwapRedBlue(0xF2F1E4), SwapRedBlue(0xE4E6C8), SwapRedBlue(0xE4E6C8), SwapRedBlue(0xE4E6C8),
     {SwapRedBlue(0xF2F1E4), SwapRedBlue(0xDEE2C0), SwapRedBlue(0xCFD7A9), SwapRedBlue(0xE8EBD5), SwapRedBlue(0x96A871)},
     kGlowBlueHot, kGlowBlueDown, kGlowBlueChecked},
    // psOffice2003Classic
    {1, clWhite, clBtnFace, false,
     clNone, clHighlight, 0x808080, 0x6B2408, clNone,
     clBlack, clBlack, clBlack,
     0xD2BDB6, 0xD2BDB6, 0xD2BDB6, 0xD2BDB6,
     clWhite, 0xF0F0F0, 0xF0F0F0, 0xE5E5E5,
     clWhite, clSilver, ggVertical, ggVertical,
     0x808080, 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     0x808080, 0xF7F7F7, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE,
     {0xF7F7F7, 0xE8E8E8, 0xE0E0E0, 0xF0F0F0, 0x808080},
     {0xD2BDB6, 0xD2BDB6, 0xD2BDB6, 0xD2BDB6, 0x6B2408},
     {0xB59285, 0xB59285, 0xB59285, 0xB59285, 0x6B2408},
     {0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0xD8D5D4, 0x6B2408}},
    // psOffice2007Luna
    {1, 16767935, clNone, false,
     clNone, 15383705, 14922381, 6343929, clNone,
     9126421, 9126421, 9126421,
     14542308, 16768709, 14016477, 10736609,
     16709360, 16445929, 16445929, 16181984,
     clWhite, clSilver, ggRadial, ggVertical,
     15255470, 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     14922381, 16445929, 15587527, 15587527, 16773863,
     kGlowBlue, kGlowBlueHot, kGlowBlueDown, kGlowLunaChecked},
    // psOffice2007Obsidian (vertical strip)
    {1, SwapRedBlue(0x535353), SwapRedBlue(0x3D3D3D), true,
     clNone, SwapRedBlue(0xA0A0A0), SwapRedBlue(0x959595), 6343929, clNone,
     clWhite, clWhite, clBlack,
     SwapRedBlue(0x6E6E6E), SwapRedBlue(0x8A8A8A), SwapRedBlue(0x5C5C5C), SwapRedBlue(0x7C7C7C),
     SwapRedBlue(0xF2F2F2), SwapRedBlue(0xE1E1E1), SwapRedBlue(0xE1E1E1), SwapRedBlue(0xCFCFCF),
     clWhite, clSilver, ggRadial, ggRadial,
     SwapRedBlue(0x2E2E2E), 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     SwapRedBlue(0x959595), SwapRedBlue(0xF2F2F2), SwapRedBlue(0xE1E1E1), SwapRedBlue(0xD6D6D6), SwapRedBlue(0xEBEBEB),
     {SwapRedBlue(0xEBEBEB), SwapRedBlue(0xD6D6D6), SwapRedBlue(0xC3C3C3), SwapRedBlue(0xE0E0E0),
      SwapRedBlue(0x7C7C7C)},
     kGlowBlueHot, kGlowBlueDown, kGlowLunaChecked},
    // psWindowsXP
    {0, SwapRedBlue(0xF7F6F3), SwapRedBlue(0xECE9D8), false,
     clNone, SwapRedBlue(0xE3A21A), SwapRedBlue(0x919B9C), SwapRedBlue(0xE3A21A), clNone,
     clBlack, clBlack, clBlack,
     SwapRedBlue(0xFFF3CF), SwapRedBlue(0xFFF3CF), SwapRedBlue(0xFFE08C), SwapRedBlue(0xFFC73C),
     clWhite, SwapRedBlue(0xFCFCFE), SwapRedBlue(0xFCFCFE), SwapRedBlue(0xF4F3EE),
     clWhite, clSilver, ggVertical, ggVertical,
     SwapRedBlue(0xACA899), 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     SwapRedBlue(0x919B9C), SwapRedBlue(0xFCFCFE), SwapRedBlue(0xF4F3EE), SwapRedBlue(0xF4F3EE), SwapRedBlue(0xF4F3EE),
     {SwapRedBlue(0xFFFFFF), SwapRedBlue(0xECE9D8), SwapRedBlue(0xE3E0CF), SwapRedBlue(0xF7F6F3),
      SwapRedBlue(0x003C74)},
     {SwapRedBlue(0xFFF3CF), SwapRedBlue(0xFFE08C), SwapRedBlue(0xFFC73C), SwapRedBlue(0xFFF3CF),
      SwapRedBlue(0xE3A21A)},
     {SwapRedBlue(0xE5E4DD), SwapRedBlue(0xD6D2C2), SwapRedBlue(0xCECABB), SwapRedBlue(0xE5E4DD),
      SwapRedBlue(0x003C74)},
     {SwapRedBlue(0xF7F6F3), SwapRedBlue(0xE3E0CF), SwapRedBlue(0xDCD8C6), SwapRedBlue(0xF7F6F3),
      SwapRedBlue(0x003C74)}},
    // psWhidbey
    {1, 0xEAF0F0, 0xC3D0D2, false,
     clNone, 0x6F4B4B, 0x99A8AC, 0x6F4B4B, clNone,
     clBlack, clBlack, clBlack,
     0xD2BDB6, 0xD2BDB6, 0xC4A597, 0xC4A597,
     clWhite, 0xF7F8F9, 0xF7F8F9, 0xEDF0F2,
     clWhite, clSilver, ggVertical, ggVertical,
     0x99A8AC, 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     0x99A8AC, 0xFAFBFB, 0xEDF0F2, 0xEDF0F2, 0xEDF0F2,
     {0xFAFBFB, 0xE8ECEE, 0xDCE2E5, 0xF2F4F5, 0x99A8AC},
     {0xD2BDB6, 0xD2BDB6, 0xC4A597, 0xC4A597, 0x6F4B4B},
     {0xB59285, 0xB59285, 0xA57F70, 0xA57F70, 0x6F4B4B},
     {0xE2D6D2, 0xE2D6D2, 0xD8C8C2, 0xD8C8C2, 0x6F4B4B}},
    // psCustom: not a preset
    {},
    // psOffice2007Silver
    {1, 0xEDE8E6, 0xDCD4D0, false,
     clNone, 0xC0B3AE, 0xB0A39E, 6343929, clNone,
     0x5C534C, 0x5C534C, 0x5C534C,
     14542308, 16768709, 14016477, 10736609,
     0xFAF8F8, 0xF0ECEA, 0xF0ECEA, 0xE3DCD9,
     clWhite, clSilver, ggRadial, ggVertical,
     0xC0B3AE, 16775871, 16643309, kHl2003Sel, kHl2003SelHot, kHl2003Down,
     0xB0A39E, 0xFAF8F8, 0xF0ECEA, 0xE8E3E1, 0xF5F3F2,
     {0xFAF8F8, 0xEFEBE9, 0xE4DEDB, 0xF5F3F2, 0xB0A39E},
     kGlowBlueHot, kGlowBlueDown, kGlowLunaChecked},
    // psWindowsVista
    {0, 0xFDF9F6, 0xF4E9E1, false,
     clNone, 0xE5B43C, 0x8E8F8F, 0xD6A53C, clNone,
     clBlack, clBlack, clBlack,
     0xFEF6EA, 0xFDEDD6, 0xFCE3C1, 0xFBDBB0,
     clWhite, 0xFBF7F3, 0xFBF7F3, 0xF4EEE7,
     clWhite, clSilver, ggVertical, ggVertical,
     0xC5B5A8, 0xFFFFFF, 0xFEF4E6, 0xFFFFFF, 0xFDEDD6, 0xE8D2B4,
     0x8E8F8F, 0xFFFFFF, 0xFBF7F3, 0xFBF7F3, 0xFBF7F3,
     {0xFFFFFF, 0xF3F3F3, 0xE8E8E8, 0xF8F8F8, 0x707070},
     {0xFEF6EA, 0xFDEDD6, 0xFCE3C1, 0xFBDBB0, 0xE5B43C},
     {0xF8E4CA, 0xF0D3A8, 0xE8C48E, 0xE0B77A, 0x8B622C},
     {0xFBEBD6, 0xF6DDB9, 0xF0D0A0, 0xEAC690, 0x8B622C}},
    // psWindows7
    {0, 0xFBF5EF, 0xF1E3D7, false,
     clNone, 0xECB981, 0x8E8F8F, 0xDDA36F, clNone,
     clBlack, clBlack, clBlack,
     0xFEF8F1, 0xFDEFE0, 0xFBE4CC, 0xF9DBBB,
     clWhite, 0xFAF6F2, 0xFAF6F2, 0xF3ECE5,
     clWhite, clSilver, ggVertical, ggVertical,
     0xC8B8AA, 0xFFFFFF, 0xFEF6EC, 0xFFFFFF, 0xFDEFE0, 0xEBD4B8,
     0x8E8F8F, 0xFFFFFF, 0xFAF6F2, 0xFAF6F2, 0xFAF6F2,
     {0xFFFFFF, 0xF2F2F2, 0xE6E6E6, 0xF7F7F7, 0x707070},
     {0xFEF8F1, 0xFDEFE0, 0xFBE4CC, 0xF9DBBB, 0xECB981},
     {0xF6E2CB, 0xEDD0AE, 0xE4BF92, 0xDCB27E, 0x8E6A3C},
     {0xFAEBD8, 0xF4DCBF, 0xEDCDA6, 0xE6C295, 0x8E6A3C}},
    // psTerminal: flat system colours
    {0, clBtnFace, clBtnFace, false,
     clNone, clGray, clGray, clHighlight, clNone,
     clBlack, clBlack, clBlack,
     0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE,
     clWhite, clWhite, clWhite, clWhite,
     clBtnFace, clBtnFace, ggVertical, ggVertical,
     clGray, clWhite, clWhite, clWhite, clWhite, clSilver,
     clGray, clWhite, clWhite, clWhite, clWhite,
     {clBtnFace, clBtnFace, clBtnFace, clBtnFace, clGray},
     {0xEEEEEE, 0xEEEEEE, 0xEEEEEE, 0xEEEEEE, clGray},
     {clHighlight, clHighlight, clHighlight, clHighlight, clGray},
     {0xDDDDDD, 0xDDDDDD, 0xDDDDDD, 0xDDDDDD, clGray}},
    // psOffice2010Blue
    {0, 0xF5E6D8, 0xEDD9C8, false,
     clNone, 0x82C8F2, 0xD0B8A2, 0x60B4ED, clNone,
     0x5B391E, 0x5B391E, 0x5B391E,
     0xCCF4FF, 0x9BE6FE, 0x9BE6FE, 0xCCF4FF,
     0xFFFFFF, 0xFCF5EF, 0xFCF5EF, 0xF9EDE4,
     clWhite, clSilver, ggVertical, ggVertical,
     0xD0B8A2, 0xFFFFFF, 0xE4FAFF, 0xFFFFFF, 0xCCF4FF, 0x8CD5FB,
     0xD0B8A2, 0xFFFFFF, 0xFCF5EF, 0xFCF5EF, 0xFCF5EF,
     {0xFDF8F4, 0xF6EADF, 0xF0DFD1, 0xF9F1EA, 0xD0B8A2},
     {0xCCF4FF, 0x9BE6FE, 0x9BE6FE, 0xCCF4FF, 0x60B4ED},
     {0x8CD5FB, 0x6CC5F9, 0x6CC5F9, 0x8CD5FB, 0x3E9BE8},
     {0xB0E3FD, 0x8CD5FB, 0x8CD5FB, 0xB0E3FD, 0x3E9BE8}},
    // psOffice2010Silver
    {0, 0xF3EFEC, 0xE6E0DC, false,
     clNone, 0x82C8F2, 0xC5BFBA, 0x60B4ED, clNone,
     0x4C4C4C, 0x4C4C4C, 0x4C4C4C,
     0xCCF4FF, 0x9BE6FE, 0x9BE6FE, 0xCCF4FF,
     0xFFFFFF, 0xF9F7F6, 0xF9F7F6, 0xF2EFED,
     clWhite, clSilver, ggVertical, ggVertical,
     0xC5BFBA, 0xFFFFFF, 0xE4FAFF, 0xFFFFFF, 0xCCF4FF, 0x8CD5FB,
     0xC5BFBA, 0xFFFFFF, 0xF9F7F6, 0xF9F7F6, 0xF9F7F6,
     {0xFBFAF9, 0xF0EDEB, 0xE9E5E2, 0xF5F3F1, 0xC5BFBA},
     {0xCCF4FF, 0x9BE6FE, 0x9BE6FE, 0xCCF4FF, 0x60B4ED},
     {0x8CD5FB, 0x6CC5F9, 0x6CC5F9, 0x8CD5FB, 0x3E9BE8},
     {0xB0E3FD, 0x8CD5FB, 0x8CD5FB, 0xB0E3FD, 0x3E9BE8}},
    // psOffice2010Black
    {0, 0x4A4A4A, 0x383838, false,
     clNone, 0x82C8F2, 0x6A6A6A, 0x60B4ED, clNone,
     clWhite, clWhite, clBlack,
     0xCCF4FF, 0x9BE6FE, 0x9BE6FE, 0xCCF4FF,
     0xE8E8E8, 0xD9D9D9, 0xD9D9D9, 0xCACACA,
     clWhite, clSilver, ggVertical, ggVertical,
     0x2A2A2A, 0x8A8A8A, 0xE4FAFF, 0xF2F2F2, 0xCCF4FF, 0x8CD5FB,
     0x6A6A6A, 0xE8E8E8, 0xD9D9D9, 0xD9D9D9, 0xD9D9D9,
     {0x6A6A6A, 0x505050, 0x444444, 0x5A5A5A, 0x2A2A2A},
     {0xCCF4FF, 0x9BE6FE, 0x9BE6FE, 0xCCF4FF, 0x60B4ED},
     {0x8CD5FB, 0x6CC5F9, 0x6CC5F9, 0x8CD5FB, 0x3E9BE8},
     {0xB0E3FD, 0x8CD5FB, 0x8CD5FB, 0xB0E3FD, 0x3E9BE8}},
};

void ApplyGlow(glow::TGlowButtonAppearance& g, const TPagerPreset& p) {
    g.SetColor(p.glow.c), g.SetColorTo(p.glow.cTo), g.SetColorMirror(p.glow.m), g.SetColorMirrorTo(p.glow.mTo);
    g.SetBorderColor(p.glow.border);
    g.SetColorHot(p.glowHot.c), g.SetColorHotTo(p.glowHot.cTo), g.SetColorMirrorHot(p.glowHot.m);
    g.SetColorMirrorHotTo(p.glowHot.mTo), g.SetBorderColorHot(p.glowHot.border);
    g.SetColorDown(p.glowDown.c), g.SetColorDownTo(p.glowDown.cTo), g.SetColorMirrorDown(p.glowDown.m);
    g.SetColorMirrorDownTo(p.glowDown.mTo), g.SetBorderColorDown(p.glowDown.border);
    g.SetColorChecked(p.glowChecked.c), g.SetColorCheckedTo(p.glowChecked.cTo);
    g.SetColorMirrorChecked(p.glowChecked.m), g.SetColorMirrorCheckedTo(p.glowChecked.mTo);
    if (p.glowChecked.border != kKeep) g.SetBorderColorChecked(p.glowChecked.border);
    g.SetGradient(ggVertical), g.SetGradientMirror(ggVertical);
    g.SetGradientHot(ggVertical), g.SetGradientMirrorHot(ggVertical);
    g.SetGradientDown(ggVertical), g.SetGradientMirrorDown(ggVertical);
    g.SetGradientChecked(ggVertical);
}

}  // namespace

TKelOfficePagerOfficeStyler::TKelOfficePagerOfficeStyler(TComponent* owner) : TCustomKelOfficePagerStyler(owner) {
    DetectColorScheme = DetectXPColorScheme;
    CreateThemeNotifier(*this);
    SetStyle(psWindowsXP);
    SetStyle(psOffice2003Blue);
}

void TKelOfficePagerOfficeStyler::SetStyle(TOfficePagerStyle style) {
    if (style == style_ || style < 0 || style >= kOfficePagerStyleCount) return;
    style_ = style;
    borderLightening_ = 50;
    if (style != psCustom) {
        if (style == psOffice2003Classic) borderLightening_ = 80;
        const TPagerPreset& p = kPresets[style];
        SetRoundedCorners(p.rounded);
        TTabAppearance& t = TabAppearance();
        t.BackGround().SetColor(p.bg);
        t.BackGround().SetColorTo(p.bgTo);
        if (p.bgVertical) t.BackGround().SetDirection(gdVertical);
        t.SetBorderColor(p.border);
        t.SetBorderColorHot(p.borderHot);
        t.SetBorderColorSelected(p.borderSel);
        t.SetBorderColorSelectedHot(p.borderSelHot);
        t.SetBorderColorDisabled(p.borderDis);
        t.SetTextColor(p.text);
        t.SetTextColorHot(p.textHot);
        t.SetTextColorSelected(p.textSel);
        t.SetTextColorDisabled(clGray);
        t.SetColorHot(p.hot);
        t.SetColorHotTo(p.hotTo);
        t.SetColorMirrorHot(p.mHot);
        t.SetColorMirrorHotTo(p.mHotTo);
        t.SetColorSelected(p.sel);
        t.SetColorSelectedTo(p.selTo);
        t.SetColorMirrorSelected(p.mSel);
        t.SetColorMirrorSelectedTo(p.mSelTo);
        t.SetColorDisabled(p.dis);
        t.SetColorDisabledTo(p.disTo);
        t.SetColorMirrorDisabled(p.dis);
        t.SetColorMirrorDisabledTo(p.disTo);
        t.SetGradient(ggVertical);
        t.SetGradientHot(p.gradHot);
        t.SetGradientMirrorHot(p.gradMirrorHot);
        t.SetGradientSelected(ggVertical);
        t.SetGradientMirrorSelected(ggVertical);
        t.SetGradientDisabled(ggVertical);
        t.SetGradientMirrorDisabled(ggVertical);
        t.SetShadowColor(p.shadow);
        t.SetHighLightColor(p.hl);
        t.SetHighLightColorHot(p.hlHot);
        t.SetHighLightColorSelected(p.hlSel);
        t.SetHighLightColorSelectedHot(p.hlSelHot);
        t.SetHighLightColorDown(p.hlDown);
        TVistaBackground& page = PageAppearance();
        page.SetBorderColor(p.pageBorder);
        page.SetColor(p.page);
        page.SetColorTo(p.pageTo);
        page.SetColorMirror(p.pageMirror);
        page.SetColorMirrorTo(p.pageMirrorTo);
        page.SetGradient(ggVertical);
        page.SetGradientMirror(ggVertical);
        ApplyGlow(GlowButtonAppearance(), p);
        GlowButtonAppearance().SetGradientMirrorChecked(ggVertical);
    }
    NotifyPagers(scPageAppearance);
}

void TKelOfficePagerOfficeStyler::ApplyThemeStyle() {
    if (!autoThemeAdapt_) return;
    switch (DetectColorScheme ? DetectColorScheme() : 0) {
        case 1: SetStyle(psOffice2003Blue); break;
        case 2: SetStyle(psOffice2003Olive); break;
        case 3: SetStyle(psOffice2003Silver); break;
        default: SetStyle(psWindowsXP); break;
    }
}

void TKelOfficePagerOfficeStyler::ApplyStylePreset(int style) {
    if (style >= 0 && style < kOfficePagerStyleCount) SetStyle(TOfficePagerStyle(style));
}

int ColorSchemeFromName(const std::wstring& name) {
    if (name == L"NormalColor") return 1;
    if (name == L"HomeStead") return 2;
    if (name == L"Metallic") return 3;
    return 0;
}

}  // namespace kel::pager
