// TNcFileSource and TNcFileSink.
#include "Updater/NcFilePieces.h"

#include "framework/core/exceptions.h"

namespace oru {

bool TNcFileSource::Read(char* buffer, std::size_t want, std::size_t& got) {
    try {
        got = file_.Read(buffer, want);
        return true;
    } catch (const fw::EInOutError& e) {
        error_ = e.Message();
        return false;
    }
}

bool TNcFileSink::Write(const char* data, std::size_t size) {
    try {
        file_.Write(data, size);
        return true;
    } catch (const fw::EInOutError& e) {
        error_ = e.Message();
        return false;
    }
}

}  // namespace oru
