// OLE drag and drop of the typed edit under Wine: the format reader and the
// data object, failures that must not cross an OLE call, the registration
// going before its window, and real drags between two edits.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/gui/application.h"
#include "tests/widgets/editors/edit_form.h"
#include "tests/widgets/editors/xdotool.h"
#include "widgets/editors/KelEdDD.h"

namespace kel {
namespace {

using test::EditForm;

// A data object that cannot list its formats.
class NoFormats : public TComObject<IDataObject> {
public:
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_FAIL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        *out = nullptr;
        return E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

// A drop target whose text handler fails.
class FailingTarget : public TAEDropTarget {
protected:
    void HandleDroppedText(POINT, const std::wstring& text) override { throw fw::Exception(L"bad drop: " + text); }
};

TEST(KelEdDD, DataObjectOffersPlainAndWideText) {
    TComRef<IDataObject> data(new TSourceDataObject(L"caf\u00e9", std::string()));
    TEnumFormats reader(data.get());
    EXPECT_TRUE(reader.OffersText());
    EXPECT_FALSE(reader.OffersFileList());
    EXPECT_EQ(reader.ReadPlainText(), L"caf\u00e9");
    FORMATETC wide{CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&wide, &medium), S_OK);
    EXPECT_EQ(GlobalSize(medium.hGlobal) >= 5 * sizeof(wchar_t), true);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(medium.hGlobal)), L"caf\u00e9");
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    FORMATETC bitmap{CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_EQ(data->QueryGetData(&bitmap), DV_E_FORMATETC);
    FORMATETC stream{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_ISTREAM};
    EXPECT_EQ(data->QueryGetData(&stream), DV_E_FORMATETC);
    // The enumerator: three entries, then S_FALSE.
    TComRef<IEnumFORMATETC> formats;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.put()), S_OK);
    FORMATETC got[4];
    ULONG fetched = 0;
    EXPECT_EQ(formats->Next(4, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(got[1].cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(formats->Skip(5), S_FALSE);
    EXPECT_EQ(formats->Reset(), S_OK);
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, formats.put()), E_NOTIMPL);
}

TEST(KelEdDD, FailuresStayInsideTheOleCalls) {
    fw::test::TestApplication();
    int reported = 0;
    std::wstring message;
    fw::Application->OnException = [&](fw::TComponent*, std::exception_ptr e) {
        ++reported;
        message = fw::ExceptionMessage(e);
    };
    TComRef<TAEDropTarget> target(new FailingTarget());
    TComRef<IDataObject> broken(new NoFormats());
    DWORD effect = DROPEFFECT_COPY;
    // A data object without formats is refused quietly.
    EXPECT_THROW(TEnumFormats reader(broken.get()), EDropFormatError);
    EXPECT_EQ(target->DragEnter(broken.get(), 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(target->Drop(broken.get(), 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(reported, 0);
    // A failing handler is reported and the drop answers "nothing dropped".
    TComRef<IDataObject> text(new TSourceDataObject(L"x", std::string()));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(text.get(), MK_CONTROL, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(target->Drop(text.get(), MK_CONTROL, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(reported, 1);
    EXPECT_EQ(message, L"bad drop: x");
    fw::Application->OnException = nullptr;
}

// Records, for one window, whether its drop target was still registered
// when WM_DESTROY reached it (before or after its own handling).
struct DestroyWatch {
    static HWND watched;
    static int registeredBefore;
    static int registeredAfter;
    static bool Registered(HWND h) { return GetPropW(h, L"OleDropTargetInterface") != nullptr; }
    static LRESULT CALLBACK Before(int code, WPARAM w, LPARAM l) {
        auto* m = reinterpret_cast<CWPSTRUCT*>(l);
        if (code == HC_ACTION && m->hwnd == watched && m->message == WM_DESTROY) registeredBefore = Registered(m->hwnd);
        return CallNextHookEx(nullptr, code, w, l);
    }
    static LRESULT CALLBACK After(int code, WPARAM w, LPARAM l) {
        auto* m = reinterpret_cast<CWPRETSTRUCT*>(l);
        if (code == HC_ACTION && m->hwnd == watched && m->message == WM_DESTROY) registeredAfter = Registered(m->hwnd);
        return CallNextHookEx(nullptr, code, w, l);
    }
    DestroyWatch(HWND h) {
        watched = h;
        registeredBefore = registeredAfter = -1;
        before = SetWindowsHookExW(WH_CALLWNDPROC, Before, nullptr, GetCurrentThreadId());
        after = SetWindowsHookExW(WH_CALLWNDPROCRET, After, nullptr, GetCurrentThreadId());
    }
    ~DestroyWatch() {
        UnhookWindowsHookEx(before);
        UnhookWindowsHookEx(after);
    }
    HHOOK before;
    HHOOK after;
};
HWND DestroyWatch::watched = nullptr;
int DestroyWatch::registeredBefore = -1;
int DestroyWatch::registeredAfter = -1;

TEST(KelEditDrop, TheRegistrationGoesBeforeItsWindow) {
    EditForm f;
    TKelEdit* edit = f.Add(L"KelEdit1", 10, 10);
    edit->SetOleDropTarget(true);
    HWND first = edit->Handle();
    ASSERT_TRUE(edit->DropTargetRegistered());
    ASSERT_TRUE(DestroyWatch::Registered(first));
    {
        // A re-made window: the old one loses its registration first, the
        // new one gets its own.
        DestroyWatch watch(first);
        edit->SetEditAlign(TEditAlign::eaRight);
        EXPECT_EQ(DestroyWatch::registeredBefore, 0);
    }
    HWND second = edit->Handle();
    EXPECT_NE(second, first);
    EXPECT_TRUE(edit->DropTargetRegistered());
    EXPECT_TRUE(DestroyWatch::Registered(second));
    edit->SetOleDropTarget(false);
    EXPECT_FALSE(DestroyWatch::Registered(second));
    edit->SetOleDropTarget(true);
    {
        // The edit freed.
        DestroyWatch watch(second);
        edit->Free();
        EXPECT_EQ(DestroyWatch::registeredBefore, 0);
    }
    // The system destroying the form's window with the edit on it.
    TKelEdit* third = f.Add(L"KelEdit3", 10, 40);
    third->SetOleDropTarget(true);
    HWND h = third->Handle();
    {
        DestroyWatch watch(h);
        DestroyWindow(f.form->Handle());
        EXPECT_EQ(DestroyWatch::registeredAfter, 0);
    }
}

// A drag through the X server, as a user makes it: xdotool moves the
// pointer and presses buttons and keys while this thread runs the drag's
// modal loop.
class InputScript {
public:
    void Move(POINT to) { Add(L"mousemove " + std::to_wstring(to.x) + L" " + std::to_wstring(to.y)); }
    void Down(POINT at) {
        Move(at);
        Add(L"mousedown 1");
    }
    void Up(POINT at) {
        Move(at);
        Add(L"mouseup 1");
    }
    void Key(const wchar_t* name, bool down) { Add(std::wstring(down ? L"keydown " : L"keyup ") + name); }
    // A drag from `from` to `to` in small steps.
    void Drag(POINT from, POINT to) {
        Down(from);
        for (int i = 1; i <= 10; ++i) {
            Move(POINT{from.x + (to.x - from.x) * i / 10, from.y + (to.y - from.y) * i / 10});
        }
    }
    void Play() { EXPECT_TRUE(test::Xdotool(args_)); }

private:
    void Add(const std::wstring& step) { args_ += step + L" sleep 0.05 "; }
    std::wstring args_;
};

// The screen point on the leading edge of a character.
POINT ScreenOfChar(TKelEdit* edit, int index) {
    POINT p{};
    EXPECT_TRUE(edit->PosFromChar(index, p));
    return edit->ClientToScreen(POINT{p.x, p.y + 6});
}

// A screen point right of the text's end.
POINT ScreenPastEnd(TKelEdit* edit) { return edit->ClientToScreen(POINT{edit->ClientRect().right - 4, 6}); }

class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::XdotoolAvailable()) GTEST_SKIP() << "xdotool is not installed";
        source = f.Add(L"Source", 10, 10, 200, 24);
        target = f.Add(L"Target", 10, 80, 200, 24);
        source->SetOleDropSource(true);
        source->SetOleDropTarget(true);
        target->SetOleDropTarget(true);
        f.Show();
        source->SetText(L"hello world");
        target->SetText(L"abc");
        source->SetFocus();
        source->SetSelection(6, 11);  // "world"
    }
    EditForm f;
    TKelEdit* source = nullptr;
    TKelEdit* target = nullptr;
};

TEST_F(DragTest, MovesWithoutCtrlAndCopiesWithIt) {
    InputScript move;
    move.Drag(ScreenOfChar(source, 8), ScreenPastEnd(target));
    move.Up(ScreenPastEnd(target));
    move.Play();
    EXPECT_EQ(target->Text(), L"abcworld");
    EXPECT_EQ(source->Text(), L"hello ");
    source->SetText(L"hello world");
    source->SetFocus();
    source->SetSelection(0, 5);  // "hello"
    InputScript copy;
    copy.Key(L"Control_L", true);
    copy.Drag(ScreenOfChar(source, 2), ScreenOfChar(target, 0));
    copy.Up(ScreenOfChar(target, 0));
    copy.Key(L"Control_L", false);
    copy.Play();
    EXPECT_EQ(target->Text(), L"helloabcworld");
    EXPECT_EQ(source->Text(), L"hello world");
}

TEST_F(DragTest, InsideOneEditOntoItselfAndElsewhere) {
    InputScript onto;
    onto.Drag(ScreenOfChar(source, 7), ScreenOfChar(source, 9));
    onto.Up(ScreenOfChar(source, 9));
    onto.Play();
    EXPECT_EQ(source->Text(), L"hello world");
    source->SetFocus();
    source->SetSelection(6, 11);
    InputScript move;
    move.Drag(ScreenOfChar(source, 8), ScreenOfChar(source, 0));
    move.Up(ScreenOfChar(source, 0));
    move.Play();
    EXPECT_EQ(source->Text(), L"worldhello ");
}

TEST_F(DragTest, EscEndsTheDragAndAPressWithoutMoveClicks) {
    InputScript esc;
    esc.Drag(ScreenOfChar(source, 8), ScreenOfChar(target, 1));
    esc.Key(L"Escape", true);
    esc.Key(L"Escape", false);
    esc.Up(ScreenOfChar(target, 1));
    esc.Play();
    EXPECT_EQ(source->Text(), L"hello world");
    EXPECT_EQ(target->Text(), L"abc");
    int clicks = 0;
    source->OnClick = [&](fw::TComponent*) { ++clicks; };
    source->SetFocus();
    source->SetSelection(6, 11);
    InputScript press;
    press.Down(ScreenOfChar(source, 8));
    press.Up(ScreenOfChar(source, 8));
    press.Play();
    int start = 0, end = 0;
    source->GetSelection(start, end);
    EXPECT_EQ(start, end);
    EXPECT_EQ(start, 8);
    EXPECT_EQ(clicks, 1);
}

TEST_F(DragTest, ADroppedTextFollowsTheType) {
    target->SetEditType(TKelEditType::etNumeric);
    target->SetText(L"12");
    InputScript drag;
    drag.Drag(ScreenOfChar(source, 8), ScreenOfChar(target, 1));
    drag.Up(ScreenOfChar(target, 1));
    drag.Play();
    EXPECT_EQ(target->Text(), L"12");
    EXPECT_EQ(source->Text(), L"hello world");  // refused: nothing moved
}

}  // namespace
}  // namespace kel
