// The display form: a borderless, stay-on-top OpenGL window that draws the
// background and the scan line, grid or cross hairs once per tick of a 1 ms
// repaint timer, while the sweep timer moves the line one pixel per tick.
// Its window class "TkynMainForm" tells the updater that the display runs.
#pragma once

#include <windows.h>

#include "Display/kynDisplayModel.h"
#include "Display/kynResourceManager.h"
#include "crashreport/capture/DrevnikLog.h"
#include "framework/core/exceptions.h"
#include "framework/gui/forms.h"
#include "framework/gui/timer.h"

namespace kyn {

class TkynMainForm : public fw::TForm {
public:
    // The model outlives the form.
    TkynMainForm(fw::TComponent* owner, TkynDisplayModel& model);
    ~TkynMainForm() override;

    fw::TTimer* zuForceRepaint;
    fw::TTimer* dpLineSweep;
    drevnik::TDrevnikLog* DrevnikLog1;
    int LastGLError = 0;
    HDC DeviceContext = nullptr;
    HGLRC RenderContext = nullptr;
    HHOOK KeyboardHook = nullptr;

    void FormCreate();
    void FormShow();
    void FormClose(fw::TCloseAction& action);
    void FormDestroy();
    void FormResize();
    // Draws one frame on DeviceContext.
    void FormPaint();
    void zuForceRepaintTimer();
    void dpLineSweepTimer();

    bool FindDataFolder() { return resources_.FindDataFolder(); }
    bool LoadSettings() { return resources_.LoadSettings(); }
    bool SaveSettings() { return resources_.SaveSettings(); }

    void InitGL();
    void CreateGLContext();
    void SetupProjection();

    void ResetScanLine();
    void MakeNextStep();
    void ResetScanLineBeforeRun();

    void ApplicationException(fw::TComponent* sender, std::exception_ptr e);

    // The extent of the window along the sweep direction.
    int Extent() const;
    // Frames drawn and sweep ticks handled so far (tests and the benchmark).
    unsigned long FramesDrawn() const { return frames_drawn_; }
    unsigned long SweepTicks() const { return sweep_ticks_; }

protected:
    void CreateParams(fw::TCreateParams& params) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PaintWindow(HDC dc) override;

private:
    void ModelChanged(TModelChange change);
    // The sweep timer runs from the first showing to the close, unless paused.
    void UpdateSweepTimer();
    void DrawRunStartFrame();
    void DrawNormalFrame();
    // Raises "Paint Error" for a new OpenGL error; an error already reported
    // since the last clean frame only ends the frame.
    bool CheckGLError();
    void ReleaseGL();

    TkynDisplayModel& model_;
    TkynResourceManager resources_;
    int subscription_ = 0;
    unsigned long frames_drawn_ = 0;
    unsigned long sweep_ticks_ = 0;
    unsigned reported_gl_error_ = 0;
    bool shown_ = false;
    bool sweeping_ = false;
};

extern TkynMainForm* kynMainForm;

// The keyboard hook of the GUI thread.
LRESULT CALLBACK KeyboardHookProc(int code, WPARAM wParam, LPARAM lParam);

}  // namespace kyn
