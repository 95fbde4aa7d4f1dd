// The core unit of the crash-report library: guarded start-up and shut-down
// steps, the core unit's own steps and the exception classes the library
// knows by name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "framework/core/exceptions.h"

namespace drevnik {

// Receives the text of a failed step once the library's start-up has
// installed it ("ECore.Init (Address: 0040A1B0)").
using TInternalErrorHandler = void (*)(const std::string& text);
void SetInternalErrorHandler(TInternalErrorHandler handler);
TInternalErrorHandler GetInternalErrorHandler();

using TGuardedStep = void (*)();

// Runs one start-up or shut-down step, named after its unit ("ECore.Init").
// EAbort passes unchanged. Any other failure goes to the internal-error
// handler, after which the step ends with a silent EAbort; before a handler
// is installed it becomes an fw::Exception "Critical error at: ...".
void RunGuardedStep(TGuardedStep step, std::string_view name);

// The core unit's steps: "ECore.Init" computes the IDE flag; "ECore.Done"
// does nothing.
void CoreInitStep();
void CoreDoneStep();

// An exception of an ActiveX component: its type text is shown as the
// exception's type, and the exception filters compare their class name with
// the names in ClassNames.
class TActiveXException : public fw::Exception {
public:
    TActiveXException(std::string_view message, std::string exceptionType, std::vector<std::string> classNames);
    const std::string& ExceptionType() const noexcept { return exceptionType_; }
    const std::vector<std::string>& ClassNames() const noexcept { return classNames_; }

private:
    std::string exceptionType_;
    std::vector<std::string> classNames_;
};

// A failed assertion of the library ("... (ExceptionLog)").
class EAssertionFailed : public fw::Exception {
public:
    using Exception::Exception;
};

// Bad data in a stream or block the library reads; the message names the
// format and the field.
class EDrevnikStreamError : public fw::Exception {
public:
    using Exception::Exception;
};

// The exception's message as 8-bit text ("" for a foreign object).
std::string ExceptionMessageText(const std::exception& e);

}  // namespace drevnik
