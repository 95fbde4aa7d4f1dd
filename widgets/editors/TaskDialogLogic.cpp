#include "widgets/editors/TaskDialogLogic.h"

#include <algorithm>
#include <cstdlib>

namespace kel::taskdialog {

namespace {

const std::wstring kEscape = L"\\n";

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
    size_t pos = 0;
    while ((pos = text.find(from, pos)) != std::wstring::npos) {
        text.replace(pos, from.size(), to);
        pos += to.size();
    }
    return text;
}

std::wstring Lower(std::wstring s) {
    for (auto& c : s) {
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    }
    return s;
}

// Row order follows TCommonButton. The Close row is a Close button that
// returns what the system's Close button returns, so both paths agree.
const TCommonButtonRow kRows[CommonButtonCount] = {
    {L"OK", L"OK", IdOK},          {L"Yes", L"&Yes", IdYes},       {L"No", L"&No", IdNo},
    {L"Cancel", L"Cancel", IdCancel}, {L"Retry", L"&Retry", IdRetry}, {L"Close", L"&Close", IdClose},
};

}  // namespace

int CommonButtonId(TCommonButton button) { return kRows[button].ModalResult; }
const TCommonButtonRow& CommonButtonRowOf(TCommonButton button) { return kRows[button]; }

std::wstring ConvertLineBreakEscapes(const std::wstring& text) {
    if (text.find(L"\\\\n") != std::wstring::npos) return ReplaceAll(text, L"\\\\n", kEscape);
    if (text.find(kEscape) != std::wstring::npos) return ReplaceAll(text, kEscape, L"\n");
    return text;
}

bool HasEscapedLineBreak(const std::wstring& text) {
    const size_t a = text.find(kEscape);
    if (a == std::wstring::npos) return false;
    const size_t b = text.find(L":\\n");
    if (b == std::wstring::npos) return true;
    return a != b + 1;
}

std::wstring HtmlLineBreaks(const std::wstring& text) {
    return ReplaceAll(ReplaceAll(text, kEscape, L"<br>"), L"\n", L"<br>");
}

std::wstring PlainLineBreaks(const std::wstring& text) { return ReplaceAll(text, kEscape, L"\r"); }

std::wstring TrimBlanks(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    const size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

std::vector<std::wstring> SplitTextLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    if (text.empty()) return lines;
    if (!HasEscapedLineBreak(text) && text.find(L'\r') == std::wstring::npos) {
        lines.push_back(text);
        return lines;
    }
    std::wstring rest = TrimBlanks(text);
    while (!rest.empty()) {
        size_t cut = rest.find(kEscape);
        size_t skip = kEscape.size();
        if (cut == std::wstring::npos) {
            cut = rest.find(L'\r');
            skip = 2;  // the carriage return and the character after it
        }
        if (cut == std::wstring::npos) {
            lines.push_back(TrimBlanks(rest));
            break;
        }
        lines.push_back(TrimBlanks(rest.substr(0, cut)));
        rest = TrimBlanks(cut + skip < rest.size() ? rest.substr(cut + skip) : std::wstring());
    }
    return lines;
}

TDialogPath ChooseDialogPath(unsigned windowsMajor, uint32_t comctlVersionMS, TNonNativeDialog nonNative) {
    const unsigned comctlMajor = comctlVersionMS == 0xFFFFFFFF ? 255 : (comctlVersionMS >> 16) & 0xFF;
    if (windowsMajor < 6 || comctlMajor <= 5 || nonNative == nndAlways) return TDialogPath::Emulated;
    return TDialogPath::Native;
}

uint16_t NativeMainIconId(TTaskDialogIcon icon) {
    switch (icon) {
        case tiBlank: return 17;
        case tiWarning: return 84;
        case tiQuestion: return 99;
        case tiError: return 98;
        case tiInformation: return 81;
        case tiNotUsed: return 0;
        case tiShield: return 78;
    }
    return 0;
}

uint16_t NativeFooterIconId(TTaskDialogFooterIcon icon) {
    switch (icon) {
        case tfiBlank: return 0;
        case tfiWarning: return 84;
        case tfiQuestion: return 99;
        case tfiError: return 98;
        case tfiInformation: return 0xFFFD;
        case tfiShield: return 0xFFFC;
    }
    return 0;
}

unsigned NativeProgressState(TTaskDialogProgressState state) {
    switch (state) {
        case psNormal: return 1;
        case psError: return 2;
        case psPaused: return 3;
    }
    return 1;
}

TTaskDialogOptions EffectiveOptions(const TTaskDialogSettings& s) {
    TTaskDialogOptions o = s.Options;
    if (s.CommonButtons.Contains(cbCancel)) o.Include(doAllowDialogCancel);
    return o;
}

TNativeConfig BuildNativeConfig(const TTaskDialogSettings& s, bool hasCustomIcon) {
    TNativeConfig c;
    const auto clip = [](const std::wstring& t) {
        return t.size() > MaxNativeButtonText ? t.substr(0, MaxNativeButtonText) : t;
    };
    for (size_t i = 0; i < s.CustomButtons.size(); ++i)
        c.Buttons.push_back({CustomButtonBase + static_cast<int>(i), clip(ConvertLineBreakEscapes(s.CustomButtons[i]))});
    for (size_t i = 0; i < s.RadioButtons.size(); ++i)
        c.RadioButtons.push_back({RadioButtonBase + static_cast<int>(i), clip(ConvertLineBreakEscapes(s.RadioButtons[i]))});
    c.Title = ConvertLineBreakEscapes(s.Title);
    c.Instruction = ConvertLineBreakEscapes(s.Instruction);
    c.Content = ConvertLineBreakEscapes(s.Content);
    c.Footer = ConvertLineBreakEscapes(s.Footer);
    c.ExpandedControlText = s.ExpandControlText;
    c.CollapsedControlText = s.CollapsControlText;
    c.ExpandedInformation = s.ExpandedText;
    c.VerificationText = s.VerificationText;
    static const uint32_t commonBits[CommonButtonCount] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20};
    for (int b = 0; b < CommonButtonCount; ++b) {
        if (s.CommonButtons.Contains(static_cast<TCommonButton>(b))) c.CommonButtons |= commonBits[b];
    }
    const TTaskDialogOptions& o = s.Options;
    uint32_t f = 0;
    if (o.Contains(doCommandLinks) && !s.CustomButtons.empty()) f = TDF_USE_COMMAND_LINKS_;
    if (o.Contains(doCommandLinksNoIcon)) f = TDF_USE_COMMAND_LINKS_NO_ICON_;
    if (o.Contains(doHyperlinks)) f |= TDF_ENABLE_HYPERLINKS_;
    if (o.Contains(doExpandedDefault)) f |= TDF_EXPANDED_BY_DEFAULT_;
    if (o.Contains(doExpandedFooter)) f |= TDF_EXPAND_FOOTER_AREA_;
    if (o.Contains(doAllowMinimize)) f |= TDF_CAN_BE_MINIMIZED_;
    if (o.Contains(doVerifyChecked)) f |= TDF_VERIFICATION_FLAG_CHECKED_;
    if (o.Contains(doProgressBar)) f |= TDF_SHOW_PROGRESS_BAR_;
    if (o.Contains(doProgressBarMarquee)) f |= TDF_SHOW_MARQUEE_PROGRESS_BAR_;
    if (o.Contains(doProgressBarMarquee) || o.Contains(doProgressBar) || o.Contains(doTimer) || s.AutoClose)
        f |= TDF_CALLBACK_TIMER_;
    if (s.DialogPosition == dpOwnerFormCenter) f |= TDF_POSITION_RELATIVE_TO_WINDOW_;
    if (o.Contains(doNoDefaultRadioButton)) f |= TDF_NO_DEFAULT_RADIO_BUTTON_;
    if (o.Contains(doAllowDialogCancel)) f |= TDF_ALLOW_DIALOG_CANCELLATION_;
    if (hasCustomIcon) {
        c.UseMainIconHandle = true;
        f |= TDF_USE_HICON_MAIN_;
    } else {
        c.MainIconId = NativeMainIconId(s.Icon);
    }
    c.FooterIconId = NativeFooterIconId(s.FooterIcon);
    c.Flags = f;
    c.DefaultButton = s.DefaultButton;
    c.DefaultRadioButton = s.DefaultRadioButton;
    return c;
}

bool TimerTickDue(int& elapsedTime, bool autoClose, int autoCloseTimeOut) {
    elapsedTime += 100;
    return autoClose && autoCloseTimeOut > 0 && autoCloseTimeOut < elapsedTime;
}

int AutoCloseButton(const TTaskDialogSettings& s) {
    const int d = s.DefaultButton;
    const int customCount = static_cast<int>(s.CustomButtons.size());
    if (d >= CustomButtonBase && d < CustomButtonBase + customCount) return d;
    for (int b = 0; b < CommonButtonCount; ++b) {
        const auto cb = static_cast<TCommonButton>(b);
        if (s.CommonButtons.Contains(cb) && CommonButtonId(cb) == d) return d;
    }
    if (customCount > 0) return CustomButtonBase;
    for (TCommonButton cb : {cbOK, cbYes, cbNo, cbCancel, cbRetry, cbClose}) {
        if (s.CommonButtons.Contains(cb)) return CommonButtonId(cb);
    }
    return IdOK;
}

bool IsOpenableLink(const std::wstring& href) {
    const std::wstring h = Lower(TrimBlanks(href));
    if (h.size() > 7 && h.rfind(L"http://", 0) == 0) return true;
    if (h.size() > 8 && h.rfind(L"https://", 0) == 0) return true;
    if (h.size() > 7 && h.rfind(L"mailto:", 0) == 0) return true;
    return false;
}

int MulDivRound(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long p = static_cast<long long>(number) * numerator;
    const long long d = denominator;
    long long q = (std::llabs(p) * 2 + std::llabs(d)) / (2 * std::llabs(d));
    if ((p < 0) != (d < 0)) q = -q;
    return static_cast<int>(q);
}

TDialogUnits DialogUnitsOf(int cx, int cy) {
    TDialogUnits u;
    u.HMargin = MulDivRound(8, cx, 4);
    u.VMargin = MulDivRound(8, cy, 8);
    u.HSpacing = MulDivRound(10, cx, 4);
    u.VSpacing = MulDivRound(10, cy, 8);
    u.ButtonHeight = MulDivRound(14, cy, 8);
    u.ButtonGap = MulDivRound(4, cx, 4);
    return u;
}

int PushButtonWidth(int captionWidth) { return std::max(captionWidth + 16, 60); }

TDefaultRows DefaultAndCancelRows(int defaultButton, TCommonButtons p) {
    TDefaultRows r;
    const auto first = [&](TCommonButton a, TCommonButton b, int otherwise) {
        return p.Contains(a) ? static_cast<int>(a) : (p.Contains(b) ? static_cast<int>(b) : otherwise);
    };
    switch (defaultButton) {
        case -1: r.DefaultRow = 0; r.NoDefault = true; break;
        case 0:
            r.DefaultRow = first(cbOK, cbYes, cbRetry);
            r.CancelRow = first(cbCancel, cbNo, 0);
            break;
        case IdOK: r.DefaultRow = first(cbOK, cbYes, cbYes); break;
        case IdCancel: r.DefaultRow = first(cbCancel, cbNo, cbNo); break;
        case IdYes: r.DefaultRow = p.Contains(cbYes) ? cbYes : 0; break;
        case IdNo: r.DefaultRow = p.Contains(cbNo) ? cbNo : 0; break;
        case IdClose: r.DefaultRow = p.Contains(cbClose) ? cbClose : 0; break;
        default: r.DefaultRow = 0; break;
    }
    return r;
}

int CustomDefaultId(int defaultButton, TCommonButtons present) {
    if (present.Empty() && defaultButton <= 0) return CustomButtonBase;
    return defaultButton;
}

int EmulatedClientWidth(const TClientWidthInput& in) {
    int w = std::max({in.HeaderWidth, in.RowWidth, in.FooterTextWidth}) + 2 * in.HMargin;
    w = std::max({w, 2 * in.HMargin + in.ExpandedTextWidth, in.MinWidth, in.FormMinWidth});
    const int limit = in.ScreenWidth - 2 * in.EdgeWidth;
    if (in.ScreenWidth > 0) w = std::min(w, limit);
    return w;
}

std::wstring CopySummaryText(const std::wstring& caption, const std::wstring& instruction,
                             const std::vector<std::wstring>& buttonCaptions) {
    const std::wstring dashes = std::wstring(27, L'-') + L"\r\n";
    std::wstring buttons;
    for (const auto& c : buttonCaptions) {
        std::wstring plain;
        for (wchar_t ch : c) {
            if (ch != L'&') plain += ch;
        }
        buttons += plain + L"   ";
    }
    return dashes + caption + L"\r\n" + dashes + instruction + L"\r\n" + dashes + buttons + L"\r\n" + dashes;
}

std::wstring CopyDialogText(const std::wstring& title, const std::wstring& instruction, const std::wstring& content) {
    return title + L"\r\n" + instruction + L"\r\n" + content;
}

int ContentLeftOf(const TArrangeInput& in) {
    return in.HasIcon ? in.Icon.Left + in.Icon.Width() + in.Units.HSpacing : in.Units.HMargin;
}

TArrangeResult ArrangeTaskDialog(const TArrangeInput& in) {
    const TDialogUnits& u = in.Units;
    TArrangeResult r;
    r.ClientWidth = in.ClientWidth;
    int y = u.VMargin;
    r.InstructionVisible = in.HasInstruction;
    if (in.HasInstruction) y += in.InstructionHeight + u.VSpacing;
    const int left = ContentLeftOf(in);
    // 2. content
    if (in.HasContent) {
        const int boxWidth = r.ClientWidth - u.HMargin - left;
        const TTdSize m = in.MeasureContent ? in.MeasureContent(boxWidth) : TTdSize{boxWidth, 0};
        r.ContentWidth = m.Width;
        r.ContentHeight = m.Height;
        if (boxWidth < r.ContentWidth) r.ClientWidth += r.ContentWidth - boxWidth;
        r.Content = {left, y, r.ClientWidth - u.HMargin, y + r.ContentHeight};
        int h = r.ContentHeight;
        if (!in.HasInstruction && in.HasIcon) h = std::max(h, in.Icon.Height());
        y += h + u.VSpacing;
        r.InputTop = y - 10;
    } else {
        if (in.RadioCount == 0 && !in.CommandLinks) y += u.VSpacing;
        if (!in.HasInstruction && in.HasIcon) y += u.VSpacing + u.VMargin;
        r.InputTop = y;
    }
    // 3. input control
    switch (in.InputKind) {
        case ikEdit:
        case ikComboEdit:
        case ikComboList:
        case ikDate: y += 36; break;
        case ikMemo: y += 70; break;
        case ikCustom: y += in.CustomInputHeight >= 0 ? in.CustomInputHeight + 16 : 36; break;
        case ikNone: break;
    }
    // 4. progress bar
    if (in.ProgressBar) {
        if (in.HasIcon) y = std::max(y, in.Icon.Bottom + 3);
        r.ProgressBarTop = y;
        y += in.ProgressBarHeight + u.VSpacing;
    }
    // 5. radio buttons
    if (in.RadioCount > 0) {
        r.RadioWidth = r.ClientWidth - (left + u.HMargin) - u.HMargin;
        for (int i = 0; i < in.RadioCount; ++i) {
            r.RadioTops.push_back(y);
            y += in.RadioHeight + 4;
        }
        y += u.VSpacing - 4;
    }
    // 6. expanded text
    if (in.HasExpandedText && in.Expanded) {
        const int boxWidth = r.ClientWidth - u.HMargin - left;
        const TTdSize m = in.MeasureExpanded ? in.MeasureExpanded(boxWidth) : TTdSize{boxWidth, 0};
        r.ExpandedTextWidth = m.Width;
        r.ExpandedTextHeight = m.Height;
        r.ExpandedTop = y;
        r.Expanded = {left, y, r.ClientWidth - u.HMargin, y + r.ExpandedTextHeight};
        y += r.ExpandedTextHeight + u.VSpacing;
    }
    // 7. row widths
    const auto rowOf = [&](const std::vector<int>& widths) {
        if (widths.empty()) return 0;
        int sum = 0;
        for (int w : widths) sum += w;
        return sum + static_cast<int>(widths.size() - 1) * u.ButtonGap;
    };
    const int customRow = in.CommandLinks ? 0 : rowOf(in.CustomButtonWidths);
    const int commonRow = rowOf(in.CommonButtonWidths);
    const int verifyWidth = in.HasVerification ? 2 * u.VSpacing + in.VerificationTextWidth : 0;
    // 8. command links
    r.FooterBandTop = 0;
    if (in.CommandLinks && !in.LinkHeights.empty()) {
        for (size_t i = 0; i < in.LinkHeights.size(); ++i) {
            const int l = in.HasIcon ? left : (i < in.LinkLefts.size() ? in.LinkLefts[i] : u.HMargin);
            r.Links.push_back({l, y, r.ClientWidth - u.HMargin, y + in.LinkHeights[i]});
            y += in.LinkHeights[i] + 2;
        }
        r.FooterBandTop = y;
        y += u.VSpacing;
    }
    // 9. the button row
    int x = r.ClientWidth - (customRow + commonRow) - u.HSpacing - 4;
    int rowTop = y;
    int rowH = 0;
    if (in.HasExpandedText) {
        r.ExpandButtonTop = y;
        r.ExpandButtonLeft = u.VMargin;
        rowH = in.ExpandButtonHeight;
    }
    if (in.HasVerification) {
        const int top = y + rowH + 4;
        r.Verification = {u.VMargin + 3, top, u.VMargin + 3 + verifyWidth - u.VSpacing, top + in.CheckBoxHeight};
    }
    // 10. custom push buttons, then common ones
    r.ButtonTop = y;
    if (!in.CommandLinks && !in.CustomButtonWidths.empty()) {
        r.FooterBandTop = y;
        for (int w : in.CustomButtonWidths) {
            r.CustomLefts.push_back(x);
            x += w + u.ButtonGap;
            rowH = std::max(rowH, u.ButtonHeight);
        }
    }
    if (!in.CommonButtonWidths.empty()) {
        r.FooterBandTop = y;
        for (int w : in.CommonButtonWidths) {
            r.CommonLefts.push_back(x);
            x += w + u.ButtonGap;
            rowH = std::max(rowH, u.ButtonHeight);
        }
    }
    // 11.
    if (in.HasVerification) {
        rowTop += in.CommonButtonWidths.empty() ? in.CheckBoxHeight : rowH;
        if (in.HasExpandedText) rowTop += u.VSpacing;
        y += std::max(in.CheckBoxHeight, rowH) + u.VSpacing;
    } else {
        rowTop += rowH;
        if (rowH > 0) y += rowH + u.VSpacing;
    }
    // 12. footer
    if (in.HasFooter) {
        const int fl = u.HMargin + (in.HasFooterImage ? 20 : 0);
        const int boxWidth = in.FormWidth - u.HMargin - fl;
        const TTdSize m = in.MeasureFooter ? in.MeasureFooter(boxWidth) : TTdSize{};
        r.FooterTextWidth = m.Width;
        r.FooterTextHeight = m.Height;
        int h = r.FooterTextHeight;
        if (in.HasFooterImage) {
            r.FooterImageTop = y;
            h = std::max(h, 20);
        }
        rowTop += h + u.VSpacing;
    }
    // 13.
    r.ClientHeight = rowTop + u.VMargin;
    const int noBand = r.ClientHeight + u.VSpacing;  // below the client area
    if (in.HasFooter) {
        r.Footer = {u.HMargin, r.ClientHeight - r.FooterTextHeight - 10, r.ClientWidth - u.HMargin, r.ClientHeight};
    }
    // 14.
    if (in.CommonButtonWidths.empty() && (in.CommandLinks || in.CustomButtonWidths.empty()))
        r.FooterBandTop = noBand;
    if (in.HasExpandedText && in.Expanded && in.ExpandedFooter) r.FooterBandTop = r.ExpandedTop;
    return r;
}

}  // namespace kel::taskdialog
