#include "widgets/drawing/HtmlMarkup.h"

#include <algorithm>

namespace kel {
namespace {

struct TNamedColor {
    std::wstring_view name;
    fw::TColor color;
};

constexpr TNamedColor kColorNames[] = {
    {L"clred", fw::clRed},
    {L"clblack", fw::clBlack},
    {L"clblue", fw::clBlue},
    {L"clgreen", fw::clGreen},
    {L"claqua", fw::clAqua},
    {L"clyellow", fw::clYellow},
    {L"clfuchsia", fw::clFuchsia},
    {L"clwhite", fw::clWhite},
    {L"cllime", fw::clLime},
    {L"clsilver", fw::clSilver},
    {L"clgray", fw::clGray},
    {L"clolive", fw::clOlive},
    {L"clnavy", fw::clNavy},
    {L"clpurple", fw::clPurple},
    {L"clteal", fw::clTeal},
    {L"clmaroon", fw::clMaroon},
    {L"clbackground", fw::clBackground},
    {L"clactivecaption", fw::clActiveCaption},
    {L"clinactivecaption", fw::clInactiveCaption},
    {L"clmenu", fw::clMenu},
    {L"clwindow", fw::clWindow},
    {L"clwindowframe", fw::clWindowFrame},
    {L"clmenutext", fw::clMenuText},
    {L"clwindowtext", fw::clWindowText},
    {L"clcaptiontext", fw::clCaptionText},
    {L"clactiveborder", fw::clActiveBorder},
    {L"clinactiveborder", fw::clInactiveBorder},
    {L"clappworkspace", fw::clAppWorkSpace},
    {L"clhighlight", fw::clHighlight},
    {L"clhighlighttext", fw::clHighlightText},
    {L"clbtnface", fw::clBtnFace},
    {L"clbtnshadow", fw::clBtnShadow},
    {L"clgraytext", fw::clGrayText},
    {L"clbtntext", fw::clBtnText},
    {L"clinactivecaptiontext", fw::clInactiveCaptionText},
    {L"clbtnhighlight", fw::clBtnHighlight},
    {L"cl3ddkshadow", fw::cl3DDkShadow},
    {L"cl3dlight", fw::cl3DLight},
    {L"clinfotext", fw::clInfoText},
    {L"clinfobk", fw::clInfoBk},
};

struct TEntity {
    std::wstring_view name;  // between "&" and ";", lower case
    wchar_t ch;
};

constexpr TEntity kEntities[] = {
    {L"amp", L'&'},        {L"quot", L'"'},       {L"lt", L'<'},       {L"gt", L'>'},
    {L"nbsp", L'\u00A0'},  {L"sect", L'\u00A7'},  {L"permil", L'\u2030'}, {L"reg", L'\u00AE'},
    {L"copy", L'\u00A9'},  {L"para", L'\u00B6'},  {L"trade", L'\u2122'}, {L"euro", L'\u20AC'},
};

// What may follow "<" in a tag: a letter, "/" or "!" (comments and
// declarations, dropped like any tag the markup does not know).
bool OpensTag(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'/' || c == L'!'; }

wchar_t AsciiLower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
wchar_t AsciiUpperChar(wchar_t c) { return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c; }

bool EqualsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

int HexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    return 0;
}

int HexPair(std::wstring_view text, size_t at) {
    if (at + 2 > text.size()) return 0;
    return HexDigit(text[at]) * 16 + HexDigit(text[at + 1]);
}

}  // namespace

fw::TColor HtmlColorByName(std::wstring_view lowerName) {
    for (const TNamedColor& c : kColorNames)
        if (c.name == lowerName) return c.color;
    return fw::clBlack;
}

fw::TColor HtmlHexColor(std::wstring_view text) {
    int red = HexPair(text, 1);
    int green = HexPair(text, 3);
    int blue = HexPair(text, 5);
    return fw::RGBColor(static_cast<uint8_t>(red), static_cast<uint8_t>(green), static_cast<uint8_t>(blue));
}

fw::TColor HtmlColor(std::wstring_view value) {
    if (!value.empty() && value[0] == L'#') return HtmlHexColor(value);
    std::wstring lower(value);
    std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
    return HtmlColorByName(lower);
}

bool ReplaceFirstText(std::wstring_view oldText, std::wstring_view newText, std::wstring& text) {
    if (oldText.empty() || oldText.size() > text.size()) return false;
    for (size_t i = 0; i + oldText.size() <= text.size(); ++i) {
        if (EqualsIgnoringCase(std::wstring_view(text).substr(i, oldText.size()), oldText)) {
            text.replace(i, oldText.size(), newText);
            return true;
        }
    }
    return false;
}

std::wstring LineBreaksToBR(std::wstring_view text, bool convertCR) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c == L'\n') continue;
        if (c == L'\r') {
            if (convertCR) out += L"<BR>";
            continue;
        }
        out += c;
    }
    return out;
}

std::wstring UnwrapFirstHashTag(std::wstring_view text) {
    std::wstring out(text);
    size_t open = out.find(L"<#");
    if (open == std::wstring::npos) return out;
    size_t close = out.find(L'>', open);
    if (close != std::wstring::npos) out.erase(close, 1);
    out.erase(open, 1);
    return out;
}

std::wstring DecodeHtmlEntities(std::wstring_view text) {
    if (text.find(L'&') == std::wstring_view::npos) return std::wstring(text);
    std::wstring out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        if (text[i] == L'&') {
            size_t semi = text.find(L';', i + 1);
            if (semi != std::wstring_view::npos && semi - i <= 7) {
                std::wstring_view name = text.substr(i + 1, semi - i - 1);
                auto entity = std::find_if(std::begin(kEntities), std::end(kEntities),
                                           [&](const TEntity& e) { return EqualsIgnoringCase(e.name, name); });
                if (entity != std::end(kEntities)) {
                    out += entity->ch;
                    i = semi + 1;
                    continue;
                }
            }
        }
        out += text[i++];
    }
    return out;
}

std::wstring AsciiUpper(std::wstring_view text) {
    std::wstring out(text);
    std::transform(out.begin(), out.end(), out.begin(), AsciiUpperChar);
    return out;
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

int ReadRunTimeInteger(std::wstring_view text, bool& complete) {
    size_t i = 0;
    while (i < text.size() && text[i] == L' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    int base = 10;
    if (i < text.size() && text[i] == L'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == L'0' && (text[i + 1] == L'x' || text[i + 1] == L'X')) {
        base = 16;
        i += 2;
    }
    const long long limit = negative ? 0x80000000LL : 0x7FFFFFFFLL;
    long long value = 0;
    size_t digits = 0;
    bool overflow = false;
    for (; i < text.size(); ++i, ++digits) {
        const wchar_t c = text[i];
        const bool isDigit = (c >= L'0' && c <= L'9') ||
                             (base == 16 && ((c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F')));
        if (!isDigit) break;
        value = value * base + HexDigit(c);
        if (value > limit) {
            overflow = true;
            value = limit;
        }
    }
    complete = digits > 0 && i == text.size() && !overflow;
    return static_cast<int>(negative ? -value : value);
}

int ReadHtmlNumber(std::wstring_view text) {
    bool complete = false;
    return std::clamp(ReadRunTimeInteger(text, complete), -kHtmlNumberLimit, kHtmlNumberLimit);
}

bool TryReadHtmlNumber(std::wstring_view text, int& value) {
    bool complete = false;
    const int v = ReadRunTimeInteger(text, complete);
    if (complete) value = std::clamp(v, -kHtmlNumberLimit, kHtmlNumberLimit);
    return complete;
}

std::optional<std::wstring_view> HtmlAttribute(std::wstring_view searched, std::wstring_view name) {
    return HtmlAttribute(searched, searched, name);
}

std::optional<std::wstring_view> HtmlAttribute(std::wstring_view searched, std::wstring_view original,
                                               std::wstring_view name) {
    size_t at = searched.find(name);
    if (at == std::wstring_view::npos) return std::nullopt;
    size_t open = searched.find(L'"', at + name.size());
    if (open == std::wstring_view::npos) return std::wstring_view();
    size_t close = searched.find(L'"', open + 1);
    if (close == std::wstring_view::npos) return std::wstring_view();
    return original.substr(open + 1, close - open - 1);
}

bool StartsHtmlTag(std::wstring_view text) {
    return text.size() >= 3 && text[0] == L'<' && OpensTag(text[1]) && text.find(L'>', 2) != std::wstring_view::npos;
}

size_t FindHtmlTag(std::wstring_view text) {
    // A "<" opens a tag only with a ">" after it: find the last ">" once.
    size_t lastClose = text.rfind(L'>');
    if (lastClose == std::wstring_view::npos) return std::wstring_view::npos;
    for (size_t at = text.find(L'<'); at != std::wstring_view::npos && at + 1 < lastClose;
         at = text.find(L'<', at + 1)) {
        if (OpensTag(text[at + 1])) return at;
    }
    return std::wstring_view::npos;
}

THtmlImageRef ClassifyHtmlImage(std::wstring_view source) {
    THtmlImageRef ref;
    if (source.empty()) return ref;
    std::wstring upper = AsciiUpper(source);
    auto startsWith = [&](std::wstring_view prefix) { return upper.compare(0, prefix.size(), prefix) == 0; };
    if (startsWith(L"IDX:")) {
        ref.Kind = THtmlImageKind::ImageList;
        ref.Index = ReadHtmlNumber(source.substr(4));
    } else if (startsWith(L"SSYS:") || startsWith(L"LSYS:")) {
        ref.Kind = upper[0] == L'S' ? THtmlImageKind::SmallIcon : THtmlImageKind::LargeIcon;
        ref.Source = source.substr(5);
    } else if (source.find(L':') == std::wstring_view::npos) {
        ref.Kind = THtmlImageKind::Store;
        ref.Source = source;
    } else if (source.find(L"://") != std::wstring_view::npos) {
        ref.Kind = THtmlImageKind::Url;
        ref.Source = source;
    }
    return ref;
}

}  // namespace kel
