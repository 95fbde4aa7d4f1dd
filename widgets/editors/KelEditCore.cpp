// The typed edit's rules.
#include "widgets/editors/KelEditCore.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "widgets/editors/KelEditLocale.h"

namespace kel {
namespace {

using T = TKelEditType;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool IsHexLetter(wchar_t c) { return (c >= L'A' && c <= L'F') || (c >= L'a' && c <= L'f'); }

// Holds a value for the span of a scope and puts the old one back after.
template <class V>
class ScopedValue {
public:
    ScopedValue(V& target, V value) : target_(target), saved_(target) { target_ = value; }
    ~ScopedValue() { target_ = saved_; }
    ScopedValue(const ScopedValue&) = delete;
    ScopedValue& operator=(const ScopedValue&) = delete;

private:
    V& target_;
    V saved_;
};

// The text after deleting the selection, or else the character in front of
// (`backward`) or behind the caret; positions count in `text`.
std::wstring AfterDeletion(const std::wstring& text, int start, int length, bool backward) {
    const int n = static_cast<int>(text.size());
    start = std::clamp(start, 0, n);
    length = std::clamp(length, 0, n - start);
    if (length == 0) {
        if (backward) {
            if (start == 0) return text;
            --start;
        } else if (start == n) {
            return text;
        }
        length = 1;
    }
    std::wstring s = text;
    s.erase(static_cast<size_t>(start), static_cast<size_t>(length));
    return s;
}

// Only the first line of a multi-line text: the edit holds a single line.
std::wstring FirstLine(const std::wstring& text) { return text.substr(0, text.find_first_of(L"\r\n")); }

}  // namespace

// --- value ----------------------------------------------------------------

std::wstring TKelEditCore::Text() const { return ValueOfWindowText(host_.WindowText(), Options.Prefix, Options.Suffix); }

int TKelEditCore::EndOfValue() const { return PrefixLength() + static_cast<int>(Text().size()); }

int TKelEditCore::SelStart() const {
    int start = 0, end = 0;
    host_.GetSelection(start, end);
    return start;
}

int TKelEditCore::SelLength() const {
    int start = 0, end = 0;
    host_.GetSelection(start, end);
    return end - start;
}

std::wstring TKelEditCore::SelectedValue() const {
    const std::wstring text = Text();
    const int from = std::clamp(SelStart() - PrefixLength(), 0, static_cast<int>(text.size()));
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(std::max(SelLength(), 0)));
}

std::wstring TKelEditCore::Upper(const std::wstring& s) const { return LocaleUpperText(s); }
std::wstring TKelEditCore::Lower(const std::wstring& s) const { return LocaleLowerText(s); }

bool TKelEditCore::IsSignedType() const {
    return Options.EditType == T::etNumeric || Options.EditType == T::etFloat || Options.EditType == T::etMoney;
}

bool TKelEditCore::SignAllowed() const { return Options.Signed && IsSignedType(); }

void TKelEditCore::SetText(std::wstring value) {
    const T type = Options.EditType;
    const TNumberSeparators& seps = Options.Separators;
    if (value.empty() && !Options.AllowNumericNullValue &&
        (type == T::etNumeric || type == T::etFloat || type == T::etMoney || type == T::etHex)) {
        value = L"0";
    }
    if (Options.PrecisionDisplay == TPrecisionDisplay::pdShortest && (type == T::etFloat || type == T::etMoney)) {
        value = FormatGeneral(TextToNumber(value, seps), seps);
    } else if (Options.Precision > 0 && !value.empty()) {
        if (type == T::etMoney) value = FormatGrouped(TextToNumber(value, seps), Options.Precision, seps);
        if (type == T::etFloat) value = FormatFixed(TextToNumber(value, seps), Options.Precision, seps);
    }
    if (type == T::etHex) value = Upper(value);
    host_.WriteWindowText(Options.Prefix + value + Options.Suffix);
    SetModifiedState(false);
    host_.TextWritten();
}

double TKelEditCore::ValueAsFloat() const {
    const std::wstring text = Text();
    const TNumberSeparators& seps = Options.Separators;
    switch (Options.EditType) {
        case T::etNumeric:
        case T::etFloat:
            return text.empty() || text == L"-" ? 0 : TextToNumber(text, seps);
        case T::etMoney: {
            const std::wstring s = MoneyNumberText(text, seps);
            return s.empty() || s == L"-" ? 0 : TextToNumber(s, seps);
        }
        case T::etHex:
            return text.empty() ? 0 : HexToInt(text);
        case T::etString: {
            double v = 0;
            return ReadDecimalNumber(text, v) ? v : 0;
        }
        default:
            return 0;
    }
}

void TKelEditCore::SetValueAsFloat(double value) {
    const TNumberSeparators& seps = Options.Separators;
    const int precision = Options.Precision;
    switch (Options.EditType) {
        case T::etString:
        case T::etFloat:
            SetText(precision < 0 ? FormatGeneral(value, seps) : FormatFixed(value, precision, seps));
            break;
        case T::etNumeric:
            SetText(precision < 0 ? FormatGeneral(value, seps) : FormatGrouped(value, precision, seps));
            break;
        case T::etMoney:
            SetText(precision < 0 ? FormatGeneral(value, seps) : FormatFixed(value, precision, seps));
            ReformatThousands();
            break;
        case T::etHex: {
            // Values beyond the 64-bit range saturate instead of overflowing.
            constexpr double kLimit = 9223372036854775807.0;
            const double t = std::isnan(value) ? 0 : std::trunc(std::clamp(value, -kLimit, kLimit));
            const int64_t n = t >= kLimit ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(t);
            SetText(HexText(static_cast<uint64_t>(n)));
            break;
        }
        default:
            break;
    }
    SetModifiedState(true);
}

void TKelEditCore::SetValueAsInteger(int32_t value) {
    switch (Options.EditType) {
        case T::etNumeric:
        case T::etFloat:
            SetText(std::to_wstring(value));
            break;
        case T::etMoney:
            SetText(std::to_wstring(value));
            ReformatThousands();
            break;
        case T::etHex:
            SetText(HexText(static_cast<uint32_t>(value)));
            break;
        default:
            break;
    }
    SetModifiedState(true);
}

void TKelEditCore::SetModifiedState(bool modified) {
    if (Loading || Options.ReadOnly) return;
    host_.ShowModifiedState(modified);
    host_.SetModified(modified);
    modified_state_ = modified;
}

void TKelEditCore::ReformatThousands() {
    const std::wstring old = Text();
    const int caret = host_.WindowExists() ? SelStart() : 0;
    if (old.empty()) return;
    const TNumberSeparators& seps = Options.Separators;
    std::wstring v = old;
    std::wstring sign;
    if (v[0] == L'-') {
        sign = L"-";
        v.erase(0, 1);
    }
    std::wstring decimals;
    if (size_t at = v.find(seps.Decimal); at != std::wstring::npos) decimals = v.substr(at, 255);
    const double whole = std::trunc(std::fabs(ValueAsFloat()));
    std::wstring integer =
        Options.AutoThousandSeparator ? FormatGrouped(whole, 0, seps) : FormatFixed(whole, 0, seps);
    integer = integer.substr(0, integer.find(seps.Decimal));
    {
        ScopedValue<int16_t> precision(Options.Precision, 0);
        const std::wstring window = Options.Prefix + sign + integer + decimals + Options.Suffix;
        skip_next_change_ = window != old;
        if (window != host_.WindowText()) host_.WriteWindowText(window);
        skip_next_change_ = false;
    }
    if (host_.WindowExists()) {
        // The caret keeps its distance from the end, inside the value.
        const int at = std::clamp(caret + static_cast<int>(Text().size()) - static_cast<int>(old.size()),
                                  PrefixLength(), EndOfValue());
        host_.SetSelection(at, at);
    }
}

void TKelEditCore::SelectValue() {
    const TTextRange r = ValueSelection(Options.Prefix, Text(), Options.ShowURL);
    host_.SetSelection(r.Start, r.Start + r.Length);
}

bool TKelEditCore::WindowChanged() {
    if (!skip_next_change_) return true;
    skip_next_change_ = false;
    return false;
}

void TKelEditCore::SetValueDirect(const std::wstring& value, int caret) {
    const std::wstring window = Options.Prefix + value + Options.Suffix;
    // Setting the same text again would only report a change that is none.
    if (window != host_.WindowText()) host_.WriteWindowText(window);
    host_.SetSelection(caret, caret);
}

// --- typed characters -------------------------------------------------------

void TKelEditCore::SignToggle(bool wholeCase, bool modifiedBothWays) {
    const std::wstring text = Text();
    const int selLength = SelLength();
    if (wholeCase && selLength == static_cast<int>(text.size())) {
        SetValueDirect(L"-", PrefixLength() + 1);
        return;
    }
    const int pos = SelStart();
    if (const size_t minus = text.find(L'-'); minus != std::wstring::npos) {
        // The sign goes, wherever a program put it.
        std::wstring v = text;
        v.erase(minus, 1);
        SetValueDirect(v, std::max(pos - 1, PrefixLength()));
        if (modifiedBothWays) SetModifiedState(true);
    } else {
        SetValueDirect(L"-" + text, pos + 1);
        SetModifiedState(true);
    }
}

void TKelEditCore::MoveCaretBehindDecimal() {
    const size_t at = Text().find(Options.Separators.Decimal);
    // Without a decimal separator the caret stays: moving it in front of
    // the value would put the separator before the digits typed so far.
    if (at == std::wstring::npos) return;
    const int caret = PrefixLength() + static_cast<int>(at) + 1;
    host_.SetSelection(caret, caret);
}

bool TKelEditCore::NumberRules(wchar_t ch, bool& regroupAfter) {
    const TNumberSeparators& seps = Options.Separators;
    const bool money = Options.EditType == T::etMoney;
    const int precision = Options.Precision;
    if (!money && (ch == L',' || ch == L'.') && ch != seps.Decimal && ch != seps.Thousand) return false;
    if (ch == seps.Decimal) {
        if (precision > 0) {
            const std::wstring text = Text();
            if (money && !text.empty() && SelLength() == static_cast<int>(text.size())) SetText(L"0,0");
            MoveCaretBehindDecimal();
        }
        const std::wstring text = Text();
        const bool textHasDecimal = text.find(seps.Decimal) != std::wstring::npos;
        if (money) {
            if (textHasDecimal || precision == 0) return false;
        } else if (SelectedValue().find(seps.Decimal) == std::wstring::npos && (textHasDecimal || precision == 0)) {
            return false;
        }
    }
    if (!money && ch == L',' && ch != seps.Thousand) {
        const std::wstring text = Text();
        if (text.find(L',') != std::wstring::npos && SelectedValue().find(L',') == std::wstring::npos) return false;
    }
    const int caret = SelStart() - PrefixLength();
    if ((ch == seps.Thousand || ch == seps.Decimal) && ThousandSeparatorMisplaced(Text(), caret, seps.Thousand)) {
        return false;
    }
    if ((IsDigit(ch) || ch == seps.Decimal) && SelLength() == 0 &&
        DecimalsExceeded(Text(), caret, precision, seps.Decimal)) {
        const std::wstring text = Text();
        if (precision > 0 && IsDigit(ch) && caret < static_cast<int>(text.size())) {
            // The digit overwrites the next one.
            host_.SetSelection(SelStart(), SelStart() + 1);
        } else {
            return false;
        }
    }
    if (Text().empty() && caret == 0 && ch == seps.Decimal) {
        SetValueDirect(std::wstring(L"0") + seps.Decimal, PrefixLength() + 2);
        SetModifiedState(true);
        return false;
    }
    if (ch == L'-' && SelLength() == 0) {
        ScopedValue<int16_t> hold(Options.Precision, 0);
        SignToggle(false, true);
        return false;
    }
    regroupAfter = money && ch != seps.Decimal;
    return true;
}

void TKelEditCore::AfterTypedCharacter() {
    const std::wstring text = Text();
    const TNumberSeparators& seps = Options.Separators;
    if (Options.TabOnFullLength && Options.LengthLimit > 0 &&
        IntegerLength(text, seps, SignAllowed()) >= Options.LengthLimit && SelLength() == 0 &&
        SelStart() - PrefixLength() == Options.LengthLimit) {
        host_.PostTabKey();
    }
    if (host_.Modified()) SetModifiedState(true);
    host_.UpdateLookupList();
}

bool TKelEditCore::KeyChar(wchar_t ch, const TCharInfo& info, intptr_t& result) {
    result = 0;
    const TNumberSeparators& seps = Options.Separators;
    const T type = Options.EditType;
    const std::wstring text = Text();
    const int prefixLength = PrefixLength();
    const int selStart = SelStart();
    const int selLength = SelLength();
    // Typing over the whole value reports no change for that keystroke. The
    // flag lives for this keystroke only: one that changes nothing must not
    // hide the change of a later one.
    const bool overWhole = selLength == static_cast<int>(text.size()) && !text.empty();
    if (overWhole) skip_next_change_ = true;
    struct DropSkip {
        TKelEditCore& core;
        bool active;
        ~DropSkip() {
            if (active) core.skip_next_change_ = false;
        }
    } dropSkip{*this, overWhole};

    if (ch == L'\r' && info.Ctrl) {
        result = 1;
        return false;
    }
    if (ch == L'\r') {
        wchar_t key = L'\r';
        host_.RaiseKeyPress(key);
        return false;
    }
    if (ch == 27 && !Options.CanUndo) {
        StandardChar(ch);
        return true;
    }
    if (info.Ctrl && (ch == 3 || ch == 22 || ch == 24)) {
        StandardChar(ch);
        return true;
    }
    // A read-only edit takes no typed change, also none of the rewrites below.
    if (Options.ReadOnly) {
        StandardChar(ch);
        return true;
    }
    if (Options.ExcelStyleDecimalSeparator && (ch == L'.' || ch == L',') && info.NumPad) ch = seps.Decimal;
    if (ch == L'\b' && !Options.Prefix.empty() && selLength == 0 && selStart <= prefixLength) return false;
    if (Options.LengthLimit > 0 && IntegerLength(text, seps, SignAllowed()) >= Options.LengthLimit && selLength == 0) {
        const size_t decimal = text.find(seps.Decimal);
        const bool inFront = decimal == std::wstring::npos || selStart - prefixLength <= static_cast<int>(decimal);
        if (inFront && ch != L'\b' && ch != seps.Decimal && !(ch == L'-' && SignAllowed())) return false;
    }
    if (ch == L'\b') {
        const std::wstring after = AfterDeletion(text, selStart - prefixLength, selLength, true);
        if (after != text) SetModifiedState(true);
        StandardChar(ch);
        if (type == T::etMoney) ReformatThousands();
        if (Text().empty() && (!after.empty() || modified_state_)) host_.Change();
        host_.UpdateLookupList();
        return true;
    }
    if (info.Ctrl && ch == L'\n') return false;
    if (ch == L'-' && IsSignedType() && !Options.Signed) return false;

    bool regroup = false;
    switch (type) {
        case T::etString:
        case T::etPassword:
            SetModifiedState(true);
            StandardChar(ch);
            break;
        case T::etUppercase:
            StandardChar(LocaleUpper(ch));
            break;
        case T::etLowerCase:
            StandardChar(LocaleLower(ch));
            break;
        case T::etMixedCase: {
            StandardChar(ch);
            // Prefix and Suffix stay in place around the rewritten value.
            SetValueDirect(ToMixedCase(Text(), LocaleUpper, LocaleLower), selStart + 1);
            break;
        }
        case T::etAlphaNumeric:
            if (ch != L'\t' && !IsDigit(ch) && !IsAsciiLetter(ch)) return false;
            SetModifiedState(true);
            StandardChar(ch);
            break;
        case T::etValidChars:
            if (Options.ValidChars.find(ch) == std::wstring::npos) return false;
            SetModifiedState(true);
            StandardChar(ch);
            break;
        case T::etHex:
            if (ch != L'\t' && ch != L'-' && !IsDigit(ch) && !IsHexLetter(ch)) return false;
            SetModifiedState(true);
            StandardChar(ch);
            break;
        case T::etNumeric:
            if (ch == L'-') {
                SignToggle(true, false);
                return false;
            }
            if (ch != L'\t' && !IsDigit(ch) && !info.Ctrl) return false;
            StandardChar(ch);
            break;
        case T::etRange: {
            if (ch != L'\t' && !IsDigit(ch) && !IsRangeSeparator(ch)) return false;
            SetModifiedState(true);
            if (IsRangeSeparator(ch)) {
                const std::wstring window = host_.WindowText();
                const size_t at = static_cast<size_t>(std::max(selStart, 0));
                if (selStart <= prefixLength || (at >= 1 && at <= window.size() && IsRangeSeparator(window[at - 1])) ||
                    (at < window.size() && IsRangeSeparator(window[at]))) {
                    return false;
                }
            }
            StandardChar(ch);
            break;
        }
        case T::etFloat:
        case T::etMoney: {
            const bool accepted = ch == L'\t' || ch == L'-' || IsDigit(ch) || ch == seps.Decimal ||
                                  (type == T::etFloat && (ch == L',' || ch == L'.'));
            if (!accepted || !NumberRules(ch, regroup)) return false;
            StandardChar(ch);
            if (regroup) {
                const std::wstring now = Text();
                if (!now.empty() && now != L"-") {
                    if (host_.Modified()) SetModifiedState(true);
                    ReformatThousands();
                }
            }
            break;
        }
    }
    AfterTypedCharacter();
    return true;
}

// --- key-downs, releases, special keys -------------------------------------

intptr_t TKelEditCore::KeyDown(uint16_t& key, TKeyModifiers mods) {
    const bool lookup = host_.LookupShown();
    auto drop = [&key] {
        key = 0;
        return intptr_t{0};
    };
    if (key == vk::Return && lookup) {
        host_.SelectLookupItem();
        return drop();
    }
    if ((key == vk::Tab || key == vk::Return) && mods.Ctrl) {
        host_.StandardKeyDown(key, mods);
        return 0;
    }
    if (lookup && (key == vk::Home || key == vk::End || key == vk::Next || key == vk::Prior)) {
        host_.MoveLookupSelection(key);
        key = 0;
        return 1;
    }
    if (key == vk::Return && Options.ReturnIsTab) {
        key = vk::Tab;
        host_.PostTabKey();
    }
    const int prefixLength = PrefixLength();
    const int endOfValue = EndOfValue();
    int start = 0, end = 0;
    host_.GetSelection(start, end);
    const bool suffix = !Options.Suffix.empty();
    const bool prefix = !Options.Prefix.empty();
    if (key == vk::Right && suffix && end >= endOfValue) return drop();
    if (key == vk::Delete && suffix) {
        if (end >= endOfValue && start == end) return drop();
        SetModifiedState(true);
    }
    if (key == vk::Left && prefix && end <= prefixLength) return drop();
    if (key == vk::End && suffix) {
        host_.SetSelection(mods.Shift ? start : endOfValue, endOfValue);
        return drop();
    }
    if (key == vk::Home && prefix) {
        if (mods.Shift) {
            host_.SetSelection(endOfValue, prefixLength);
        } else {
            host_.SetSelection(prefixLength, prefixLength);
        }
        return drop();
    }
    if (key == vk::Back && prefix) {
        if (start <= prefixLength + 1) return drop();
        SetModifiedState(true);
    }
    if (key == vk::Delete && start >= prefixLength) {
        const std::wstring after = AfterDeletion(Text(), start - prefixLength, end - start, false);
        if (Options.LengthLimit > 0 && IntegerLength(after, Options.Separators, SignAllowed()) > Options.LengthLimit) {
            return drop();
        }
        SetModifiedState(true);
    }
    if ((key == vk::Up || key == vk::Down) && lookup) {
        host_.MoveLookupSelection(key);
        key = 0;
    }
    const uint16_t pressed = key;
    host_.StandardKeyDown(key, mods);
    if (pressed == vk::Delete && Options.EditType == T::etMoney && !Options.ReadOnly) ReformatThousands();
    if (prefix) {
        host_.GetSelection(start, end);
        if (start < prefixLength) host_.SetSelection(prefixLength, std::max(end, prefixLength));
    }
    return 0;
}

void TKelEditCore::SysKeyDown(uint16_t key) {
    if (key == vk::Menu) host_.SelectLookupItem();
}

void TKelEditCore::MouseReleased() {
    int start = 0, end = 0;
    host_.GetSelection(start, end);
    if (!Options.Prefix.empty() && start < PrefixLength()) {
        SelectValue();
        return;
    }
    if (Options.Suffix.empty()) return;
    const int endOfValue = EndOfValue();
    if (start > endOfValue) {
        host_.SetSelection(endOfValue, endOfValue);
    } else if (end > endOfValue) {
        host_.SetSelection(start, endOfValue);
    }
}

// --- clipboard ----------------------------------------------------------------

void TKelEditCore::Copy() {
    if (!in_cut_ && !host_.AllowClipboard(TClipboardAction::Copy, SelectedValue())) return;
    host_.StandardCopy();
}

void TKelEditCore::Cut() {
    ScopedValue<bool> cutting(in_cut_, true);
    if (!host_.AllowClipboard(TClipboardAction::Cut, SelectedValue())) return;
    host_.StandardCut();
}

bool TKelEditCore::AcceptPaste(const TMergedPaste& merged, const std::wstring& clip) {
    const TNumberSeparators& seps = Options.Separators;
    const std::wstring& v = merged.Value;
    const int cls = ClassifyNumberText(v, seps);
    const bool minus = v.find(L'-') != std::wstring::npos;
    // A pasted number is taken only when the whole value still is one that
    // typing could have made: no digits cut off, no sign inside, no length
    // beyond the limit. Otherwise the paste is refused as a whole.
    auto withinLimit = [&] {
        return Options.LengthLimit <= 0 || IntegerLength(v, seps, SignAllowed()) <= Options.LengthLimit;
    };
    auto allOf = [&v](auto pred) { return std::all_of(v.begin(), v.end(), pred); };
    switch (Options.EditType) {
        case T::etString:
        case T::etPassword:
            SetText(v);
            return true;
        case T::etNumeric:
            if (cls != kNumberInteger || (!Options.Signed && minus) ||
                !IsWellFormedNumber(v, seps, Options.Signed, 0) || !withinLimit()) {
                return false;
            }
            SetText(v);
            SetModifiedState(true);
            return true;
        case T::etFloat:
        case T::etMoney: {
            if (cls > kNumberSeparated) return false;
            if (Options.Precision == 0 && clip.find(seps.Decimal) != std::wstring::npos) return false;
            if (!Options.Signed && minus) return false;
            const int decimals = Options.Precision > 0 ? Options.Precision : -1;
            if (!IsWellFormedNumber(v, seps, Options.Signed, decimals) || !withinLimit()) return false;
            SetText(v);
            SetValueAsFloat(ValueAsFloat());
            SetModifiedState(true);
            return true;
        }
        case T::etUppercase:
            SetText(Upper(v));
            return true;
        case T::etLowerCase:
            SetText(Lower(v));
            return true;
        case T::etMixedCase:
            SetText(ToMixedCase(v, LocaleUpper, LocaleLower));
            return true;
        case T::etHex:
            if (cls != kNumberInteger && cls != kNumberHex) return false;
            SetText(v);
            return true;
        case T::etAlphaNumeric:
            if (!allOf([](wchar_t c) { return IsDigit(c) || IsAsciiLetter(c); })) return false;
            SetText(v);
            SetModifiedState(true);
            return true;
        case T::etValidChars:
            if (!allOf([this](wchar_t c) { return Options.ValidChars.find(c) != std::wstring::npos; })) return false;
            SetText(v);
            SetModifiedState(true);
            return true;
        case T::etRange:
            return false;
    }
    return false;
}

bool TKelEditCore::TakeInsertion(const TMergedPaste& merged, const std::wstring& clip) {
    if (!AcceptPaste(merged, clip)) return false;
    const T type = Options.EditType;
    if (type == T::etMoney && Text().size() > 3) {
        SelectValue();
    } else {
        const int start = PrefixLength() + merged.SelStart;
        host_.SetSelection(start, start + merged.SelLength);
    }
    if (type == T::etString || type == T::etUppercase || type == T::etMixedCase || type == T::etLowerCase ||
        type == T::etPassword) {
        SetModifiedState(true);
    }
    return true;
}

void TKelEditCore::Paste() {
    if (Options.ReadOnly) return;
    std::wstring clip;
    if (host_.ClipboardText(clip)) {
        clip = FirstLine(clip);
        const std::wstring text = Text();
        const int selLength = SelLength();
        const TMergedPaste merged = MergePaste(text, SelStart() - PrefixLength(), selLength, clip);
        if (!host_.AllowClipboard(TClipboardAction::Paste, merged.Value)) return;
        if (Options.MaxLength > 0 &&
            static_cast<int>(clip.size() + text.size()) - selLength > Options.MaxLength) {
            return;
        }
        TakeInsertion(merged, clip);
    }
    host_.UpdateLookupList();
    if (Options.TabOnFullLength && Options.LengthLimit > 0 &&
        static_cast<int>(Text().size()) == Options.LengthLimit) {
        host_.FocusNextControl();
    }
}

bool TKelEditCore::DropText(const std::wstring& value, int at, const std::wstring& text) {
    if (Options.ReadOnly) return false;
    const std::wstring clip = FirstLine(text);
    if (Options.MaxLength > 0 && static_cast<int>(clip.size() + value.size()) > Options.MaxLength) return false;
    return TakeInsertion(MergePaste(value, at, 0, clip), clip);
}

}  // namespace kel
