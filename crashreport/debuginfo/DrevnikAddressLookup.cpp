#include "crashreport/debuginfo/DrevnikAddressLookup.h"

#include <string>
#include <vector>

#include "crashreport/capture/DrevnikUtils.h"

namespace drevnik {

namespace {

void UnderscoreAt(std::string& routine) {
    if (!routine.empty() && routine[0] == '@') routine[0] = '_';
}

std::vector<std::string> SplitAll(std::string_view name, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = name.find(sep, start);
        parts.emplace_back(name.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start));
        if (at == std::string_view::npos) return parts;
        start = at + 1;
    }
}

std::string FileNamePart(std::string_view path) {
    const std::size_t at = path.find_last_of("\\/");
    return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

bool SplitQualifiedName(std::string_view name, TCallStackEntry& entry) {
    const std::vector<std::string> parts = SplitAll(name, '.');
    if (parts.size() != 2 && parts.size() != 3) return false;
    AssignShortText(entry.UnitFile, parts[0] + ".pas");
    AssignShortText(entry.ClassPart, parts.size() == 3 ? parts[1] : std::string());
    AssignShortText(entry.RoutineName, parts.back());
    entry.EntryKind = ekUnitRoutine;
    return true;
}

bool DemangleSymbol(std::string_view name, TCallStackEntry& entry) {
    bool result = false;
    if (name.empty()) return false;
    if (name[0] == '@' && name.size() > 1 && name[1] != '$') {
        const std::size_t dollar = name.find('$');
        if (dollar == std::string_view::npos) return false;
        std::string s(name.substr(0, dollar));
        if (!s.empty() && s.back() == '@') s.pop_back();
        s.erase(0, 1);
        if (const std::size_t twin = s.find("@@"); twin != std::string::npos) s[twin + 1] = '_';
        for (std::size_t i = 0; i < s.size(); ++i)
            if (s[i] == '@') {
                s[i] = '.';
                ++i;  // the character after a replaced "@" is not examined
            }
        result = SplitQualifiedName(s, entry);
    } else if (name.find('.') != std::string_view::npos) {
        std::string_view s = name;
        if (const std::size_t at = s.find('@'); at != std::string_view::npos) s = s.substr(0, at);
        result = SplitQualifiedName(s, entry);
    } else if (name[0] != '?') {
        entry.UnitFile.clear();
        entry.ClassPart.clear();
        AssignShortText(entry.RoutineName, name);
        entry.EntryKind = ekRoutine;
        result = true;
    }
    UnderscoreAt(entry.RoutineName);
    return result;
}

bool FindExportIndex(uintptr_t address, int& index, TDrevnikFunctionsList& exports,
                     const std::function<uint32_t(uintptr_t)>& measure) {
    int low = 0;
    int high = exports.Count() - 1;
    bool found = false;
    while (low <= high) {
        const int mid = (low + high) / 2;
        TDrevnikFunctionInfo& f = exports[mid];
        if (f.MeasuredSize == 0) f.MeasuredSize = measure ? std::max<uint32_t>(measure(f.EntryAddress), 1) : 1;
        const bool holds = f.EntryAddress <= address && address - f.EntryAddress < f.MeasuredSize;
        if (holds) found = true;
        if (!holds && f.EntryAddress < address) low = mid + 1;
        else high = mid - 1;
    }
    index = low;
    return found;
}

bool FillEntryFromLocation(const TDVLocationInfo& loc, TCallStackEntry& entry, bool hasModule) {
    if (loc.LocRoutine.empty()) return false;
    entry.CodeAddress = loc.LocAddress;
    AssignShortText(entry.UnitFile, FileNamePart(!loc.LocSourceFile.empty() ? loc.LocSourceFile : loc.LocUnit));
    const std::string& r = loc.LocRoutine;
    std::string first, second, third;
    int parts = 1;
    if (const std::size_t a = r.find('.'); a == std::string::npos) {
        first = r;
    } else {
        first = r.substr(0, a);
        const std::string rest = r.substr(a + 1);
        if (const std::size_t b = rest.find('.'); b == std::string::npos) {
            second = rest;
            parts = 2;
        } else {
            second = rest.substr(0, b);
            third = rest.substr(b + 1);
            parts = 3;
        }
    }
    std::string cls, routine;
    if (parts == 3) {
        cls = second;
        routine = third;
    } else if (parts == 2) {
        routine = second;
        const std::string unit = entry.UnitFile.substr(0, entry.UnitFile.rfind('.'));
        if (!SameTextIgnoringCase(first, unit)) cls = first;
    } else {
        routine = first;
    }
    UnderscoreAt(routine);
    AssignShortText(entry.ClassPart, cls);
    AssignShortText(entry.RoutineName, routine);
    entry.SourceLine = loc.LocLine;
    entry.LineInRoutine = loc.LocLineOffset > 0 ? static_cast<uint32_t>(loc.LocLineOffset) : 0;
    if (entry.SourceLine != 0) entry.EntryKind = ekUnitRoutineLine;
    else if (!entry.UnitFile.empty()) entry.EntryKind = ekUnitRoutine;
    else if (!entry.RoutineName.empty()) entry.EntryKind = ekRoutine;
    else entry.EntryKind = hasModule ? ekModule : ekNothing;
    return true;
}

}  // namespace drevnik
