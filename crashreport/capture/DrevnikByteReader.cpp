#include "crashreport/capture/DrevnikByteReader.h"

#include "framework/text_codec.h"

namespace drevnik {

void TDrevnikByteReader::Raise(const std::string& message) const { throw EDrevnikStreamError(fw::AnsiToWide(message)); }

}  // namespace drevnik
