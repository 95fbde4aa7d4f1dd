// The start and stop steps that both programs run, in one fixed order,
// before their first window and after their message loop.
#pragma once

#include <vector>

#include "framework/core/start_stop.h"

namespace common {

// The table, in start order.
std::vector<fw::TStartStopStep> ProgramStepTable();

// Runs the start steps on construction and the stop steps (reversed) on
// destruction; a failing step is reported through the application's
// exception handler. A program makes it before its application object, so
// that the steps stop after the forms are freed.
class TProgramSteps {
public:
    TProgramSteps();
    TProgramSteps(const TProgramSteps&) = delete;
    TProgramSteps& operator=(const TProgramSteps&) = delete;

private:
    fw::TStartStopTable table_;
};

}  // namespace common
