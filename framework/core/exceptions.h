// Exception classes of the framework. Failures are exceptions carrying a
// message; EAbort is the silent one that no handler shows.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace fw {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    void SetMessage(std::wstring message);
    // The message as 8-bit text (Windows-1252), for std::exception users.
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::wstring message_;
    std::string narrow_;
};

class EConvertError : public Exception { using Exception::Exception; };
class EInvalidOperation : public Exception { using Exception::Exception; };
class EOutOfMemory : public Exception { using Exception::Exception; };
class EInOutError : public Exception { using Exception::Exception; };
// Bad or cut binary data; the message names the format, the field and the
// offset (TByteReader).
class EReadError : public Exception { using Exception::Exception; };

// Silent exception: unwinds to the message loop and shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(L"Operation aborted") {}
};

// A hardware fault or a foreign exception, raised from its exception record.
class EExternal : public Exception {
public:
    enum class Kind { Unknown, AccessViolation, IntDivideByZero, IntOverflow, FloatFault, StackOverflow, Privileged, Illegal, Control };
    EExternal(std::wstring message, Kind kind, uint32_t code, uintptr_t address)
        : Exception(std::move(message)), kind_(kind), code_(code), address_(address) {}
    Kind ExceptionKind() const noexcept { return kind_; }
    uint32_t ExceptionCode() const noexcept { return code_; }
    uintptr_t ExceptionAddress() const noexcept { return address_; }

private:
    Kind kind_;
    uint32_t code_;
    uintptr_t address_;
};

// The message of any exception: an fw::Exception's own, a std::exception's
// what() read as Windows-1252, else "Unknown exception".
std::wstring ExceptionMessage(std::exception_ptr e);
// True for EAbort (or a class derived from it).
bool IsAbort(std::exception_ptr e);

class TComponent;

// The application routes every exception that reaches a Windows callback to
// one handler (TApplication::HandleException). A hook set here sees each one
// first, as the original object, also where no application exists yet; it
// returns true when it has dealt with the exception. Set it on the GUI thread
// before the message loop runs (the crash-report library does).
using TExceptionHook = std::function<bool(TComponent* sender, std::exception_ptr e)>;
void SetExceptionHook(TExceptionHook hook);
const TExceptionHook& ExceptionHook();

// A TCP server's connection thread catches what its OnExecute raises and
// closes that connection only. Before its own handling (the server's
// exception event) it calls this hook, on the connection's thread, with the
// server as sender; a hook that returns true has dealt with the exception and
// the server's event does not run. The connection closes either way.
void SetConnectionExceptionHook(TExceptionHook hook);
const TExceptionHook& ConnectionExceptionHook();

}  // namespace fw
