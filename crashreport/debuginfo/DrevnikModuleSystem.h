// What the module list and the report ask the system about modules and
// their files. Windows implements them in DrevnikModuleSystem_win.cpp; the
// host build has stand-ins (DrevnikModuleSystem_host.cpp) that know the
// program alone and no version resources. None of them raises.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "crashreport/capture/DrevnikSystem.h"

namespace drevnik {

// The program's own main module.
TModuleHandle ProgramModuleHandle();
// The allocation base of the committed memory region that holds the
// address; 0 when it is not committed.
TModuleHandle FindModuleOfAddress(uintptr_t address);

// The modules loaded now: through PSAPI's EnumProcessModules (the NT
// platform) or a tool-help module snapshot (elsewhere), both bound by name.
// A missing library or function, or a failed call, gives what was found.
std::vector<TModuleHandle> EnumerateModulesPsapi();
std::vector<TModuleHandle> EnumerateModulesToolhelp();

// The address that a forwarder text ("NTDLL.RtlFreeHeap", "MODULE.#12")
// names, only when that module is loaded already: resolving never loads a
// module. 0 otherwise.
uintptr_t ResolveLoadedForwarder(std::string_view forwarder);

// Whether the file, loaded as a data file, holds the RCDATA resources
// "PACKAGEINFO" and "PACKAGEOPTIONS" (a runtime package).
bool HasPackageResources(std::string_view filePath);

// The FileDescription of the file's version resource for its first
// translation (empty when none, or one character or less) and its fixed file
// version as four numbers (empty when none or 0.0.0.0).
void GetFileVersionFacts(std::string_view filePath, std::string& description, std::string& version);
// The ProductVersion string for the first translation, taken as for the description.
std::string GetProductVersionText(std::string_view filePath);

// The file's size in bytes, all 64 bits of it; 0 when the file is missing.
uint64_t GetFileSizeBytes(std::string_view filePath);
// Clears the read-only attribute and deletes the file; the delete's result.
bool ForceDeleteFile(std::string_view filePath);

}  // namespace drevnik
