#include "crashreport/capture/DrevnikCore.h"

#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <stdexcept>

#include "crashreport/capture/DrevnikSystem.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::vector<std::string> gReported;
void RecordInternalError(const std::string& text) { gReported.push_back(text); }

void StepOk() {}
void StepAborts() { throw fw::EAbort(); }
void StepFails() { throw fw::EConvertError(L"boom"); }
void StepFailsStd() { throw std::runtime_error("std boom"); }
void StepThrowsInt() { throw 42; }

// Installs a handler for one test and takes it away again.
class GuardedStepTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetInternalErrorHandler(nullptr);
        gReported.clear();
    }
};

TEST_F(GuardedStepTest, WithoutHandlerAFailureNamesTheStep) {
    const struct {
        TGuardedStep step;
        const char* message;
    } cases[] = {
        {StepFails, "Critical error at: \"ECore.Init\"\r\nError: \"boom\"."},
        {StepFailsStd, "Critical error at: \"ECore.Init\"\r\nError: \"std boom\"."},
        {StepThrowsInt, "Critical error at: \"ECore.Init\"\r\nError: \"General internal error.\"."},
    };
    for (const auto& c : cases) {
        try {
            RunGuardedStep(c.step, "ECore.Init");
            ADD_FAILURE() << "no exception for " << c.message;
        } catch (const fw::EAbort&) {
            ADD_FAILURE() << "EAbort for " << c.message;
        } catch (const fw::Exception& e) {
            EXPECT_EQ(fw::WideToAnsi(e.Message()), c.message);
        }
    }
    EXPECT_NO_THROW(RunGuardedStep(StepOk, "ECore.Init"));
    EXPECT_THROW(RunGuardedStep(StepAborts, "ECore.Init"), fw::EAbort);
}

TEST_F(GuardedStepTest, WithHandlerAFailureIsReportedAndEndsSilently) {
    SetInternalErrorHandler(RecordInternalError);
    EXPECT_THROW(RunGuardedStep(StepFails, "EHook.Done"), fw::EAbort);
    EXPECT_THROW(RunGuardedStep(StepThrowsInt, "EHook.Done"), fw::EAbort);
    EXPECT_THROW(RunGuardedStep(StepAborts, "EHook.Done"), fw::EAbort);  // passes, not reported
    EXPECT_NO_THROW(RunGuardedStep(StepOk, "EHook.Done"));

    char address[32];
    std::snprintf(address, sizeof address, "%0*" PRIXPTR, static_cast<int>(2 * sizeof(uintptr_t)),
                  reinterpret_cast<uintptr_t>(&StepFails));
    ASSERT_EQ(gReported.size(), 2u);
    EXPECT_EQ(gReported[0], std::string("EHook.Done (Address: ") + address + ")");
}

TEST(DrevnikCore, InitStepLeavesTheIdeFlagOffOutsideTheIde) {
    SetIdeHostFlag(true);
    RunGuardedStep(CoreInitStep, "ECore.Init");
    EXPECT_FALSE(IsIdeHost());
    EXPECT_FALSE(DetectIdeHost());
}

TEST(DrevnikCore, ActiveXExceptionKeepsTypeAndClassNames) {
    const TActiveXException e("no interface", "EOleSysError", {"EOleSysError", "EOleError"});
    EXPECT_EQ(ExceptionMessageText(e), "no interface");
    EXPECT_EQ(e.ExceptionType(), "EOleSysError");
    EXPECT_EQ(e.ClassNames().size(), 2u);
}

}  // namespace
}  // namespace drevnik
