// Exception classes of the framework.
#include "framework/core/exceptions.h"

#include "framework/core/text_codec.h"

namespace fw {

Exception::Exception(std::wstring message) : message_(std::move(message)), narrow_(WideToAnsi(message_)) {}

void Exception::SetMessage(std::wstring message) {
    message_ = std::move(message);
    narrow_ = WideToAnsi(message_);
}

std::wstring ExceptionMessage(std::exception_ptr e) {
    if (!e) return std::wstring();
    try {
        std::rethrow_exception(e);
    } catch (const Exception& x) {
        return x.Message();
    } catch (const std::exception& x) {
        return AnsiToWide(x.what());
    } catch (...) {
        return L"Unknown exception";
    }
}

bool IsAbort(std::exception_ptr e) {
    if (!e) return false;
    try {
        std::rethrow_exception(e);
    } catch (const EAbort&) {
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

TExceptionHook& HookCell() {
    static TExceptionHook hook;
    return hook;
}

TExceptionHook& ConnectionHookCell() {
    static TExceptionHook hook;
    return hook;
}

}  // namespace

void SetExceptionHook(TExceptionHook hook) { HookCell() = std::move(hook); }

const TExceptionHook& ExceptionHook() { return HookCell(); }

void SetConnectionExceptionHook(TExceptionHook hook) { ConnectionHookCell() = std::move(hook); }

const TExceptionHook& ConnectionExceptionHook() { return ConnectionHookCell(); }

}  // namespace fw
