// Painting helpers of the buttons and panels that other widgets use.
#pragma once

#include <windows.h>

namespace fw {
class TControl;
class TWinControl;
}  // namespace fw

namespace kel {

// Paints the parent's graphic (windowless) child controls into the DC,
// whose origin is the parent's client origin: all of them, or from `first`
// on in the parent's order.
void PaintParentGraphicControls(fw::TWinControl* parent, HDC dc, fw::TControl* first = nullptr);

}  // namespace kel
