// The file version of a program file, from its version resource.
// Windows only (kynFileVersion_win.cpp).
#pragma once

#include <string>

#include "Display/kynResourceManager.h"

namespace kyn {

// The full path of the running program file.
std::wstring RunningProgramPath();

// The fixed file version of the file at path: major and minor are the high
// and low word of its most significant double word, release and build those
// of the least significant one. False when the file has no version resource.
bool ReadFileVersion(const std::wstring& path, TFileVersion& version);

}  // namespace kyn
