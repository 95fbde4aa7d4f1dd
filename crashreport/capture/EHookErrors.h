// Failures of the hooking engine. Each names the procedure or module it could
// not hook.
#pragma once

#include <string>

#include "framework/core/exceptions.h"

namespace drevnik {

class EHookError : public fw::Exception {
public:
    using fw::Exception::Exception;
};

// The procedure to hook is missing (its address is null).
class EProcNull : public EHookError {
public:
    explicit EProcNull(const std::string& name);
};

// The procedure cannot be hooked: no import entry of it, no readable module
// headers, or code that cannot be moved to a trampoline.
class EHookingError : public EHookError {
public:
    explicit EHookingError(const std::string& name);
};

// Windows 9x: the module lies in the shared system area, which every process sees.
class ESharedArea : public EHookError {
public:
    explicit ESharedArea(const std::string& moduleName);
};

}  // namespace drevnik
