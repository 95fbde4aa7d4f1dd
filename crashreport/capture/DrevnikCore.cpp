#include "crashreport/capture/DrevnikCore.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>

#include "crashreport/capture/DrevnikSystem.h"
#include "framework/core/text_codec.h"

namespace drevnik {
namespace {

std::atomic<TInternalErrorHandler> gInternalErrorHandler{nullptr};

std::string AddressText(TGuardedStep step) {
    char buffer[2 * sizeof(uintptr_t) + 1];
    std::snprintf(buffer, sizeof buffer, "%0*" PRIXPTR, static_cast<int>(2 * sizeof(uintptr_t)),
                  reinterpret_cast<uintptr_t>(step));
    return buffer;
}

}  // namespace

void SetInternalErrorHandler(TInternalErrorHandler handler) { gInternalErrorHandler.store(handler); }
TInternalErrorHandler GetInternalErrorHandler() { return gInternalErrorHandler.load(); }

std::string ExceptionMessageText(const std::exception& e) {
    if (const auto* own = dynamic_cast<const fw::Exception*>(&e)) {
        return fw::WideToAnsi(own->Message());
    }
    return e.what() != nullptr ? std::string(e.what()) : std::string();
}

void RunGuardedStep(TGuardedStep step, std::string_view name) {
    std::string message;
    try {
        step();
        return;
    } catch (const fw::EAbort&) {
        throw;
    } catch (const std::exception& e) {
        message = ExceptionMessageText(e);
    } catch (...) {
        message = "General internal error.";
    }
    if (const TInternalErrorHandler handler = GetInternalErrorHandler()) {
        handler(std::string(name) + " (Address: " + AddressText(step) + ")");
        throw fw::EAbort();
    }
    throw fw::Exception(fw::AnsiToWide("Critical error at: \"" + std::string(name) + "\"\r\nError: \"" + message + "\"."));
}

void CoreInitStep() { SetIdeHostFlag(DetectIdeHost()); }
void CoreDoneStep() {}

TActiveXException::TActiveXException(std::string_view message, std::string exceptionType,
                                     std::vector<std::string> classNames)
    : fw::Exception(fw::AnsiToWide(message)),
      exceptionType_(std::move(exceptionType)),
      classNames_(std::move(classNames)) {}

}  // namespace drevnik
