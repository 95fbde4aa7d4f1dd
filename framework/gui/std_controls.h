// The plain standard controls the forms use, one header for all.
#pragma once

#include "framework/gui/std_label.h"
#include "framework/gui/std_panel.h"
