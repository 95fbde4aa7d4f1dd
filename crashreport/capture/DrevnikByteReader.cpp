#include "crashreport/capture/DrevnikByteReader.h"

#include "framework/core/text_codec.h"

namespace drevnik {

void TDrevnikByteReader::Raise(const std::string& message) const { throw EDrevnikStreamError(fw::AnsiToWide(message)); }

}  // namespace drevnik
