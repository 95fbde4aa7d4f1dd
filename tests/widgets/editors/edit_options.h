// Builds typed-edit settings for the tables of the filter tests.
#pragma once

#include "widgets/editors/KelEditCore.h"

namespace kel::test {

struct Opt {
    TKelEditOptions o;
    explicit Opt(TKelEditType type) { o.EditType = type; }
    Opt& Signed() { return Set(o.Signed, true); }
    Opt& Precision(int16_t p) { return Set(o.Precision, p); }
    Opt& Prefix(const wchar_t* s) { return Set(o.Prefix, std::wstring(s)); }
    Opt& Suffix(const wchar_t* s) { return Set(o.Suffix, std::wstring(s)); }
    Opt& Limit(int16_t n) { return Set(o.LengthLimit, n); }
    Opt& TabOnFull() { return Set(o.TabOnFullLength, true); }
    Opt& Valid(const wchar_t* s) { return Set(o.ValidChars, std::wstring(s)); }
    Opt& ReadOnly() { return Set(o.ReadOnly, true); }
    Opt& MaxLength(int n) { return Set(o.MaxLength, n); }
    Opt& ReturnIsTab() { return Set(o.ReturnIsTab, true); }
    Opt& Excel() { return Set(o.ExcelStyleDecimalSeparator, true); }
    Opt& Seps(TNumberSeparators s) { return Set(o.Separators, s); }
    Opt& NoGrouping() { return Set(o.AutoThousandSeparator, false); }
    Opt& AllowNull() { return Set(o.AllowNumericNullValue, true); }
    Opt& Shortest() { return Set(o.PrecisionDisplay, TPrecisionDisplay::pdShortest); }
    operator const TKelEditOptions&() const { return o; }

private:
    template <class V, class W>
    Opt& Set(V& field, W value) {
        field = value;
        return *this;
    }
};

}  // namespace kel::test
