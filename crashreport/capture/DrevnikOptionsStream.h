// The binary stream of an options object: no header and no version field;
// whoever loads it sets the layout version first. This build writes the
// layout of version 6000 and later and calls its own version 6025; older
// layouts are still read and converted. (The options' SaveToStream and
// LoadFromStream live in DrevnikOptionsStream.cpp.)
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace drevnik {

class TDrevnikByteReader;

constexpr uint16_t kOwnOptionsLayoutVersion = 6025;

// Each byte of a stored string is XORed with this key.
constexpr uint8_t OptionsKeyByte = 0xD7;

// The layout version that LoadFromStream reads; set by whoever loads.
uint16_t OptionsLayoutVersion();
void SetOptionsLayoutVersion(uint16_t version);

// A 32-bit signed length, then the bytes XORed with the key. A text of two
// or more characters whose first CR LF stands at its very end loses that
// CR LF.
void WriteScrambledString(std::string& stream, std::string_view text);
// A length of 0 or less reads as an empty text; a length beyond the data
// raises EDrevnikStreamError before anything is allocated.
std::string ReadScrambledString(TDrevnikByteReader& stream, const char* field);

// The 48 report-item bits as "0" and "1", bit 0 first, and back from the
// first 48 characters of such a text.
std::string MaskToBitText(uint64_t mask);
uint64_t BitTextToMask(std::string_view text);

// Whether the layout of `version` carries customized text `index`.
bool LayoutHasText(uint16_t version, int index);

}  // namespace drevnik
