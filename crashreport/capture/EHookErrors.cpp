// Failures of the hooking engine.
#include "crashreport/capture/EHookErrors.h"

#include "framework/core/text_codec.h"

namespace drevnik {

EProcNull::EProcNull(const std::string& name)
    : EHookError(fw::AnsiToWide("Cannot hook a null procedure (\"" + name + "\").")) {}

EHookingError::EHookingError(const std::string& name)
    : EHookError(fw::AnsiToWide("Cannot hook the procedure \"" + name + "\".")) {}

ESharedArea::ESharedArea(const std::string& moduleName)
    : EHookError(fw::AnsiToWide("Cannot hook the module \"" + moduleName + "\" located into the shared-area.")) {}

}  // namespace drevnik
