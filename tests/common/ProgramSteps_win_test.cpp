// The programs' start and stop steps.
#include "common/ProgramSteps.h"

#include <gtest/gtest.h>

#include "widgets/drawing/KelGDIP.h"
#include "widgets/drawing/UxThemeBinder.h"

namespace common {
namespace {

TEST(ProgramSteps, StartGdiplusAndTheThemeBindersAndStopThemAgain) {
    ASSERT_FALSE(kel::GdiplusRunning());
    {
        TProgramSteps steps;
        EXPECT_TRUE(kel::GdiplusRunning());
        for (kel::TUxThemeBinder* b : {&kel::ASXPVS, &kel::AEBXPVS, &kel::ACXPVS, &kel::AOBXPVS}) {
            EXPECT_TRUE(b->Loaded()) << b->ModuleName();
        }
    }
    EXPECT_FALSE(kel::GdiplusRunning());
    for (kel::TUxThemeBinder* b : {&kel::ASXPVS, &kel::AEBXPVS, &kel::ACXPVS, &kel::AOBXPVS}) {
        EXPECT_FALSE(b->Loaded()) << b->ModuleName();
    }
}

}  // namespace
}  // namespace common
