// DROPFILES reading.
#include "widgets/editors/KelDropFiles.h"

#include "framework/core/byte_reader.h"

namespace kel {

std::vector<std::wstring> ParseDropFiles(std::span<const uint8_t> block,
                                         const std::function<std::wstring(std::string_view)>& ansi) {
    fw::TByteReader r(block, "DROPFILES");
    const uint32_t offset = r.ReadU32LE("pFiles");
    r.Skip(12, "pt, fNC");
    const bool wide = r.ReadU32LE("fWide") != 0;
    r.Seek(offset, "pFiles");
    std::vector<std::wstring> names;
    while (!r.AtEnd()) {
        std::wstring name;
        bool ended = false;
        if (wide) {
            while (r.Remaining() >= 2) {
                const uint16_t c = r.ReadU16LE("file name");
                if (c == 0) {
                    ended = true;
                    break;
                }
                name += static_cast<wchar_t>(c);
            }
        } else {
            std::string bytes;
            while (!r.AtEnd()) {
                const uint8_t c = r.ReadU8("file name");
                if (c == 0) {
                    ended = true;
                    break;
                }
                bytes += static_cast<char>(c);
            }
            name = ansi(bytes);
        }
        // An unterminated name at the end of the block is not taken.
        if (!ended || name.empty()) break;
        names.push_back(std::move(name));
    }
    return names;
}

}  // namespace kel
