// Quorvex's entry point.
#include <windows.h>

#include "framework/application.h"
#include "framework/forms.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    fw::TApplication app;
    app.SetTitle(L"Quorvex Panel");
    auto* display = app.CreateForm<fw::TForm>(std::wstring(L"TkynMainForm"));
    display->SetCaption(L"Quorvex Display");
    display->SetBorderStyle(fw::TFormBorderStyle::bsNone);
    display->SetFormStyle(fw::TFormStyle::fsStayOnTop);
    display->SetColor(fw::clBlack);
    display->SetBounds(0, 0, 320, 240);
    app.Run();
    return 0;
}
