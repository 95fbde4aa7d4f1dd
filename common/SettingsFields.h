// The settings file's 20 lines in file order: the values each line holds,
// their kinds, where they live in TGeneralSettings and the range each needs.
// The reader, the writer and ClampGeneralSettings all walk this one table.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "common/GeneralSettings.h"

namespace common {

enum class TSettingsValueKind {
    Int,   // decimal digits
    Real,  // a 23-character scientific field
    Text,  // the whole line
};

// One value of a line.
class TSettingsValue {
public:
    using TIntRef = int& (*)(TGeneralSettings&);
    using TRealRef = double& (*)(TGeneralSettings&);
    using TTextRef = std::wstring& (*)(TGeneralSettings&);

    TSettingsValue(TIntRef ref, int (*clamp)(int) = nullptr) : kind_(TSettingsValueKind::Int), int_(ref), clampInt_(clamp) {}
    TSettingsValue(TRealRef ref, double (*clamp)(double) = nullptr)
        : kind_(TSettingsValueKind::Real), real_(ref), clampReal_(clamp) {}
    explicit TSettingsValue(TTextRef ref) : kind_(TSettingsValueKind::Text), text_(ref) {}

    TSettingsValueKind Kind() const { return kind_; }
    // The field; only the one of this value's kind may be asked for.
    int& Int(TGeneralSettings& s) const { return int_(s); }
    double& Real(TGeneralSettings& s) const { return real_(s); }
    std::wstring& Text(TGeneralSettings& s) const { return text_(s); }
    // Brings the field into its range, if it has one.
    void Clamp(TGeneralSettings& s) const;

private:
    TSettingsValueKind kind_;
    TIntRef int_ = nullptr;
    TRealRef real_ = nullptr;
    TTextRef text_ = nullptr;
    int (*clampInt_)(int) = nullptr;
    double (*clampReal_)(double) = nullptr;
};

struct TSettingsLine {
    const char* Name;
    std::vector<TSettingsValue> Fields;

    std::span<const TSettingsValue> Values() const { return Fields; }
};

inline constexpr int kSettingsLineCount = 20;

// The lines in file order (line 1 first).
std::span<const TSettingsLine> SettingsLines();

}  // namespace common
