// The control classes, each in its own file: TControl, TGraphicControl,
// TWinControl and TCustomControl.
#pragma once

#include "framework/gui/control.h"
#include "framework/gui/custom_control.h"
#include "framework/gui/graphic_control.h"
#include "framework/gui/win_control.h"
