// The typed edit's lookup list and persistence, apart from any window: the
// settings objects, which entries match what was typed, what choosing one
// puts into the edit, the history rule, and the entries saved to and loaded
// from an INI file or the registry.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/core/colors.h"
#include "framework/core/custom_ini_file.h"
#include "framework/core/string_list.h"
#include "widgets/editors/KelEditTypes.h"

namespace kel {

class TLookupSettings {
public:
    TLookupSettings();

    // Sorted, duplicates ignored.
    const fw::TStringList& DisplayList() const { return display_; }
    fw::TStringList& DisplayList() { return display_; }
    // Entry i is the value for the DisplayList entry at position i.
    const fw::TStringList& ValueList() const { return values_; }
    fw::TStringList& ValueList() { return values_; }
    // Copy the given list's content.
    void SetDisplayList(const fw::TStringList& list);
    void SetValueList(const fw::TStringList& list);

    int DisplayCount = 4;
    fw::TColor Color = fw::clWindow;
    bool Enabled = false;
    bool CaseSensitive = false;
    bool History = false;
    bool Multi = false;
    wchar_t Separator = L';';
    int NumChars() const { return num_chars_; }
    // Writes of 0 or less are ignored.
    void SetNumChars(int n) {
        if (n > 0) num_chars_ = n;
    }

    // Copies every field (the lists by content).
    void Assign(const TLookupSettings& other);

private:
    fw::TStringList display_;
    fw::TStringList values_;
    int num_chars_ = 2;
};

struct TPersistence {
    bool Enable = false;
    // The INI file name, or the registry key path.
    std::wstring Key;
    std::wstring Section;
    TPersistenceLocation Location = TPersistenceLocation::plInifile;
};

// The part of the value the lookup works on (with Multi, the part after the
// last Separator) and where it starts in the value.
struct TLookupPart {
    std::wstring Typed;
    int Start = 0;
};
TLookupPart LookupPart(const TLookupSettings& lookup, const std::wstring& value);

// The DisplayList entries that begin with `typed` (comparing upper-case
// forms through `upper` unless CaseSensitive), in list order, with their
// positions.
struct TLookupMatch {
    std::wstring Text;
    int Index = 0;
};
std::vector<TLookupMatch> LookupMatches(const TLookupSettings& lookup, const std::wstring& typed,
                                        const std::function<std::wstring(const std::wstring&)>& upper);

// The value for a chosen entry: its ValueList entry, else its own text.
std::wstring LookupValue(const TLookupSettings& lookup, int index, const std::wstring& itemText);
// The new value after choosing `chosen`: with Multi the value up to and
// including its last Separator, then `chosen` and the Separator; else
// `chosen`.
std::wstring ValueAfterLookup(const TLookupSettings& lookup, const std::wstring& value, const std::wstring& chosen);

// With Enabled and History: adds the trimmed value to DisplayList when it is
// not empty and not held yet. True when added.
bool AddToHistory(TLookupSettings& lookup, const std::wstring& value);

// The INI file of an empty Key: the program's path with ".INI".
std::wstring DefaultIniFileName(const std::wstring& programPath);

// Writes the window text under `name` and, with Enabled and History, the
// lookup lists ("LOOKUPCOUNT", "LOOKUPDISPL<n>", "LOOKUPVAL<n>").
void SaveEditEntries(fw::TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
                     const std::wstring& windowText, const TLookupSettings& lookup);
// Adds the stored lookup lists (with Enabled and History) and answers the
// stored window text, or nothing when none is stored.
std::optional<std::wstring> LoadEditEntries(const fw::TCustomIniFile& ini, const std::wstring& section,
                                            const std::wstring& name, TLookupSettings& lookup);

}  // namespace kel
