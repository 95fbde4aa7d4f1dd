#include "widgets/drawing/GifLayout.h"

#include <algorithm>

#include "framework/core/byte_reader.h"
#include "framework/core/exceptions.h"

namespace kel {
namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kPlainTextLabel = 0x01;

// Data sub-blocks, each led by its size, up to a size of 0.
void SkipSubBlocks(fw::TByteReader& r, const char* field) {
    for (uint8_t size = r.ReadU8(field); size != 0; size = r.ReadU8(field)) r.Skip(size, field);
}

void Walk(fw::TByteReader& r, TGifLayout& layout, std::size_t maxFrames) {
    auto sig = r.Bytes(3, "signature");
    if (sig[0] != 'G' || sig[1] != 'I' || sig[2] != 'F') r.Fail("signature", "is not \"GIF\"");
    r.Skip(3, "header");  // version
    layout.ScreenWidth = r.ReadU16LE("logical screen width");
    layout.ScreenHeight = r.ReadU16LE("logical screen height");
    const uint8_t flags = r.ReadU8("screen descriptor flags");
    r.Skip(2, "screen descriptor");  // background colour index and aspect ratio
    if (flags & 0x80) r.Skip(3u << ((flags & 7) + 1), "global colour table");
    layout.PrefixEnd = r.Position();

    // Offset of the graphic control extension that waits for its image.
    constexpr std::size_t kNoControl = std::numeric_limits<std::size_t>::max();
    std::size_t control = kNoControl;
    while (layout.Frames.size() < maxFrames) {
        const std::size_t at = r.Position();
        const uint8_t block = r.ReadU8("block introducer");
        if (block == kImageSeparator) {
            TGifFrame frame;
            frame.Start = control != kNoControl ? control : at;
            control = kNoControl;
            frame.Left = r.ReadU16LE("image left");
            frame.Top = r.ReadU16LE("image top");
            frame.Width = r.ReadU16LE("image width");
            frame.Height = r.ReadU16LE("image height");
            const uint8_t imageFlags = r.ReadU8("image descriptor flags");
            if (imageFlags & 0x80) r.Skip(3u << ((imageFlags & 7) + 1), "local colour table");
            if (layout.Frames.empty()) layout.PrefixEnd = frame.Start;
            layout.Frames.push_back(frame);
            r.Skip(1, "LZW minimum code size");
            SkipSubBlocks(r, "image data sub-block");
            continue;
        }
        if (block == kExtension) {
            const uint8_t label = r.ReadU8("extension label");
            if (label == kGraphicControlLabel && control == kNoControl) control = at;
            SkipSubBlocks(r, "extension sub-block");
            if (label == kPlainTextLabel) control = kNoControl;  // the control belonged to the text
            continue;
        }
        if (block == 0x00) continue;  // stray padding some writers leave between blocks
        if (block == kTrailer) return;
        r.Fail("block introducer", "is unknown");
    }
}

}  // namespace

bool IsGifData(std::span<const uint8_t> data) {
    return data.size() >= 5 && data[0] == 'G' && data[1] == 'I' && data[2] == 'F' && data[3] == '8';
}

TGifLayout ReadGifLayout(std::span<const uint8_t> data, std::size_t maxFrames) {
    TGifLayout layout;
    fw::TByteReader r(data, "GIF");
    try {
        Walk(r, layout, maxFrames);
    } catch (const fw::EReadError& e) {
        layout.Fault = e.what();
        if (layout.Frames.empty()) layout.PrefixEnd = 0;
    }
    return layout;
}

int ClampGifFrame(int frame, std::size_t frameCount) {
    if (frameCount == 0) return 1;
    const int last = static_cast<int>(std::min<std::size_t>(frameCount, static_cast<std::size_t>(INT32_MAX)));
    return std::clamp(frame, 1, last);
}

std::vector<uint8_t> GifFrameCopy(std::span<const uint8_t> data, const TGifLayout& layout, int frame) {
    const int n = ClampGifFrame(frame, layout.Frames.size());
    if (layout.Frames.empty() || n == 1) return std::vector<uint8_t>(data.begin(), data.end());
    const std::size_t start = layout.Frames[static_cast<std::size_t>(n - 1)].Start;
    std::vector<uint8_t> copy(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(layout.PrefixEnd));
    copy.insert(copy.end(), data.begin() + static_cast<std::ptrdiff_t>(start), data.end());
    return copy;
}

}  // namespace kel
