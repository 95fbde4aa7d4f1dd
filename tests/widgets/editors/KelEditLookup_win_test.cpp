// TKelEdit's attached label, lookup drop-down and persistence under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/gui/ini_file.h"
#include "framework/gui/registry.h"
#include "tests/widgets/editors/edit_form.h"

namespace kel {
namespace {

using test::EditForm;
using T = TKelEditType;

void Type(TKelEdit* edit, const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) SendMessageW(edit->Handle(), WM_CHAR, *c, 1);
}

TEST(KelEditLabel, PlacedAroundTheEditAndFollowingIt) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 100, 60, 80, 21);
    edit->SetLabelMargin(2);
    edit->SetLabelCaption(L"Port");
    fw::TLabel* label = edit->EditLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Parent(), f.form);
    // lpLeftTop: the caption ends LabelMargin pixels left of the edit.
    EXPECT_EQ(label->Left() + label->Width(), 98);
    EXPECT_EQ(label->Top(), 60);
    edit->SetLabelPosition(TLabelPosition::lpTopLeft);
    EXPECT_EQ(label->Top() + label->Height(), 58);
    EXPECT_EQ(label->Left(), 100);
    edit->SetBounds(120, 90, 80, 21);
    EXPECT_EQ(label->Left(), 120);
    EXPECT_EQ(label->Top() + label->Height(), 88);
    edit->Hide();
    EXPECT_FALSE(label->Visible());
    edit->Show();
    edit->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
    edit->SetLabelAlwaysEnabled(true);
    EXPECT_TRUE(label->Enabled());
    int clicks = 0;
    fw::TComponent* sender = nullptr;
    edit->OnLabelClick = [&](fw::TComponent* s) {
        ++clicks;
        sender = s;
    };
    label->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, edit);
}

// A label freed by other code while the edit lives is forgotten: the edit
// then moves, hides and disables without touching it.
TEST(KelEditLabel, FreedByItsOwnerIsForgotten) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 100, 60, 80, 21);
    edit->SetLabelCaption(L"Port");
    ASSERT_NE(edit->EditLabel(), nullptr);
    edit->EditLabel()->Free();
    EXPECT_EQ(edit->EditLabel(), nullptr);
    edit->SetBounds(120, 90, 80, 21);
    edit->Hide();
    edit->Show();
    edit->SetEnabled(false);
    edit->SetLabelPosition(TLabelPosition::lpTopLeft);
}

class LookupTest : public ::testing::Test {
protected:
    void SetUp() override {
        edit = f.Add(L"KelEdit1", 10, 10);
        other = f.Add(L"KelEdit2", 10, 60);
        edit->Lookup().Enabled = true;
        for (const wchar_t* s : {L"Beta", L"Alpine", L"Alpha"}) edit->Lookup().DisplayList().Add(s);
        f.Show();
        edit->SetFocus();
    }
    std::vector<std::wstring> Items() const {
        std::vector<std::wstring> items;
        fw::TListBox* list = edit->LookupWindow()->ListControl();
        for (int i = 0; i < list->Count(); ++i) items.push_back(list->Item(i));
        return items;
    }
    EditForm f;
    TKelEdit* edit = nullptr;
    TKelEdit* other = nullptr;
};

TEST_F(LookupTest, TypingShowsMatchesAndEnterTakesOne) {
    Type(edit, L"a");
    EXPECT_FALSE(edit->LookupShown());
    Type(edit, L"l");
    ASSERT_TRUE(edit->LookupShown());
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Alpha", L"Alpine"}));
    RECT r{};
    GetWindowRect(edit->LookupWindow()->Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, 2 * 12 + 4);
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_DOWN, 1);
    EXPECT_EQ(edit->LookupWindow()->ListControl()->ItemIndex(), 1);
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(edit->LookupWindow()->ListControl()->ItemIndex(), 0);
    int index = -1;
    edit->OnLookupIndexSelect = [&](fw::TComponent*, int i, std::wstring&) { index = i; };
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_FALSE(edit->LookupShown());
    EXPECT_EQ(edit->Text(), L"Alpha");
    EXPECT_EQ(index, 0);
    int start = 0, end = 0;
    edit->GetSelection(start, end);
    EXPECT_EQ(end - start, 5);
}

TEST_F(LookupTest, MultiWorksOnTheLastPartAndValuesReplaceEntries) {
    edit->Lookup().Multi = true;
    edit->Lookup().ValueList().Add(L"A1");
    Type(edit, L"one;al");
    ASSERT_TRUE(edit->LookupShown());
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"Alpha", L"Alpine"}));
    SendMessageW(edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
    EXPECT_EQ(edit->Text(), L"one;A1;");
    int start = 0, end = 0;
    edit->GetSelection(start, end);
    EXPECT_EQ(start, 7);
    EXPECT_EQ(end, 7);
}

TEST_F(LookupTest, HistoryAndAHiddenListTakeNothingStale) {
    edit->Lookup().History = true;
    edit->SetText(L"Gamma");
    other->SetFocus();
    edit->SetFocus();
    other->SetFocus();
    EXPECT_EQ(edit->Lookup().DisplayList().Count(), 4);
    EXPECT_GE(edit->Lookup().DisplayList().IndexOf(L"Gamma"), 0);
    // The list showed Alpha, then went away as the text got too short: Alt
    // keeps the text.
    edit->SetFocus();
    edit->SetText(L"");
    Type(edit, L"al");
    ASSERT_TRUE(edit->LookupShown());
    Type(edit, L"\b");
    EXPECT_FALSE(edit->LookupShown());
    SendMessageW(edit->Handle(), WM_SYSKEYDOWN, VK_MENU, 1);
    EXPECT_EQ(edit->Text(), L"a");
    // Leaving the edit hides a shown list.
    Type(edit, L"l");
    ASSERT_TRUE(edit->LookupShown());
    other->SetFocus();
    EXPECT_FALSE(edit->LookupShown());
}

// A scratch file or key, removed again.
struct IniFile {
    std::wstring path;
    ~IniFile() { DeleteFileW(path.c_str()); }
};

TEST(KelEditPersistence, IniFileWithDefaultNameAndSection) {
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    IniFile file{DefaultIniFileName(exe)};
    DeleteFileW(file.path.c_str());
    {
        EditForm f;
        TKelEdit* edit = f.Add(L"PortEdit", 10, 10);
        edit->Persistence().Enable = true;
        edit->Lookup().Enabled = true;
        edit->Lookup().History = true;
        for (const wchar_t* s : {L"One", L"Two", L"Three"}) edit->Lookup().DisplayList().Add(s);
        for (const wchar_t* s : {L"1", L"2", L"3"}) edit->Lookup().ValueList().Add(s);
        edit->SetPrefix(L"#");
        edit->SetText(L"5555");
        edit->HandleNeeded();
    }  // saved as the window goes
    EXPECT_EQ(fw::TIniFile(file.path).ReadString(L"PortEdit", L"PortEdit", L""), L"#5555");
    EXPECT_EQ(fw::TIniFile(file.path).ReadInteger(L"PortEdit", L"LOOKUPCOUNT", 0), 3);
    EditForm f;
    auto* edit = new TKelEdit(f.form);
    edit->BeginLoading();
    edit->SetName(L"PortEdit");
    edit->SetParent(f.form);
    edit->Persistence().Enable = true;
    edit->Lookup().Enabled = true;
    edit->Lookup().History = true;
    edit->Loaded();
    EXPECT_EQ(edit->WindowText(), L"#5555");
    EXPECT_EQ(edit->Lookup().DisplayList().Items(), (std::vector<std::wstring>{L"One", L"Three", L"Two"}));
    EXPECT_EQ(edit->Lookup().ValueList().Items(), (std::vector<std::wstring>{L"1", L"2", L"3"}));
    EXPECT_EQ(edit->Persistence().Section, L"PortEdit");
    // "@" leaves the text alone.
    fw::TIniFile(file.path).WriteString(L"PortEdit", L"Other", L"@");
    auto* second = new TKelEdit(f.form);
    second->BeginLoading();
    second->SetName(L"Other");
    second->SetText(L"keep");
    second->Persistence().Enable = true;
    second->Persistence().Section = L"PortEdit";
    second->Loaded();
    EXPECT_EQ(second->Text(), L"keep");
}

TEST(KelEditPersistence, Registry) {
    const std::wstring key = L"Software\\KelEditTest" + std::to_wstring(GetCurrentProcessId());
    struct Cleanup {
        std::wstring key;
        ~Cleanup() { fw::TRegistry().DeleteKey(key); }
    } cleanup{key};
    TPersistence p;
    p.Enable = true;
    p.Key = key;
    p.Section = L"Network";
    p.Location = TPersistenceLocation::plRegistry;
    {
        EditForm f;
        TKelEdit* edit = f.Add(L"HostEdit", 10, 10);
        edit->SetPersistence(p);
        edit->Lookup().Enabled = true;
        edit->Lookup().History = true;
        edit->Lookup().DisplayList().Add(L"localhost");
        edit->SetText(L"127.0.0.1");
        edit->HandleNeeded();
    }
    EditForm f;
    auto* edit = new TKelEdit(f.form);
    edit->BeginLoading();
    edit->SetName(L"HostEdit");
    edit->SetPersistence(p);
    edit->Lookup().Enabled = true;
    edit->Lookup().History = true;
    edit->Loaded();
    EXPECT_EQ(edit->Text(), L"127.0.0.1");
    EXPECT_EQ(edit->Lookup().DisplayList().Items(), (std::vector<std::wstring>{L"localhost"}));
}

}  // namespace
}  // namespace kel
