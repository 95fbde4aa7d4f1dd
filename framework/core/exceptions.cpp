// Exception classes of the framework.
#include "framework/core/exceptions.h"

#include "framework/core/text_codec.h"

namespace fw {

Exception::Exception(std::wstring message) : message_(std::move(message)), narrow_(WideToAnsi(message_)) {}

void Exception::SetMessage(std::wstring message) {
    message_ = std::move(message);
    narrow_ = WideToAnsi(message_);
}

}  // namespace fw
