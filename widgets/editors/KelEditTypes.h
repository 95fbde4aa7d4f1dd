// The typed edit's enumerations and the number separators its rules work
// with. Values are stored by their order.
#pragma once

namespace kel {

enum class TKelEditType {
    etString, etNumeric, etFloat, etUppercase, etMixedCase, etLowerCase,
    etPassword, etMoney, etRange, etHex, etAlphaNumeric, etValidChars
};

enum class TEditAlign { eaLeft, eaRight, eaDefault, eaCenter };

enum class TPrecisionDisplay { pdNormal, pdShortest };

// Where the attached label stands (lpRighBottom keeps its historic name).
enum class TLabelPosition {
    lpLeftTop, lpLeftCenter, lpLeftBottom, lpTopLeft, lpBottomLeft,
    lpLeftTopLeft, lpLeftCenterLeft, lpLeftBottomLeft, lpTopCenter, lpBottomCenter,
    lpRightTop, lpRightCenter, lpRighBottom, lpTopRight, lpBottomRight
};

enum class TPersistenceLocation { plInifile, plRegistry };

// The user's decimal and thousand separators (the locale's).
struct TNumberSeparators {
    wchar_t Decimal = L'.';
    wchar_t Thousand = L',';
};

}  // namespace kel
