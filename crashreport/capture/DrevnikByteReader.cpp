#include "crashreport/capture/DrevnikByteReader.h"

#include "framework/text_codec.h"

namespace drevnik {

void TDrevnikByteReader::Fail(const char* field, const std::string& problem) const {
    throw EDrevnikStreamError(fw::AnsiToWide(format_ + ": " + field + ": " + problem));
}

std::string_view TDrevnikByteReader::Take(std::size_t count, const char* field) {
    if (count > Remaining()) {
        Fail(field, "needs " + std::to_string(count) + " bytes at offset " + std::to_string(position_) + ", only " +
                        std::to_string(Remaining()) + " left");
    }
    const std::string_view bytes = data_.substr(position_, count);
    position_ += count;
    return bytes;
}

}  // namespace drevnik
