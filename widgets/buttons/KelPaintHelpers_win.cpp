// Painting helpers of the buttons and panels.
#include "widgets/buttons/KelPaintHelpers.h"

#include "framework/gui/graphic_control.h"
#include "framework/gui/graphics.h"
#include "framework/gui/win_control.h"

namespace kel {

void PaintParentGraphicControls(fw::TWinControl* parent, HDC dc, fw::TControl* first) {
    if (!parent || !dc) return;
    bool started = first == nullptr;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        fw::TControl* c = parent->Control(i);
        if (c == first) started = true;
        auto* g = dynamic_cast<fw::TGraphicControl*>(c);
        if (!started || !g || !g->Visible() || g->Width() <= 0 || g->Height() <= 0) continue;
        fw::SavedDCState state(dc);
        POINT origin;
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + g->Left(), origin.y + g->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
        g->PaintTo(dc);
    }
}

}  // namespace kel
