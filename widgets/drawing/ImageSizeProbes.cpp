#include "widgets/drawing/ImageSizeProbes.h"

#include <cstdlib>

#include "framework/core/byte_reader.h"
#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"
#include "widgets/drawing/GifLayout.h"

namespace kel {
namespace {

using fw::TByteReader;

template <class Probe>
TImageSize RunProbe(std::span<const uint8_t> data, std::string* error, Probe probe) {
    try {
        return probe(data);
    } catch (const fw::EReadError& e) {
        if (error) *error = e.what();
        return TImageSize{};
    }
}

bool IsFrameMarker(uint8_t m) {
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

TImageSize ProbeJPEG(std::span<const uint8_t> data) {
    TByteReader r(data, "JPEG");
    if (r.ReadU16BE("start-of-image marker") != 0xFFD8) r.Fail("start-of-image marker", "is missing");
    for (;;) {
        if (r.ReadU8("marker") != 0xFF) r.Fail("marker", "does not begin with FF");
        uint8_t m = r.ReadU8("marker code");
        while (m == 0xFF) m = r.ReadU8("marker code");  // fill bytes
        if (IsFrameMarker(m)) {
            r.Skip(3, "frame header");  // segment length and sample precision
            TImageSize s;
            s.Height = r.ReadU16BE("frame height");
            s.Width = r.ReadU16BE("frame width");
            return s;
        }
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD8)) continue;  // markers without a segment
        if (m == 0xD9) r.Fail("frame header", "is missing before the end-of-image marker");
        uint16_t length = r.ReadU16BE("segment length");
        if (length < 2) r.Fail("segment length", "is below 2");
        r.Skip(length - 2u, "segment");
    }
}

TImageSize ProbePNG(std::span<const uint8_t> data) {
    static const uint8_t kSignature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};
    TByteReader r(data, "PNG");
    auto sig = r.Bytes(8, "signature");
    for (size_t i = 0; i < 8; ++i)
        if (sig[i] != kSignature[i]) r.Fail("signature", "is wrong");
    r.Skip(4, "IHDR length");
    auto type = r.Bytes(4, "first chunk type");
    if (type[0] != 'I' || type[1] != 'H' || type[2] != 'D' || type[3] != 'R') r.Fail("first chunk", "is not IHDR");
    TImageSize s;
    s.Width = r.ReadU32BE("IHDR width");
    s.Height = r.ReadU32BE("IHDR height");
    return s;
}

TImageSize ProbeGIF(std::span<const uint8_t> data) {
    const TGifLayout layout = ReadGifLayout(data, 1);
    if (layout.Frames.empty()) {
        throw fw::EReadError(fw::AnsiToWide(
            layout.Fault.empty() ? "GIF: image descriptor: is missing before the trailer" : layout.Fault));
    }
    return TImageSize{layout.Frames[0].Width, layout.Frames[0].Height};
}

TImageSize ProbeBMP(std::span<const uint8_t> data) {
    TByteReader r(data, "BMP");
    auto sig = r.Bytes(2, "signature");
    if (sig[0] != 'B' || sig[1] != 'M') r.Fail("signature", "is not \"BM\"");
    r.Seek(14, "info header");
    uint32_t headerSize = r.ReadU32LE("info header size");
    TImageSize s;
    if (headerSize == 12) {  // OS/2 core header: 16-bit width and height
        s.Width = r.ReadU16LE("width");
        s.Height = r.ReadU16LE("height");
        return s;
    }
    auto width = static_cast<int32_t>(r.ReadU32LE("width"));
    auto height = static_cast<int32_t>(r.ReadU32LE("height"));
    // A negative height marks a top-down bitmap.
    s.Width = static_cast<uint32_t>(std::llabs(width));
    s.Height = static_cast<uint32_t>(std::llabs(height));
    return s;
}

TImageSize ProbeTIFF(std::span<const uint8_t> data) {
    TByteReader r(data, "TIFF");
    auto order = r.Bytes(2, "byte order");
    bool little = order[0] == 'I' && order[1] == 'I';
    bool big = order[0] == 'M' && order[1] == 'M';
    if (!little && !big) r.Fail("byte order", "is neither II nor MM");
    auto word = [&](const char* f) { return big ? r.ReadU16BE(f) : r.ReadU16LE(f); };
    auto longword = [&](const char* f) { return big ? r.ReadU32BE(f) : r.ReadU32LE(f); };
    if (word("version") != 42) r.Fail("version", "is not 42");
    r.Seek(longword("first IFD offset"), "first IFD");
    uint16_t count = word("IFD entry count");
    bool haveWidth = false, haveHeight = false;
    TImageSize s;
    for (uint16_t i = 0; i < count && !(haveWidth && haveHeight); ++i) {
        uint16_t tag = word("IFD entry tag");
        uint16_t type = word("IFD entry type");
        r.Skip(4, "IFD entry count");
        uint32_t value;
        if (type == 3) {  // SHORT: in the first two bytes of the value field
            value = word("IFD entry value");
            r.Skip(2, "IFD entry value");
        } else if (type == 4) {  // LONG
            value = longword("IFD entry value");
        } else {
            r.Skip(4, "IFD entry value");
            if (tag == 256 || tag == 257) r.Fail("image width or height", "has an unsupported type");
            continue;
        }
        if (tag == 256) {
            s.Width = value;
            haveWidth = true;
        } else if (tag == 257) {
            s.Height = value;
            haveHeight = true;
        }
    }
    if (!haveWidth || !haveHeight) r.Fail("image width or height", "is missing from the first IFD");
    return s;
}

std::wstring UpperExtension(const std::wstring& name) {
    size_t slash = name.find_last_of(L"\\/");
    size_t dot = name.find_last_of(L'.');
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return std::wstring();
    std::wstring ext = name.substr(dot);
    for (auto& c : ext)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return ext;
}

}  // namespace

TImageSize GetJPEGSize(std::span<const uint8_t> data, std::string* error) { return RunProbe(data, error, ProbeJPEG); }
TImageSize GetPNGSize(std::span<const uint8_t> data, std::string* error) { return RunProbe(data, error, ProbePNG); }
TImageSize GetGIFSize(std::span<const uint8_t> data, std::string* error) { return RunProbe(data, error, ProbeGIF); }
TImageSize GetBMPSize(std::span<const uint8_t> data, std::string* error) { return RunProbe(data, error, ProbeBMP); }
TImageSize GetTIFFSize(std::span<const uint8_t> data, std::string* error) { return RunProbe(data, error, ProbeTIFF); }

TImageSize GetImageSizeByExtension(const std::wstring& fileName, std::span<const uint8_t> data, std::string* error) {
    std::wstring ext = UpperExtension(fileName);
    if (ext == L".JPG" || ext == L".JPEG") return GetJPEGSize(data, error);
    if (ext == L".PNG") return GetPNGSize(data, error);
    if (ext == L".GIF") return GetGIFSize(data, error);
    if (ext == L".BMP") return GetBMPSize(data, error);
    if (ext == L".TIF" || ext == L".TIFF") return GetTIFFSize(data, error);
    if (error) *error = "no size probe for this file extension";
    return TImageSize{};
}

}  // namespace kel
