// The office check box's and radio button's rules.
#include "widgets/buttons/KelOfficeButtonsLogic.h"

#include <algorithm>
#include <cwctype>

namespace kel::office {

TCheckBoxState ToggledState(TCheckBoxState state, bool allowGrayed, bool readOnly) {
    if (readOnly) return state;
    if (allowGrayed) {
        switch (state) {
            case cbUnchecked: return cbGrayed;
            case cbGrayed: return cbChecked;
            case cbChecked: return cbUnchecked;
        }
    }
    return state == cbChecked ? cbUnchecked : cbChecked;
}

int ThemeState(TCheckBoxState value, bool enabled, bool down, bool hot) {
    // normal, hot, down, disabled; hot shows the pressed look for
    // unchecked and checked.
    static const int table[3][4] = {{1, 3, 3, 4}, {5, 7, 7, 8}, {9, 10, 11, 12}};
    const int column = !enabled ? 3 : down ? 2 : hot ? 1 : 0;
    return table[value][column];
}

std::wstring GlyphResourceName(bool radio, TCheckBoxState value, bool down, bool hot) {
    std::wstring name = radio ? L"KELMOFR" : L"KELMOFC";
    name += value == cbChecked ? L'C' : value == cbGrayed && !radio ? L'G' : L'U';
    if (down) {
        name += L'D';
    } else if (hot) {
        name += L'H';
    }
    return name;
}

bool IsWinXPOrLater(uint32_t getVersionResult) {
    const unsigned major = getVersionResult & 0xFF;
    const unsigned minor = (getVersionResult >> 8) & 0xFF;
    return major > 5 || (major == 5 && minor != 0);
}

int MajorFileVersion(int64_t fileVersionMS) {
    // A failed read must not pass for version 255.
    if (fileVersionMS < 0) return 0;
    return static_cast<int>((fileVersionMS >> 16) & 0xFF);
}

bool IsAccelerator(wchar_t ch, const std::wstring& caption) {
    for (size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return std::towupper(caption[i + 1]) == std::towupper(ch);
    }
    return false;
}

bool OpensInShell(const std::wstring& href) {
    std::wstring lower(href);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    for (const wchar_t* scheme : {L"http://", L"https://", L"mailto:"}) {
        if (lower.rfind(scheme, 0) == 0) return true;
    }
    return false;
}

TIntRect GlyphRect(const TGlyphPlace& p) {
    const int w = p.Themed ? 16 : p.BitmapWidth;
    const int h = p.Themed ? 16 : p.BitmapHeight;
    int top = 0;
    switch (p.VertAlign) {
        case tlTop: top = p.Radio ? 4 : (p.TextHeightGh - h) / 2 + 4; break;
        case tlCenter: top = p.Themed ? p.ClientHeight / 2 - 8 : p.ClientHeight / 2 - h / 2; break;
        case tlBottom: top = p.ClientHeight - h - (!p.Themed && p.Radio ? 2 : 0); break;
    }
    const int left = !p.AtRight ? 0 : p.Themed ? p.ClientWidth - 17 : p.ClientWidth - w - 1;
    return TIntRect{left, top, left + w, top + h};
}

TIntRect GlyphStrip(int clientWidth, int clientHeight, bool atRight) {
    if (atRight) return TIntRect{std::max(0, clientWidth - 20), 0, clientWidth, clientHeight};
    return TIntRect{0, 0, std::min(20, clientWidth), clientHeight};
}

TIntRect CaptionBox(bool radio, int clientWidth, int clientHeight, bool atRight) {
    const int room = radio ? 18 : 16;
    TIntRect r{0, 4, clientWidth, clientHeight};
    if (atRight) {
        r.Right -= room;
    } else {
        r.Left += room;
    }
    return r;
}

TIntRect PlaceCaption(bool radio, TIntRect box, int textWidth, bool rightToLeft, TTextLayout vertAlign,
                      int measuredHeight) {
    if (rightToLeft) box.Left = box.Right - textWidth - 3;
    if (radio) {
        if (vertAlign == tlCenter) box.Top = box.Top - 3 + (box.Bottom - box.Top - measuredHeight) / 2;
        if (vertAlign == tlBottom) box.Top = box.Bottom - measuredHeight - 3;
    }
    return box;
}

TIntRect FocusOutline(bool radio, const TIntRect& caption, int textWidth, int textHeight, int clientHeight) {
    if (radio) return TIntRect{0, caption.Top - 1, caption.Left + textWidth + 1, clientHeight - 1};
    return TIntRect{caption.Left, caption.Top, caption.Left + textWidth + 3, caption.Top + textHeight};
}

namespace {

constexpr uint32_t kKey = 0xFF00FF;  // transparent

uint32_t Mix(uint32_t a, uint32_t b, int num, int den) {
    uint32_t out = 0;
    for (int shift : {0, 8, 16}) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        out |= static_cast<uint32_t>(ca + (cb - ca) * num / den) << shift;
    }
    return out;
}

struct TLook {
    uint32_t border;
    uint32_t top;
    uint32_t bottom;
};

// Normal, hot (warm) and down (pressed, darker) looks.
TLook LookOf(bool down, bool hot) {
    if (down) return TLook{0x2C628B, 0xC2E4F6, 0x8DC6EA};
    if (hot) return TLook{0x3C7FB1, 0xFFF4D2, 0xFFD98A};
    return TLook{0x8E8F8F, 0xFFFFFF, 0xDCDCDC};
}

TGlyphImage Blank(int w, int h) {
    return TGlyphImage{w, h, std::vector<uint32_t>(static_cast<size_t>(w * h), kKey)};
}

void Put(TGlyphImage& g, int x, int y, uint32_t c) {
    if (x >= 0 && y >= 0 && x < g.Width && y < g.Height) g.Pixels[static_cast<size_t>(y * g.Width + x)] = c;
}

constexpr uint32_t kMark = 0x21363F;

TGlyphImage CheckBoxGlyph(TCheckBoxState value, bool down, bool hot) {
    const TLook look = LookOf(down, hot);
    TGlyphImage g = Blank(13, 13);
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 13; ++x) {
            const bool corner = (x == 0 || x == 12) && (y == 0 || y == 12);
            if (corner) continue;
            const bool edge = x == 0 || x == 12 || y == 0 || y == 12;
            Put(g, x, y, edge ? look.border : Mix(look.top, look.bottom, y - 1, 10));
        }
    }
    if (value == cbChecked) {
        // A tick two pixels thick: down from (3,6) to (5,8), up to (9,4).
        const int xs[] = {3, 4, 5, 6, 7, 8, 9};
        const int ys[] = {6, 7, 8, 7, 6, 5, 4};
        for (int i = 0; i < 7; ++i) {
            Put(g, xs[i], ys[i], kMark);
            Put(g, xs[i], ys[i] + 1, kMark);
        }
    } else if (value == cbGrayed) {
        for (int y = 4; y <= 8; ++y)
            for (int x = 4; x <= 8; ++x) Put(g, x, y, 0x6B8E9F);
    }
    return g;
}

TGlyphImage RadioGlyph(TCheckBoxState value, bool down, bool hot) {
    const TLook look = LookOf(down, hot);
    TGlyphImage g = Blank(12, 12);
    // A disc of diameter 12 round (5.5, 5.5): squared distance to the
    // centre, in quarter pixels.
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            const int dx = 2 * x - 11;
            const int dy = 2 * y - 11;
            const int d = dx * dx + dy * dy;
            if (d > 130) continue;
            Put(g, x, y, d > 82 ? look.border : Mix(look.top, look.bottom, y, 11));
        }
    }
    if (value == cbChecked) {
        for (int y = 4; y <= 7; ++y)
            for (int x = 4; x <= 7; ++x)
                if (!((x == 4 || x == 7) && (y == 4 || y == 7))) Put(g, x, y, kMark);
    }
    return g;
}

}  // namespace

std::optional<TGlyphImage> OfficeGlyphResource(const std::wstring& name) {
    if (name.rfind(L"KELMOF", 0) != 0 || name.size() < 8 || name.size() > 9) return std::nullopt;
    const wchar_t kind = name[6];
    const wchar_t value = name[7];
    const wchar_t look = name.size() == 9 ? name[8] : L'\0';
    if (look != L'\0' && look != L'H' && look != L'D') return std::nullopt;
    TCheckBoxState state;
    switch (value) {
        case L'U': state = cbUnchecked; break;
        case L'C': state = cbChecked; break;
        case L'G':
            if (kind != L'C') return std::nullopt;
            state = cbGrayed;
            break;
        default: return std::nullopt;
    }
    if (kind == L'C') return CheckBoxGlyph(state, look == L'D', look == L'H');
    if (kind == L'R') return RadioGlyph(state, look == L'D', look == L'H');
    return std::nullopt;
}

}  // namespace kel::office
