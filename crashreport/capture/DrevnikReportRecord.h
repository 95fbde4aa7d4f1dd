// The record of one report that every event receives, the facts that only
// the faulting thread can give, and the action and warning kinds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "crashreport/capture/DrevnikLists.h"
#include "crashreport/capture/RaiseCapture.h"

namespace drevnik {

struct TDrevnikExceptionRecord {
    TRaisedObject RaisedObject;
    uintptr_t RaisedAddress = 0;  // for a C++ throw: 5 less than the throw's return address
    uint32_t FaultThreadId = 0;
    const EXCEPTION_RECORD* OsRecord = nullptr;
    const CONTEXT* CpuContext = nullptr;
    std::string ReportTextCopy;
    TDrevnikModulesList* Modules = nullptr;
    TDrevnikStackList* StackList = nullptr;
    TDrevnikModuleOptions* ReportOptions = nullptr;
};

// Gathered in the faulting thread before the handler thread takes over.
// Fixed buffers: the faulting thread may hold the heap's lock.
constexpr std::size_t kFocusTextMax = 256;
struct TExceptNotifyParams {
    bool IsHandled = false;
    const CONTEXT* ContextPtr = nullptr;
    const EXCEPTION_RECORD* OsRecordPtr = nullptr;
    TDrevnikStackList* ReadyCallStack = nullptr;
    uintptr_t StackTop = 0;
    uintptr_t StackStart = 0;
    uint32_t FaultThreadId = 0;
    char FocusedClass[kFocusTextMax + 1] = {};
    char FocusedText[kFocusTextMax + 1] = {};
};

enum TDrevnikActionType : uint8_t {
    atShowingExceptionInfo,
    atShowedExceptionInfo,
    atSavingLogFile,
    atSavedLogFile,
    atSendingEmail,
    atSentEmail,
    atSendingWebMessage,
    atSentWebMessage,
    atTerminating,
};

enum TDrevnikLogErrorCode : uint8_t {
    eeNone,
    eeShowError,
    eeLogError,
    eeEmailMAPIError,
    eeEmailShellError,
    eeEmailSMTPError,
    eeWebHTTPError,
    eeWebHTTPSError,
    eeWebFTPError,
    eeWebTrakerError,
};
const char* ErrorCodeName(TDrevnikLogErrorCode code);

}  // namespace drevnik
