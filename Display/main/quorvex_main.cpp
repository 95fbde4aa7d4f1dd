// Quorvex's entry point (the main block): the start steps, the application
// with its title, the display form (the main form), the control panel and the
// command test form, in that order, then the message loop.
#include <windows.h>

#include "Display/kynControllerFormGUI.h"
#include "Display/kynDisplayModel.h"
#include "Display/kynExternalCommandControlTestFormGUI.h"
#include "Display/kynMainFormGUI.h"
#include "common/ProgramSteps.h"
#include "framework/gui/application.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    common::TProgramSteps steps;
    // The forms hold the model; the application frees them before it goes.
    kyn::TkynDisplayModel model;
    fw::TApplication app;
    app.SetTitle(L"Quorvex Panel");
    app.CreateForm<kyn::TkynMainForm>(model);
    app.CreateForm<kyn::TkynControllerForm>(model);
    app.CreateForm<kyn::TkynExternalCommandControlTestForm>();
    app.Run();
    return 0;
}
