// The typed edit's lookup list and persistence rules.
#include "widgets/editors/KelEditLookup.h"

namespace kel {

TLookupSettings::TLookupSettings() {
    display_.SetSorted(true);
    display_.SetDuplicates(fw::TDuplicates::dupIgnore);
}

void TLookupSettings::SetDisplayList(const fw::TStringList& list) {
    display_.Clear();
    for (const std::wstring& s : list.Items()) display_.Add(s);
}

void TLookupSettings::SetValueList(const fw::TStringList& list) {
    values_.Clear();
    for (const std::wstring& s : list.Items()) values_.Add(s);
}

void TLookupSettings::Assign(const TLookupSettings& other) {
    if (&other == this) return;
    SetDisplayList(other.display_);
    SetValueList(other.values_);
    DisplayCount = other.DisplayCount;
    Color = other.Color;
    Enabled = other.Enabled;
    num_chars_ = other.num_chars_;
    CaseSensitive = other.CaseSensitive;
    History = other.History;
    Multi = other.Multi;
    Separator = other.Separator;
}

TLookupPart LookupPart(const TLookupSettings& lookup, const std::wstring& value) {
    TLookupPart part{value, 0};
    if (!lookup.Multi) return part;
    const size_t last = value.rfind(lookup.Separator);
    if (last == std::wstring::npos) return part;
    part.Start = static_cast<int>(last) + 1;
    part.Typed = value.substr(last + 1);
    return part;
}

std::vector<TLookupMatch> LookupMatches(const TLookupSettings& lookup, const std::wstring& typed,
                                        const std::function<std::wstring(const std::wstring&)>& upper) {
    std::vector<TLookupMatch> matches;
    const std::wstring key = lookup.CaseSensitive ? typed : upper(typed);
    const fw::TStringList& list = lookup.DisplayList();
    for (int i = 0; i < list.Count(); ++i) {
        const std::wstring entry = lookup.CaseSensitive ? list[i] : upper(list[i]);
        if (entry.compare(0, key.size(), key) == 0) matches.push_back({list[i], i});
    }
    return matches;
}

std::wstring LookupValue(const TLookupSettings& lookup, int index, const std::wstring& itemText) {
    if (index >= 0 && index < lookup.ValueList().Count()) return lookup.ValueList()[index];
    return itemText;
}

std::wstring ValueAfterLookup(const TLookupSettings& lookup, const std::wstring& value, const std::wstring& chosen) {
    if (!lookup.Multi) return chosen;
    const size_t last = value.rfind(lookup.Separator);
    const std::wstring head = last == std::wstring::npos ? L"" : value.substr(0, last + 1);
    return head + chosen + lookup.Separator;
}

bool AddToHistory(TLookupSettings& lookup, const std::wstring& value) {
    if (!lookup.Enabled || !lookup.History) return false;
    size_t b = 0, e = value.size();
    while (b < e && value[b] <= L' ') ++b;
    while (e > b && value[e - 1] <= L' ') --e;
    const std::wstring trimmed = value.substr(b, e - b);
    if (trimmed.empty() || lookup.DisplayList().IndexOf(trimmed) >= 0) return false;
    lookup.DisplayList().Add(trimmed);
    return true;
}

std::wstring DefaultIniFileName(const std::wstring& programPath) {
    const size_t slash = programPath.find_last_of(L"\\/");
    const size_t dot = programPath.rfind(L'.');
    const bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return (hasExtension ? programPath.substr(0, dot) : programPath) + L".INI";
}

void SaveEditEntries(fw::TCustomIniFile& ini, const std::wstring& section, const std::wstring& name,
                     const std::wstring& windowText, const TLookupSettings& lookup) {
    ini.WriteString(section, name, windowText);
    if (!lookup.Enabled || !lookup.History) return;
    const fw::TStringList& display = lookup.DisplayList();
    ini.WriteInteger(section, L"LOOKUPCOUNT", display.Count());
    for (int n = 1; n <= display.Count(); ++n) {
        ini.WriteString(section, L"LOOKUPDISPL" + std::to_wstring(n), display[n - 1]);
        if (n - 1 < lookup.ValueList().Count()) {
            ini.WriteString(section, L"LOOKUPVAL" + std::to_wstring(n), lookup.ValueList()[n - 1]);
        }
    }
}

std::optional<std::wstring> LoadEditEntries(const fw::TCustomIniFile& ini, const std::wstring& section,
                                            const std::wstring& name, TLookupSettings& lookup) {
    if (lookup.Enabled && lookup.History) {
        const int count = ini.ReadInteger(section, L"LOOKUPCOUNT", 0);
        for (int n = 1; n <= count; ++n) {
            const std::wstring value = ini.ReadString(section, L"LOOKUPVAL" + std::to_wstring(n), L"");
            if (!value.empty()) lookup.ValueList().Add(value);
            const std::wstring display = ini.ReadString(section, L"LOOKUPDISPL" + std::to_wstring(n), L"");
            if (!display.empty()) lookup.DisplayList().Add(display);
        }
    }
    std::wstring text = ini.ReadString(section, name, L"@");
    if (text == L"@") return std::nullopt;
    return text;
}

}  // namespace kel
