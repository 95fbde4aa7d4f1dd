// What the raise capture needs to know of GCC's C++ runtime that no public
// interface tells: the exception header in front of a thrown object, the
// caught-exceptions chain, and a search phase run before the real one
// ("will a handler catch this throw?"). These are GCC 12 internals; they
// live here and nowhere else, each with its test.
#pragma once

#include <cstdint>
#include <exception>
#include <typeinfo>

struct _Unwind_Exception;

namespace drevnik::cxxrt {

// A thrown object's destructor (thiscall in the 32-bit runtime, as the
// runtime declares it; GCC warns about thiscall outside a class).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wattributes"
using TExceptionDestructor = void(_GLIBCXX_CDTOR_CALLABI*)(void*);
#pragma GCC diagnostic pop

// A C++ exception of this runtime: the thrown object, its type and the
// unwinder's header.
struct TThrownException {
    void* Object = nullptr;
    const std::type_info* Type = nullptr;
    _Unwind_Exception* Unwind = nullptr;
};

// The exception that __cxa_throw is about to raise: fills its header (as
// __cxa_throw itself will again) and gives the view of it.
TThrownException PrepareThrow(void* object, std::type_info* type, TExceptionDestructor destructor);

// The innermost exception this thread is handling (the one a rethrow raises
// again and __cxa_end_catch ends). False when there is none or it is no C++
// exception of this runtime. `handlerCount` is the number of catch blocks
// that hold it (negative once it is being rethrown).
bool CurrentCaughtException(TThrownException& exception, int& handlerCount);

// `object` (thrown as `thrown`) seen as a `target`, as a catch clause would
// see it; null when a catch of `target` would not take it.
void* CastThrownObject(const std::type_info& thrown, void* object, const std::type_info& target);

// The thrown object an exception_ptr holds (null for an empty one).
void* ObjectOfExceptionPtr(const std::exception_ptr& exception);

enum class TSearchOutcome {
    NoHandler,           // nothing on the stack catches it: it ends in std::terminate
    Caught,              // a catch clause takes it
    TerminateRegion,     // a noexcept function (or a throwing destructor) ends it in std::terminate
    SwallowedByWindows,  // a Windows callback frame takes it before any catch of ours
};

// Runs the C++ personality of each frame above the frame that called from
// `returnAddress`, in search mode only: nothing unwinds and no handler runs.
TSearchOutcome SearchForHandler(_Unwind_Exception* exception, uintptr_t returnAddress);

// Must run once before SearchForHandler in the 64-bit build: lets the
// runtime hand over its C++ personality routine.
void PrimePersonality();

}  // namespace drevnik::cxxrt
