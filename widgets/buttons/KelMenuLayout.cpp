#include "widgets/buttons/KelMenuLayout.h"

#include <algorithm>
#include <cwctype>

namespace kel::menus {

std::vector<std::wstring> SplitCaptionNotes(const std::wstring& caption) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    for (size_t at; (at = caption.find(L"\\n", start)) != std::wstring::npos; start = at + 2)
        lines.push_back(caption.substr(start, at - start));
    lines.push_back(caption.substr(start));
    return lines;
}

bool HasNotes(const std::wstring& caption) { return caption.find(L"\\n") != std::wstring::npos; }

TTextSize MeasureMenuItem(const TItemMeasureInput& in, TTextSize initial, const TTextMeasure& captionFont,
                          const TTextMeasure& notesFont) {
    if (!in.Visible) return {0, 0};
    if (in.IsLine) return {-2, in.SeparatorWidth + 2};
    int width = in.IconSize;
    int height = initial.Height;
    if (in.HasImageList)
        height = std::max(height, in.ImageListHeight);
    else if (in.BitmapHeight > 0)
        height = std::max(height, in.BitmapHeight);
    else
        height -= 3;
    width += 15;
    height += 2;
    const bool notes = in.ShowNotes && HasNotes(in.Caption);
    const std::wstring text = (notes ? SplitCaptionNotes(in.Caption).front() : in.Caption) + in.ShortCutText;
    const TTextSize extent = captionFont(text);
    width += extent.Width + 7;
    int minHeight = extent.Height + 6;
    if (in.WinKey) width += captionFont(L"Win+").Width;
    if (in.SideBar) width += in.SideBarSize + in.SplitterWidth;
    height = (height + 1) / 2 * 2;
    width += kRightReserve;
    if (notes) {
        const int lineHeight = notesFont(L"gh").Height;
        int widest = 0;
        const std::vector<std::wstring> lines = SplitCaptionNotes(in.Caption);
        for (const std::wstring& line : lines) widest = std::max(widest, notesFont(line).Width);
        minHeight += lineHeight * static_cast<int>(lines.size() - 1);
        if (widest > 0) width = std::max(width, widest + kRightReserve + in.IconSize + 8);
    }
    return {width, std::max(height, minHeight)};
}

std::wstring CapitalizeKeyName(const std::wstring& name) {
    std::wstring out = name;
    for (size_t i = 1; i < out.size(); ++i) out[i] = static_cast<wchar_t>(std::towlower(out[i]));
    const size_t paren = out.find(L'(');
    if (paren != std::wstring::npos && paren + 1 < out.size())
        out[paren + 1] = static_cast<wchar_t>(std::towupper(out[paren + 1]));
    return out;
}

std::wstring ShortCutDisplayText(uint16_t shortCut, bool international, const std::wstring& frameworkText,
                                 const std::function<std::wstring(int key)>& keyName) {
    if (!international) return (shortCut & kWinKeyFlag) ? L"Win+" + frameworkText : frameworkText;
    const int key = shortCut & 0xFF;
    std::wstring text = key >= 0x70 && key <= 0x87 ? L"F" + std::to_wstring(key - 0x6F) : CapitalizeKeyName(keyName(key));
    if (shortCut & 0x2000) text = CapitalizeKeyName(keyName(0x10)) + L"+" + text;
    if (shortCut & 0x4000) text = CapitalizeKeyName(keyName(0x11)) + L"+" + text;
    if (shortCut & 0x8000) text = CapitalizeKeyName(keyName(0x12)) + L"+" + text;
    return text;
}

}  // namespace kel::menus
