// The block structure of a GIF file, read with the framework's bounded byte
// reader: the logical screen, and where each frame's blocks begin and what
// its image descriptor says. Only the structure is read, nothing is decoded,
// so bytes inside colour tables, extensions and image data never pass for
// blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <vector>

namespace kel {

struct TGifFrame {
    // Offset of the frame's first block: the graphic control extension that
    // belongs to its image, or the image descriptor itself.
    std::size_t Start = 0;
    uint16_t Left = 0;
    uint16_t Top = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    friend bool operator==(const TGifFrame&, const TGifFrame&) = default;
};

struct TGifLayout {
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    // End of the header, the global colour table and the blocks before the
    // first frame (loop and comment extensions).
    std::size_t PrefixEnd = 0;
    std::vector<TGifFrame> Frames;
    // Why the walk ended before the trailer ("GIF: <field>: <problem> ..."),
    // empty when it reached the trailer or maxFrames. A damaged header leaves
    // no frames; damage later keeps the frames before it.
    std::string Fault;
};

// True when there are at least 5 bytes and they begin "GIF8".
bool IsGifData(std::span<const uint8_t> data);

// Walks the blocks up to the trailer, or until maxFrames frames are known.
TGifLayout ReadGifLayout(std::span<const uint8_t> data,
                         std::size_t maxFrames = std::numeric_limits<std::size_t>::max());

// 1-based frame number within 1..frameCount (1 when there are none).
int ClampGifFrame(int frame, std::size_t frameCount);

// The bytes that show frame `frame` (clamped): the prefix, then everything
// from that frame's first block to the end, so the frame comes first. Frame
// 1, and a file without frames, is the whole file.
std::vector<uint8_t> GifFrameCopy(std::span<const uint8_t> data, const TGifLayout& layout, int frame);

}  // namespace kel
