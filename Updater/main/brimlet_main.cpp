// Brimlet's entry point: one instance only, the start steps, the updater
// form (the main form) and the message box, then the message loop.
#include <windows.h>

#include "Updater/oruMessageDlgFormOV.h"
#include "Updater/oruUpdate.h"
#include "common/ProgramSteps.h"
#include "framework/gui/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    const wchar_t* alreadyRunning = L"Morvane Application UpdateUpdater is Already Running";
    if (FindWindowW(L"ToruUpdaterForm", nullptr)) {
        MessageBoxW(nullptr, alreadyRunning, L"Morvane Applcation Update", MB_OK);
        return 0;
    }
    common::TProgramSteps steps;
    fw::TApplication app;
    app.SetTitle(L"Morvane Applcation Update");
    try {
        // The box is made second; the form needs it only once it shows.
        auto* form = app.CreateForm<oru::ToruUpdaterForm>(nullptr);
        form->SetMessageDialog(app.CreateForm<oru::ToruMessageDialogForm>());
    } catch (...) {
        // "Could Not Locate MyDocuments Folder".
        app.HandleException(&app);
        return 0;
    }
    if (!app.Terminated()) app.Run();
    return 0;
}
