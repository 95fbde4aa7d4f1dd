// Keystroke benchmark: the time per typed character on a 10,000-character
// text, for the typed edit's filter alone (on the model of the system edit),
// for a live typed edit and for a plain system edit in the same run. Each
// round types a character in the middle of the text and takes it back with
// Backspace, so the text keeps its length.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "framework/gui/application.h"
#include "framework/gui/forms.h"
#include "widgets/editors/KelEdit.h"
#include "widgets/editors/KelEditSimulation.h"

namespace {

constexpr int kLength = 10000;
// The model is fast; a window under Wine takes milliseconds per keystroke.
constexpr int kModelRounds = 2000;
constexpr int kWindowRounds = 150;

struct Case {
    const char* name;
    kel::TKelEditType type;
    std::wstring value;
    wchar_t typed;
};

double Seconds() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / double(f.QuadPart);
}

// Microseconds per keystroke of `rounds` character-and-Backspace pairs.
double PerKeystroke(int rounds, const std::function<void()>& round) {
    round();  // warm up
    const double t0 = Seconds();
    for (int i = 0; i < rounds; ++i) round();
    return (Seconds() - t0) * 1e6 / (2.0 * rounds);
}

void Send(HWND h, wchar_t ch) { SendMessageW(h, WM_CHAR, ch, 1); }

}  // namespace

int main() {
    fw::TApplication app;
    auto* form = app.CreateForm<fw::TForm>(std::wstring(L"KeystrokeBenchForm"));
    form->SetBounds(40, 40, 500, 120);
    form->Show();

    std::wstring digits(kLength, L'7');
    std::wstring letters;
    for (int i = 0; i < kLength; ++i) letters += static_cast<wchar_t>(L'a' + i % 26);
    const Case cases[] = {
        {"etString", kel::TKelEditType::etString, letters, L'x'},
        {"etNumeric", kel::TKelEditType::etNumeric, digits, L'5'},
        {"etHex", kel::TKelEditType::etHex, std::wstring(kLength, L'A'), L'F'},
        {"etAlphaNumeric", kel::TKelEditType::etAlphaNumeric, letters, L'q'},
    };
    const int middle = kLength / 2;

    auto* edit = new kel::TKelEdit(form);
    edit->SetBounds(10, 10, 460, 24);
    edit->SetParent(form);
    HWND plain = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 10, 50, 460,
                                 24, form->Handle(), nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(plain, EM_SETLIMITTEXT, 0, 0);

    std::printf("microseconds per keystroke in the middle of a %d-character text (%d keystrokes on the model, %d on each "
                "window)\n",
                kLength, 2 * kModelRounds, 2 * kWindowRounds);
    std::printf("%-16s %12s %12s %12s\n", "type", "filter", "typed edit", "system edit");
    for (const Case& c : cases) {
        kel::TKelEditOptions options;
        options.EditType = c.type;
        kel::TSimulatedEdit model(options);
        model.Load(c.value, middle, 0);
        const double filter = PerKeystroke(kModelRounds, [&] {
            model.Type(c.typed);
            model.Type(L'\b');
        });

        edit->SetEditType(c.type);
        edit->SetText(c.value);
        edit->SetSelection(middle, middle);
        const double typed = PerKeystroke(kWindowRounds, [&] {
            Send(edit->Handle(), c.typed);
            Send(edit->Handle(), L'\b');
        });

        SetWindowTextW(plain, c.value.c_str());
        SendMessageW(plain, EM_SETSEL, middle, middle);
        const double system = PerKeystroke(kWindowRounds, [&] {
            Send(plain, c.typed);
            Send(plain, L'\b');
        });
        std::printf("%-16s %12.2f %12.2f %12.2f\n", c.name, filter, typed, system);
        std::fflush(stdout);
    }
    DestroyWindow(plain);
    form->Close();
    return 0;
}
