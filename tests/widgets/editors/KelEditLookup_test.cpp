// The lookup list's matching and choosing, the history rule and the
// persistence entries, on an in-memory store.
#include <gtest/gtest.h>

#include <map>

#include "widgets/editors/KelEditLocale.h"
#include "widgets/editors/KelEditLookup.h"

namespace kel {
namespace {

class MemoryIni : public fw::TCustomIniFile {
public:
    std::map<std::wstring, std::wstring> entries;
    std::wstring ReadString(const std::wstring& section, const std::wstring& ident,
                            const std::wstring& def) const override {
        auto it = entries.find(section + L"/" + ident);
        return it == entries.end() ? def : it->second;
    }
    void WriteString(const std::wstring& section, const std::wstring& ident, const std::wstring& value) override {
        entries[section + L"/" + ident] = value;
    }
};

TLookupSettings Alphas() {
    TLookupSettings lookup;
    lookup.Enabled = true;
    for (const wchar_t* s : {L"Beta", L"Alpine", L"Alpha"}) lookup.DisplayList().Add(s);
    return lookup;
}

std::vector<std::wstring> Texts(const std::vector<TLookupMatch>& matches) {
    std::vector<std::wstring> out;
    for (const TLookupMatch& m : matches) out.push_back(m.Text + L"@" + std::to_wstring(m.Index));
    return out;
}

TEST(KelEditLookup, MatchesBeginWithTheTypedPart) {
    TLookupSettings lookup = Alphas();
    // The display list is sorted: Alpha, Alpine, Beta.
    EXPECT_EQ(Texts(LookupMatches(lookup, L"al", LocaleUpperText)), (std::vector<std::wstring>{L"Alpha@0", L"Alpine@1"}));
    lookup.CaseSensitive = true;
    EXPECT_TRUE(LookupMatches(lookup, L"al", LocaleUpperText).empty());
    EXPECT_EQ(Texts(LookupMatches(lookup, L"Be", LocaleUpperText)), (std::vector<std::wstring>{L"Beta@2"}));
    const TLookupPart whole = LookupPart(lookup, L"one;al");
    EXPECT_EQ(whole.Typed, L"one;al");
    lookup.Multi = true;
    const TLookupPart last = LookupPart(lookup, L"one;two;al");
    EXPECT_EQ(last.Typed, L"al");
    EXPECT_EQ(last.Start, 8);
}

TEST(KelEditLookup, ChoosingAnEntry) {
    TLookupSettings lookup = Alphas();
    lookup.ValueList().Add(L"A");
    EXPECT_EQ(LookupValue(lookup, 0, L"Alpha"), L"A");
    EXPECT_EQ(LookupValue(lookup, 1, L"Alpine"), L"Alpine");  // no paired value
    EXPECT_EQ(ValueAfterLookup(lookup, L"al", L"Alpha"), L"Alpha");
    lookup.Multi = true;
    EXPECT_EQ(ValueAfterLookup(lookup, L"one;al", L"Alpha"), L"one;Alpha;");
    EXPECT_EQ(ValueAfterLookup(lookup, L"al", L"Alpha"), L"Alpha;");
}

TEST(KelEditLookup, HistoryAddsOnce) {
    TLookupSettings lookup = Alphas();
    lookup.History = true;
    EXPECT_TRUE(AddToHistory(lookup, L"  Gamma "));
    EXPECT_FALSE(AddToHistory(lookup, L"Gamma"));
    EXPECT_FALSE(AddToHistory(lookup, L"gamma"));
    EXPECT_FALSE(AddToHistory(lookup, L"   "));
    EXPECT_EQ(lookup.DisplayList().Count(), 4);
    lookup.History = false;
    EXPECT_FALSE(AddToHistory(lookup, L"Delta"));
}

TEST(KelEditLookup, SettingsCopyAndGuardNumChars) {
    TLookupSettings a = Alphas();
    a.ValueList().Add(L"v");
    a.SetNumChars(3);
    a.SetNumChars(0);
    EXPECT_EQ(a.NumChars(), 3);
    a.Multi = true;
    a.Separator = L',';
    TLookupSettings b;
    b.Assign(a);
    EXPECT_EQ(b.DisplayList().Items(), a.DisplayList().Items());
    EXPECT_EQ(b.ValueList().Items(), a.ValueList().Items());
    EXPECT_TRUE(b.Enabled);
    EXPECT_TRUE(b.Multi);
    EXPECT_EQ(b.Separator, L',');
    EXPECT_EQ(b.NumChars(), 3);
    b.DisplayList().Add(L"Zeta");
    EXPECT_EQ(a.DisplayList().Count(), 3);  // copied, not shared
}

TEST(KelEditLookup, PersistenceRoundTrip) {
    TLookupSettings saved = Alphas();
    saved.History = true;
    for (const wchar_t* v : {L"1", L"2", L"3"}) saved.ValueList().Add(v);
    MemoryIni ini;
    SaveEditEntries(ini, L"KelEdit1", L"KelEdit1", L"$12", saved);
    EXPECT_EQ(ini.entries[L"KelEdit1/LOOKUPCOUNT"], L"3");
    EXPECT_EQ(ini.entries[L"KelEdit1/LOOKUPDISPL1"], L"Alpha");
    EXPECT_EQ(ini.entries[L"KelEdit1/LOOKUPVAL3"], L"3");
    TLookupSettings loaded;
    loaded.Enabled = true;
    loaded.History = true;
    EXPECT_EQ(LoadEditEntries(ini, L"KelEdit1", L"KelEdit1", loaded), std::optional<std::wstring>(L"$12"));
    EXPECT_EQ(loaded.DisplayList().Items(), saved.DisplayList().Items());
    EXPECT_EQ(loaded.ValueList().Items(), saved.ValueList().Items());
    // Without history only the text is stored and read.
    MemoryIni textOnly;
    SaveEditEntries(textOnly, L"S", L"E", L"x", TLookupSettings{});
    EXPECT_EQ(textOnly.entries.size(), 1u);
    // A missing or "@" text entry leaves the text alone.
    EXPECT_EQ(LoadEditEntries(MemoryIni{}, L"S", L"E", loaded), std::nullopt);
    textOnly.entries[L"S/E"] = L"@";
    EXPECT_EQ(LoadEditEntries(textOnly, L"S", L"E", loaded), std::nullopt);
}

TEST(KelEditLookup, DefaultIniFileName) {
    EXPECT_EQ(DefaultIniFileName(L"C:\\Apps\\Quorvex.exe"), L"C:\\Apps\\Quorvex.INI");
    EXPECT_EQ(DefaultIniFileName(L"C:\\my.dir\\prog"), L"C:\\my.dir\\prog.INI");
}

}  // namespace
}  // namespace kel
