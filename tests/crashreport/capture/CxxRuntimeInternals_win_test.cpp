// GCC's C++ runtime internals that the raise capture relies on, checked
// against the running runtime: the search phase run before a throw, the
// exception headers, and the rethrow that must end in std::terminate.
#include <windows.h>

#include <gtest/gtest.h>

#include <cxxabi.h>

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "crashreport/capture/CxxRuntimeInternals.h"
#include "tests/crashreport/capture/TestWindow.h"

namespace drevnik::cxxrt {
namespace {

using TOutcome = TSearchOutcome;

// The search a throw of `T` from this call's caller would run, without
// throwing: the object gets its header as __cxa_throw would give it.
template <class T>
__attribute__((noinline)) TOutcome SearchAsIfThrownHere(const char* text) {
    void* object = __cxxabiv1::__cxa_allocate_exception(sizeof(T));
    T* value = new (object) T(text);
    const TThrownException thrown = PrepareThrow(object, const_cast<std::type_info*>(&typeid(T)), nullptr);
    const TOutcome outcome = SearchForHandler(thrown.Unwind, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    value->~T();
    __cxxabiv1::__cxa_free_exception(object);
    return outcome;
}

template <class Caught>
TOutcome CaughtAs() {
    TOutcome outcome{};
    try {
        outcome = SearchAsIfThrownHere<std::runtime_error>("x");
    } catch (const Caught&) {
    }
    return outcome;
}

TOutcome CaughtByCatchAll() {
    TOutcome outcome{};
    try {
        outcome = SearchAsIfThrownHere<std::runtime_error>("x");
    } catch (...) {
    }
    return outcome;
}

struct TCleanup {
    ~TCleanup() { asm volatile(""); }
};
__attribute__((noinline)) TOutcome OnlyCleansUp() {
    TCleanup cleanup;
    return SearchAsIfThrownHere<std::runtime_error>("x");
}
TOutcome CaughtTwoFramesUp() {
    TOutcome outcome{};
    try {
        outcome = OnlyCleansUp();
    } catch (const std::runtime_error&) {
    }
    return outcome;
}

__attribute__((noinline)) TOutcome Sealed() noexcept { return SearchAsIfThrownHere<std::runtime_error>("x"); }
TOutcome NoexceptInsideACatch() {
    TOutcome outcome{};
    try {
        outcome = Sealed();
    } catch (...) {
    }
    return outcome;
}

// Wine runs WM_CREATE under a handler of its own that takes every exception.
TOutcome gInCreate{};
LRESULT CALLBACK SearchingWindow(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_CREATE) gInCreate = SearchAsIfThrownHere<std::runtime_error>("x");
    return DefWindowProcW(window, message, w, l);
}
TOutcome InWindowCreation() {
    gInCreate = TOutcome::Caught;
    try {
        DestroyWindow(test::MakeTestWindow(L"KynSearchInCreate", SearchingWindow));
    } catch (...) {
    }
    return gInCreate;
}

// EnumWindows keeps no handler of its own.
TOutcome gInEnum{};
BOOL CALLBACK SearchingEnumeration(HWND, LPARAM) {
    gInEnum = SearchAsIfThrownHere<std::runtime_error>("x");
    return FALSE;
}
TOutcome AcrossAWindowsCallback() {
    gInEnum = TOutcome::TerminateRegion;
    try {
        EnumWindows(SearchingEnumeration, 0);
    } catch (...) {
    }
    return gInEnum;
}

struct TSearchCase {
    const char* Name;
    TOutcome (*Run)();
    TOutcome Expected;
};

const TSearchCase kSearchCases[] = {
    {"CaughtByItsType", CaughtAs<std::runtime_error>, TOutcome::Caught},
    {"CaughtByABaseClass", CaughtAs<std::exception>, TOutcome::Caught},
    {"CaughtByCatchAll", CaughtByCatchAll, TOutcome::Caught},
    {"CaughtTwoFramesUpPastACleanup", CaughtTwoFramesUp, TOutcome::Caught},
    {"NoneWhenOnlyAnotherTypeIsCaught", CaughtAs<std::logic_error>, TOutcome::NoHandler},
    {"NoneWithoutAnyTry", [] { return SearchAsIfThrownHere<std::runtime_error>("x"); }, TOutcome::NoHandler},
    {"NoexceptEndsItBeforeAnOuterCatch", NoexceptInsideACatch, TOutcome::TerminateRegion},
#if defined(_WIN64)
    {"WindowCreationCaughtOutside", InWindowCreation, TOutcome::SwallowedByWindows},
    {"CallbackFromWindowsCaughtOutside", AcrossAWindowsCallback, TOutcome::Caught},
#else
    // The 32-bit unwinder cannot cross Windows' frames: nothing catches there.
    {"WindowCreationCaughtOutside", InWindowCreation, TOutcome::NoHandler},
    {"CallbackFromWindowsCaughtOutside", AcrossAWindowsCallback, TOutcome::NoHandler},
#endif
};

class SearchForHandlerCase : public ::testing::TestWithParam<TSearchCase> {
protected:
    void SetUp() override { PrimePersonality(); }
};

struct TRun {
    const TSearchCase* Case;
    TOutcome Outcome;
};
DWORD WINAPI RunCase(void* argument) {
    auto& run = *static_cast<TRun*>(argument);
    run.Outcome = run.Case->Run();
    return 0;
}

// Each case runs in a thread of its own: the test runner's catch must not be
// on the stack.
TEST_P(SearchForHandlerCase, PredictsWhatTheUnwinderWillDo) {
    TRun run{&GetParam(), TOutcome::Caught};
    HANDLE thread = CreateThread(nullptr, 0, RunCase, &run, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(static_cast<int>(run.Outcome), static_cast<int>(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchForHandlerCase, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<TSearchCase>& row) { return std::string(row.param.Name); });

// The caught-exceptions chain: the object and type of what a catch holds, by
// throw and by std::rethrow_exception (a dependent exception), and how many
// catch blocks hold it.
TEST(CxxRuntimeInternals, CurrentCaughtExceptionIsWhatTheCatchHolds) {
    TThrownException exception;
    int handlers = 0;
    EXPECT_FALSE(CurrentCaughtException(exception, handlers));
    try {
        throw std::out_of_range("held");
    } catch (const std::out_of_range& caught) {
        ASSERT_TRUE(CurrentCaughtException(exception, handlers));
        EXPECT_EQ(exception.Object, static_cast<const void*>(&caught));
        EXPECT_EQ(*exception.Type, typeid(std::out_of_range));
        EXPECT_EQ(handlers, 1);
        try {
            throw;
        } catch (const std::exception& again) {
            ASSERT_TRUE(CurrentCaughtException(exception, handlers));
            EXPECT_EQ(exception.Object, static_cast<const void*>(&again));
            EXPECT_EQ(handlers, 2) << "both catch blocks hold the rethrown exception";
        }
        ASSERT_TRUE(CurrentCaughtException(exception, handlers));
        EXPECT_EQ(handlers, 1);
    }
    const std::exception_ptr stored = std::make_exception_ptr(std::invalid_argument("stored"));
    try {
        std::rethrow_exception(stored);
    } catch (const std::invalid_argument& caught) {
        ASSERT_TRUE(CurrentCaughtException(exception, handlers));
        EXPECT_EQ(exception.Object, static_cast<const void*>(&caught));
        EXPECT_EQ(exception.Object, ObjectOfExceptionPtr(stored));
        EXPECT_EQ(*exception.Type, typeid(std::invalid_argument));
    }
    EXPECT_FALSE(CurrentCaughtException(exception, handlers));
    EXPECT_EQ(ObjectOfExceptionPtr(std::exception_ptr()), nullptr);
}

struct TLeft {
    virtual ~TLeft() = default;
    int Left = 1;
};
struct TRight {
    virtual ~TRight() = default;
    int Right = 2;
};
struct TBoth : TLeft, TRight {};

TEST(CxxRuntimeInternals, CastThrownObjectSeesTheObjectAsACatchWould) {
    TBoth both;
    void* object = &both;
    EXPECT_EQ(CastThrownObject(typeid(TBoth), object, typeid(TBoth)), object);
    EXPECT_EQ(CastThrownObject(typeid(TBoth), object, typeid(TRight)), static_cast<void*>(static_cast<TRight*>(&both)));
    EXPECT_NE(CastThrownObject(typeid(TBoth), object, typeid(TRight)), object) << "the second base is adjusted";
    EXPECT_EQ(CastThrownObject(typeid(TBoth), object, typeid(std::exception)), nullptr);
}

// The 64-bit unwinder would abort when a rethrow finds no handler; it must
// end in std::terminate as a throw does.
std::terminate_handler gPreviousTerminate = nullptr;
DWORD WINAPI RethrowNothingCatches(void*) {
    gPreviousTerminate = std::set_terminate([] { ExitThread(77); });
    try {
        throw std::runtime_error("rethrown");
    } catch (...) {
        throw;
    }
}

TEST(CxxRuntimeInternals, AnUncaughtRethrowEndsInTerminate) {
    HANDLE thread = CreateThread(nullptr, 0, RethrowNothingCatches, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 30000), WAIT_OBJECT_0);
    std::set_terminate(gPreviousTerminate);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    EXPECT_EQ(code, 77u);
}

}  // namespace
}  // namespace drevnik::cxxrt
