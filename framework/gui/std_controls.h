// The plain standard controls the forms use, one header for all.
#pragma once

#include "framework/gui/std_label.h"
#include "framework/gui/std_panel.h"
#include "framework/gui/std_bevel.h"
#include "framework/gui/std_image.h"
#include "framework/gui/std_memo.h"
#include "framework/gui/std_speed_button.h"
