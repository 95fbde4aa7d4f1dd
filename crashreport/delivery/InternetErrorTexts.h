// English descriptions of the WinInet error codes, for failures where the
// server sent no text of its own.
#pragma once

#include <string>

namespace drevnik {

// The description of a WinInet error code; empty for codes not in the table.
std::string InternetErrorTableText(unsigned long code);

}  // namespace drevnik
