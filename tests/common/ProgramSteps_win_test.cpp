// The programs' start and stop steps.
#include "common/ProgramSteps.h"

#include <gtest/gtest.h>
#include <ole2.h>

#include "widgets/drawing/KelGDIP.h"
#include "widgets/drawing/UxThemeBinder.h"

namespace common {
namespace {

TEST(ProgramSteps, StartGdiplusOleAndTheThemeBindersAndStopThemAgain) {
    ASSERT_FALSE(kel::GdiplusRunning());
    {
        TProgramSteps steps;
        EXPECT_TRUE(kel::GdiplusRunning());
        for (kel::TUxThemeBinder* b : {&kel::ASXPVS, &kel::AEBXPVS, &kel::ACXPVS, &kel::AOBXPVS}) {
            EXPECT_TRUE(b->Loaded()) << b->ModuleName();
        }
        // OLE runs on this thread: a second initialisation only counts up.
        EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
        OleUninitialize();
    }
    EXPECT_EQ(OleInitialize(nullptr), S_OK);
    OleUninitialize();
    EXPECT_FALSE(kel::GdiplusRunning());
    for (kel::TUxThemeBinder* b : {&kel::ASXPVS, &kel::AEBXPVS, &kel::ACXPVS, &kel::AOBXPVS}) {
        EXPECT_FALSE(b->Loaded()) << b->ModuleName();
    }
}

}  // namespace
}  // namespace common
