// The file version of a program file, from its version resource.
// Windows only (FileVersion_win.cpp).
#pragma once

#include <cstdint>
#include <string>

namespace common {

// The four parts of a file version.
struct TFileVersion {
    uint16_t Major = 0;
    uint16_t Minor = 0;
    uint16_t Release = 0;
    uint16_t Build = 0;
};

// The full path of the running program file.
std::wstring RunningProgramPath();

// The fixed file version of the file at path: major and minor are the high
// and low word of its most significant double word, release and build those
// of the least significant one. False (and zeros) when the file has no
// version resource.
bool ReadFileVersion(const std::wstring& path, TFileVersion& version);

// The running program file's version; false (and zeros) when it has none.
bool ReadOwnFileVersion(TFileVersion& version);
// Index 1 gives the major, 2 the minor, 3 the release, 4 the build of the
// running program file's version in decimal; empty for any other index and
// when the version cannot be read.
std::wstring OwnFileVersionPart(int index);

}  // namespace common
