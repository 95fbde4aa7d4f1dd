// Feeds arbitrary bytes to the GIF block walker: it must not throw or read
// out of bounds, every frame it finds must lie inside the data, and the copy
// made for a frame must show that frame first.
#include <cstddef>
#include <cstdint>
#include <span>

#include "widgets/drawing/GifLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const kel::TGifLayout layout = kel::ReadGifLayout(bytes);
    for (const kel::TGifFrame& f : layout.Frames) {
        if (f.Start >= size || f.Start < layout.PrefixEnd) __builtin_trap();
    }
    const int count = static_cast<int>(layout.Frames.size());
    for (int frame : {1, 2, count, count + 1}) {
        const auto copy = kel::GifFrameCopy(bytes, layout, frame);
        if (copy.size() > size) __builtin_trap();
        if (count == 0) continue;
        const kel::TGifFrame& shown = layout.Frames[static_cast<std::size_t>(kel::ClampGifFrame(frame, layout.Frames.size()) - 1)];
        const kel::TGifLayout again = kel::ReadGifLayout(copy, 1);
        if (again.Frames.empty()) __builtin_trap();
        const kel::TGifFrame& first = again.Frames[0];
        if (first.Left != shown.Left || first.Top != shown.Top || first.Width != shown.Width ||
            first.Height != shown.Height)
            __builtin_trap();
    }
    return 0;
}
