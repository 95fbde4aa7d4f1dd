// GCC 12 internals. The structures below mirror libsupc++'s unwind-cxx.h and
// libgcc's unwind-seh.c; the tests in CxxRuntimeInternals_win_test.cpp check
// each of them against the running runtime.
#include "crashreport/capture/CxxRuntimeInternals.h"

#include <windows.h>

#include <cxxabi.h>
#include <unwind.h>

#include <atomic>
#include <cstddef>
#include <cstring>

#include "crashreport/capture/DrevnikSystem.h"
#include "crashreport/capture/ThreadInfoBlock.h"

namespace drevnik::cxxrt {
namespace {

// libsupc++'s __cxa_exception (not the ARM layout). A __cxa_dependent_exception
// (std::rethrow_exception) has the same layout with the primary object in
// place of the type.
struct TCxaException {
    union {
        std::type_info* exceptionType;
        void* primaryException;  // of a dependent exception
    };
    TExceptionDestructor exceptionDestructor;
    void (*unexpectedHandler)();
    void (*terminateHandler)();
    TCxaException* nextException;
    int handlerCount;
    int handlerSwitchValue;
    const unsigned char* actionRecord;
    const unsigned char* languageSpecificData;
    _Unwind_Ptr catchTemp;
    void* adjustedPtr;
    _Unwind_Exception unwindHeader;
};

// __cxa_refcounted_exception: the header in front of every primary thrown object.
struct TCxaRefcountedException {
    int referenceCount;
    TCxaException exc;
};

struct TCxaEhGlobals {
    TCxaException* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// "GNUCC++" followed by 0 for a primary exception, 1 for a dependent one.
constexpr uint64_t kGnuCxxClass = 0x474E5543432B2B00ull;

TCxaException* HeaderOf(_Unwind_Exception* unwind) {
    return reinterpret_cast<TCxaException*>(reinterpret_cast<char*>(unwind) - offsetof(TCxaException, unwindHeader));
}

TSearchOutcome OutcomeOfFoundHandler(_Unwind_Exception* exception) {
    // A catch clause has a positive switch value; a terminate region 0, an
    // exception specification a negative one (both end in std::terminate).
    return HeaderOf(exception)->handlerSwitchValue > 0 ? TSearchOutcome::Caught : TSearchOutcome::TerminateRegion;
}

}  // namespace

TThrownException PrepareThrow(void* object, std::type_info* type, TExceptionDestructor destructor) {
    __cxxabiv1::__cxa_init_primary_exception(object, type, destructor);
    auto* header = static_cast<TCxaRefcountedException*>(object) - 1;
    return {object, type, &header->exc.unwindHeader};
}

bool CurrentCaughtException(TThrownException& exception, int& handlerCount) {
    auto* globals = reinterpret_cast<TCxaEhGlobals*>(__cxxabiv1::__cxa_get_globals());
    TCxaException* header = globals != nullptr ? globals->caughtExceptions : nullptr;
    if (header == nullptr) return false;
    const uint64_t kind = header->unwindHeader.exception_class;
    if ((kind & ~0xFFull) != kGnuCxxClass || (kind & 0xFF) > 1) return false;
    if ((kind & 0xFF) == 1) {
        exception.Object = header->primaryException;
        exception.Type = (static_cast<TCxaRefcountedException*>(header->primaryException) - 1)->exc.exceptionType;
    } else {
        exception.Object = header + 1;
        exception.Type = header->exceptionType;
    }
    exception.Unwind = &header->unwindHeader;
    handlerCount = header->handlerCount;
    return true;
}

void* CastThrownObject(const std::type_info& thrown, void* object, const std::type_info& target) {
    void* adjusted = object;
    return target.__do_catch(&thrown, &adjusted, 1) ? adjusted : nullptr;
}

void* ObjectOfExceptionPtr(const std::exception_ptr& exception) {
    // libstdc++'s exception_ptr is the thrown object's address and nothing else.
    static_assert(sizeof(std::exception_ptr) == sizeof(void*));
    void* object = nullptr;
    std::memcpy(&object, static_cast<const void*>(&exception), sizeof object);
    return object;
}

#if defined(__x86_64__)

namespace {

using TPersonality = _Unwind_Reason_Code (*)(int, _Unwind_Action, _Unwind_Exception_Class, _Unwind_Exception*,
                                             _Unwind_Context*);

// libgcc's private _Unwind_Context of the SEH unwinder.
struct TGccSehContext {
    DWORD64 cfa;
    DWORD64 ra;
    DWORD64 reg[2];
    PDISPATCHER_CONTEXT disp;
};

// An exception code no one raises: the handler wrapper answers it by keeping
// the personality routine it was handed.
constexpr DWORD kPrimeCode = 0xE0C0FFEE;
std::atomic<TPersonality> gPersonality{nullptr};

// The lowest frame of Wine's own exception list above `sp`: a callback
// dispatcher that swallows what reaches it (timer procedures, WM_CREATE).
uintptr_t LowestWindowsHandlerAbove(uintptr_t sp) {
    const auto* tib = CurrentTib();
    const auto base = reinterpret_cast<uintptr_t>(tib->StackBase);
    uintptr_t lowest = 0;
    auto entry = reinterpret_cast<uintptr_t>(tib->ExceptionList);
    for (int guard = 0; guard < 256 && entry > sp && entry < base; ++guard) {
        if (!IsReadableMemory(reinterpret_cast<void*>(entry), sizeof(void*))) break;
        if (lowest == 0 || entry < lowest) lowest = entry;
        entry = *reinterpret_cast<const uintptr_t*>(entry);
    }
    return lowest;
}

}  // namespace

}  // namespace drevnik::cxxrt

extern "C" EXCEPTION_DISPOSITION __gxx_personality_seh0(PEXCEPTION_RECORD, void*, PCONTEXT, PDISPATCHER_CONTEXT);
extern "C" EXCEPTION_DISPOSITION __real__GCC_specific_handler(PEXCEPTION_RECORD, void*, PCONTEXT, PDISPATCHER_CONTEXT,
                                                              drevnik::cxxrt::TPersonality);

// Linked in place of libgcc's _GCC_specific_handler (-Wl,--wrap): the C++
// personality routine it receives is static in libstdc++.
extern "C" EXCEPTION_DISPOSITION __wrap__GCC_specific_handler(PEXCEPTION_RECORD record, void* frame, PCONTEXT context,
                                                              PDISPATCHER_CONTEXT dispatch,
                                                              drevnik::cxxrt::TPersonality personality) {
    if (record != nullptr && record->ExceptionCode == drevnik::cxxrt::kPrimeCode) {
        drevnik::cxxrt::gPersonality.store(personality);
        return ExceptionContinueSearch;
    }
    return __real__GCC_specific_handler(record, frame, context, dispatch, personality);
}

extern "C" _Unwind_Reason_Code __real__Unwind_Resume_or_Rethrow(_Unwind_Exception*);

// Linked in place of libgcc's own (-Wl,--wrap): the SEH unwinder's version
// calls abort() when a rethrown exception finds no handler, so __cxa_rethrow
// never reaches std::terminate and an uncaught rethrow in any thread kills the
// process. A rethrow (private_[0], the forced unwind's stop routine, is empty)
// is raised anew and the end of the stack handed back, as the DWARF unwinder
// does: __cxa_rethrow then calls std::terminate.
extern "C" _Unwind_Reason_Code __wrap__Unwind_Resume_or_Rethrow(_Unwind_Exception* exception) {
    if (exception->private_[0] == 0) return _Unwind_RaiseException(exception);
    return __real__Unwind_Resume_or_Rethrow(exception);
}

namespace drevnik::cxxrt {

void PrimePersonality() {
    if (gPersonality.load() != nullptr) return;
    EXCEPTION_RECORD record{};
    record.ExceptionCode = kPrimeCode;
    __gxx_personality_seh0(&record, nullptr, nullptr, nullptr);
}

TSearchOutcome SearchForHandler(_Unwind_Exception* exception, uintptr_t returnAddress) {
    const TPersonality personality = gPersonality.load();
    if (personality == nullptr) return TSearchOutcome::NoHandler;
    CONTEXT context;
    RtlCaptureContext(&context);
    const auto* tib = CurrentTib();
    const auto stackBase = reinterpret_cast<DWORD64>(tib->StackBase);
    const uintptr_t windowsFrame = LowestWindowsHandlerAbove(context.Rsp);
    bool started = false;
    for (int depth = 0; depth < 4096 && context.Rip != 0 && context.Rsp < stackBase; ++depth) {
        const DWORD64 pc = context.Rip;
        if (!started && pc == returnAddress) started = true;
        if (started && windowsFrame != 0 && context.Rsp > windowsFrame) return TSearchOutcome::SwallowedByWindows;
        DWORD64 imageBase = 0;
        PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(pc, &imageBase, nullptr);
        if (function == nullptr) {
            // A leaf: its return address is on top of the stack.
            if (!IsReadableMemory(reinterpret_cast<void*>(context.Rsp), sizeof(DWORD64))) break;
            context.Rip = *reinterpret_cast<const DWORD64*>(context.Rsp);
            context.Rsp += sizeof(DWORD64);
            continue;
        }
        void* handlerData = nullptr;
        DWORD64 establisher = 0;
        const PEXCEPTION_ROUTINE handler = RtlVirtualUnwind(UNW_FLAG_EHANDLER, imageBase, pc, function, &context,
                                                            &handlerData, &establisher, nullptr);
        if (!started || handler != reinterpret_cast<PEXCEPTION_ROUTINE>(&__gxx_personality_seh0)) continue;
        DISPATCHER_CONTEXT dispatch{};
        dispatch.ControlPc = pc;
        dispatch.ImageBase = imageBase;
        dispatch.FunctionEntry = function;
        dispatch.EstablisherFrame = establisher;
        dispatch.ContextRecord = &context;
        dispatch.LanguageHandler = handler;
        dispatch.HandlerData = handlerData;
        TGccSehContext frame{establisher, pc, {0, 0}, &dispatch};
        const _Unwind_Reason_Code code =
            personality(1, _UA_SEARCH_PHASE, exception->exception_class, exception,
                        reinterpret_cast<_Unwind_Context*>(&frame));
        if (code == _URC_HANDLER_FOUND) return OutcomeOfFoundHandler(exception);
        if (code != _URC_CONTINUE_UNWIND) break;
    }
    return TSearchOutcome::NoHandler;
}

#else  // i686: DWARF-2 unwind tables, walked by libgcc itself

extern "C" _Unwind_Reason_Code __gxx_personality_v0(int, _Unwind_Action, _Unwind_Exception_Class, _Unwind_Exception*,
                                                    _Unwind_Context*);

namespace {

struct TWalk {
    _Unwind_Exception* Exception;
    uintptr_t ReturnAddress;
    bool Started;
    TSearchOutcome Outcome;
};

_Unwind_Reason_Code WalkStep(_Unwind_Context* context, void* argument) {
    TWalk& walk = *static_cast<TWalk*>(argument);
    if (!walk.Started) {
        if (_Unwind_GetIP(context) != walk.ReturnAddress) return _URC_NO_REASON;
        walk.Started = true;
    }
    if (_Unwind_GetLanguageSpecificData(context) == nullptr) return _URC_NO_REASON;
    const _Unwind_Reason_Code code = __gxx_personality_v0(1, _UA_SEARCH_PHASE, walk.Exception->exception_class,
                                                          walk.Exception, context);
    if (code != _URC_HANDLER_FOUND) return _URC_NO_REASON;
    walk.Outcome = OutcomeOfFoundHandler(walk.Exception);
    return _URC_NORMAL_STOP;
}

}  // namespace

void PrimePersonality() {}

// The walk ends at the first frame without unwind tables: Windows' own code,
// which a C++ exception of this build cannot cross anyway.
TSearchOutcome SearchForHandler(_Unwind_Exception* exception, uintptr_t returnAddress) {
    TWalk walk{exception, returnAddress, false, TSearchOutcome::NoHandler};
    _Unwind_Backtrace(WalkStep, &walk);
    return walk.Outcome;
}

#endif

}  // namespace drevnik::cxxrt
