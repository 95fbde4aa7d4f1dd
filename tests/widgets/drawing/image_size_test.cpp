// Header size probes: fixtures checked against the sizes an independent
// reader reported (data/sizes.txt), then hand-made headers for the rules and
// the faults.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/widgets/drawing/test_data.h"
#include "widgets/drawing/ImageSizeProbes.h"

namespace kel {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ImageSizeProbes, AgreeWithTheIndependentReaderOnEveryFixture) {
    std::ifstream list(std::filesystem::path(test::DataFile("sizes.txt")));
    ASSERT_TRUE(list) << "sizes.txt";
    std::string line;
    int checked = 0;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream row(line);
        std::string name;
        uint32_t w = 0, h = 0;
        row >> name >> w >> h;
        Bytes data = test::DataBytes(name);
        ASSERT_FALSE(data.empty()) << name;
        std::string error;
        TImageSize size = GetImageSizeByExtension(std::wstring(name.begin(), name.end()), data, &error);
        EXPECT_EQ(size, (TImageSize{w, h})) << name << ": " << error;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

struct ProbeRow {
    const char* what;
    TImageSize (*probe)(std::span<const uint8_t>, std::string*);
    Bytes data;
    TImageSize expected;
    const char* error;  // part of the message when the probe finds nothing
};

void RunRows(const std::vector<ProbeRow>& rows) {
    for (const ProbeRow& r : rows) {
        std::string error;
        TImageSize size = r.probe(r.data, &error);
        EXPECT_EQ(size, r.expected) << r.what;
        if (r.error)
            EXPECT_NE(error.find(r.error), std::string::npos) << r.what << ": " << error;
        else
            EXPECT_TRUE(error.empty()) << r.what << ": " << error;
    }
}

TEST(GetJPEGSize, ReadsTheFirstFrameHeader) {
    RunRows({
        {"baseline frame after an APP0 segment",
         GetJPEGSize,
         {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0xAA, 0xBB, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x05, 0x00, 0x07},
         {7, 5},
         nullptr},
        {"fill bytes before markers",
         GetJPEGSize,
         {0xFF, 0xD8, 0xFF, 0xFF, 0xFF, 0xE1, 0x00, 0x02, 0xFF, 0xFF, 0xC2, 0x00, 0x11, 0x08, 0x01, 0x00, 0x02, 0x00},
         {512, 256},
         nullptr},
        {"markers without a segment are passed over",
         GetJPEGSize,
         {0xFF, 0xD8, 0xFF, 0x01, 0xFF, 0xD3, 0xFF, 0xC1, 0x00, 0x11, 0x08, 0x00, 0x09, 0x00, 0x0A},
         {10, 9},
         nullptr},
        {"a Huffman table (C4) is a segment, not a frame",
         GetJPEGSize,
         {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x04, 0x00, 0x00, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x02, 0x00, 0x03},
         {3, 2},
         nullptr},
        {"lossless frame (C3) is a frame too",
         GetJPEGSize,
         {0xFF, 0xD8, 0xFF, 0xC3, 0x00, 0x0B, 0x08, 0x00, 0x10, 0x00, 0x20},
         {32, 16},
         nullptr},
        {"arithmetic progressive frame (CA)",
         GetJPEGSize,
         {0xFF, 0xD8, 0xFF, 0xCA, 0x00, 0x0B, 0x08, 0x01, 0x2C, 0x00, 0xC8},
         {200, 300},
         nullptr},
        {"no start of image", GetJPEGSize, {0x00, 0xD8, 0xFF, 0xC0}, {}, "start-of-image"},
        {"segment length below 2", GetJPEGSize, {0xFF, 0xD8, 0xFF, 0xE1, 0x00, 0x01, 0xFF, 0xC0}, {}, "below 2"},
        {"segment longer than the data", GetJPEGSize, {0xFF, 0xD8, 0xFF, 0xE1, 0x40, 0x00, 0xFF}, {}, "segment"},
        {"end of image before any frame", GetJPEGSize, {0xFF, 0xD8, 0xFF, 0xD9}, {}, "end-of-image"},
        {"data where a marker belongs", GetJPEGSize, {0xFF, 0xD8, 0x12, 0x34}, {}, "marker"},
        {"frame header cut short", GetJPEGSize, {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00}, {}, "frame"},
        {"empty", GetJPEGSize, {}, {}, "JPEG"},
    });
}

Bytes PngHeader(uint32_t w, uint32_t h, const char* type = "IHDR") {
    Bytes b = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13};
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(type[i]));
    for (uint32_t v : {w, h})
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<uint8_t>(v >> shift));
    return b;
}

TEST(GetPNGSize, ReadsTheWholeIHDRWidthAndHeight) {
    Bytes badSignature = PngHeader(5, 5);
    badSignature[1] = 'Q';
    Bytes cut = PngHeader(5, 5);
    cut.resize(22);
    RunRows({
        {"small", GetPNGSize, PngHeader(300, 17), {300, 17}, nullptr},
        {"wider than 16 bits", GetPNGSize, PngHeader(0x00012345, 0x00010001), {0x12345, 0x10001}, nullptr},
        {"wrong signature", GetPNGSize, badSignature, {}, "signature"},
        {"first chunk not IHDR", GetPNGSize, PngHeader(5, 5, "gAMA"), {}, "IHDR"},
        {"height cut off", GetPNGSize, cut, {}, "height"},
    });
}

Bytes GifHeader(uint8_t flags) {
    return {'G', 'I', 'F', '8', '9', 'a', 4, 0, 3, 0, flags, 0, 0};
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(GetGIFSize, WalksBlocksToTheFirstImageDescriptor) {
    const Bytes descriptor = {0x2C, 1, 0, 2, 0, 0x34, 0x12, 0x07, 0x00, 0x00, 0x02};
    // A global colour table of 4 entries whose bytes include 0x2C.
    const Bytes table = {0x2C, 0x2C, 0x2C, 0, 0, 0, 0x2C, 1, 2, 3, 4, 5};
    // A plain-text extension whose data is mostly 0x2C.
    const Bytes extension = {0x21, 0x01, 5, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 2, 0x2C, 0x2C, 0};
    RunRows({
        {"descriptor right after the header", GetGIFSize, Concat({GifHeader(0), descriptor}), {0x1234, 7}, nullptr},
        {"colour table holding 0x2C bytes", GetGIFSize, Concat({GifHeader(0x81), table, descriptor}), {0x1234, 7},
         nullptr},
        {"extension sub-blocks holding 0x2C bytes", GetGIFSize, Concat({GifHeader(0), extension, descriptor}),
         {0x1234, 7}, nullptr},
        {"trailer before any image", GetGIFSize, Concat({GifHeader(0), extension, {0x3B}}), {}, "trailer"},
        {"unknown block", GetGIFSize, Concat({GifHeader(0), {0x99}}), {}, "unknown"},
        {"descriptor cut short", GetGIFSize, Concat({GifHeader(0), {0x2C, 0, 0, 0, 0, 5}}), {}, "image width"},
        {"extension running past the end", GetGIFSize, Concat({GifHeader(0), {0x21, 0xFE, 200, 1}}), {},
         "sub-block"},
        {"colour table running past the end", GetGIFSize, GifHeader(0x87), {}, "colour table"},
        {"not a GIF", GetGIFSize, {'G', 'I', 'X', '8', '9', 'a', 1, 0, 1, 0, 0, 0, 0}, {}, "signature"},
        {"short header", GetGIFSize, {'G', 'I', 'F', '8'}, {}, "header"},
    });
}

Bytes BmpHeader(uint32_t infoSize, int32_t w, int32_t h) {
    Bytes b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (uint32_t v : {infoSize, static_cast<uint32_t>(w), static_cast<uint32_t>(h)})
        for (int shift = 0; shift < 32; shift += 8) b.push_back(static_cast<uint8_t>(v >> shift));
    return b;
}

TEST(GetBMPSize, ReadsBothHeaderKindsAndTopDownHeights) {
    Bytes core = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 12, 0, 0, 0, 0x20, 0x01, 0x10, 0x00};
    Bytes cut = BmpHeader(40, 5, 5);
    cut.resize(24);
    RunRows({
        {"bottom-up", GetBMPSize, BmpHeader(40, 37, 21), {37, 21}, nullptr},
        {"top-down (negative height)", GetBMPSize, BmpHeader(40, 19, -7), {19, 7}, nullptr},
        {"wider than 16 bits", GetBMPSize, BmpHeader(124, 70000, 3), {70000, 3}, nullptr},
        {"OS/2 core header", GetBMPSize, core, {0x120, 0x10}, nullptr},
        {"height cut off", GetBMPSize, cut, {}, "height"},
        {"not a BMP", GetBMPSize, {'B', 'A', 0, 0}, {}, "signature"},
    });
}

struct TiffEntry {
    uint16_t tag, type;
    uint32_t value;
};

Bytes Tiff(bool big, std::vector<TiffEntry> entries, uint16_t version = 42) {
    Bytes b;
    auto put16 = [&](uint16_t v) {
        if (big) {
            b.push_back(static_cast<uint8_t>(v >> 8));
            b.push_back(static_cast<uint8_t>(v));
        } else {
            b.push_back(static_cast<uint8_t>(v));
            b.push_back(static_cast<uint8_t>(v >> 8));
        }
    };
    auto put32 = [&](uint32_t v) {
        if (big) {
            put16(static_cast<uint16_t>(v >> 16));
            put16(static_cast<uint16_t>(v));
        } else {
            put16(static_cast<uint16_t>(v));
            put16(static_cast<uint16_t>(v >> 16));
        }
    };
    b.push_back(big ? 'M' : 'I');
    b.push_back(big ? 'M' : 'I');
    put16(version);
    put32(12);  // IFD after 4 bytes of padding
    put32(0xDEADBEEF);
    put16(static_cast<uint16_t>(entries.size()));
    for (const TiffEntry& e : entries) {
        put16(e.tag);
        put16(e.type);
        put32(1);
        if (e.type == 3) {
            put16(static_cast<uint16_t>(e.value));
            put16(0);
        } else {
            put32(e.value);
        }
    }
    return b;
}

TEST(GetTIFFSize, ReadsWidthAndHeightInTheHeadersByteOrder) {
    Bytes badOrder = Tiff(false, {{256, 3, 1}, {257, 3, 1}});
    badOrder[0] = 'X';
    Bytes farIfd = Tiff(false, {});
    farIfd[4] = 0xFF;
    Bytes cut = Tiff(false, {{256, 3, 9}, {257, 3, 9}});
    cut.resize(24);
    RunRows({
        {"little-endian shorts", GetTIFFSize, Tiff(false, {{254, 4, 0}, {256, 3, 41}, {257, 3, 13}}), {41, 13},
         nullptr},
        {"big-endian shorts", GetTIFFSize, Tiff(true, {{256, 3, 41}, {257, 3, 13}}), {41, 13}, nullptr},
        {"big-endian longs beyond 16 bits", GetTIFFSize, Tiff(true, {{257, 4, 70000}, {256, 4, 0x10002}}),
         {0x10002, 70000}, nullptr},
        {"unknown byte order", GetTIFFSize, badOrder, {}, "byte order"},
        {"BigTIFF version", GetTIFFSize, Tiff(false, {{256, 3, 1}, {257, 3, 1}}, 43), {}, "version"},
        {"IFD beyond the end", GetTIFFSize, farIfd, {}, "IFD"},
        {"height missing", GetTIFFSize, Tiff(false, {{256, 3, 9}}), {}, "missing"},
        {"width as a rational", GetTIFFSize, Tiff(false, {{256, 5, 9}, {257, 3, 9}}), {}, "unsupported type"},
        {"entries cut short", GetTIFFSize, cut, {}, "IFD entry"},
    });
}

TEST(GetImageSizeByExtension, PicksTheProbeByExtensionInAnyCase) {
    Bytes tiff = Tiff(true, {{256, 3, 41}, {257, 3, 13}});
    Bytes png = PngHeader(3, 4);
    Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x00, 0x05, 0x00, 0x07};
    struct Row {
        const wchar_t* name;
        const Bytes* data;
        TImageSize expected;
    } rows[] = {
        {L"a.tif", &tiff, {41, 13}},        {L"C:\\x\\A.TIFF", &tiff, {41, 13}}, {L"p.Png", &png, {3, 4}},
        {L"j.JPEG", &jpeg, {7, 5}},         {L"j.jpg", &jpeg, {7, 5}},          {L"p.ico", &png, {0, 0}},
        {L"dir.png/noext", &png, {0, 0}},   {L"p.jpg", &png, {0, 0}},  // content must match the extension
    };
    for (const Row& r : rows) EXPECT_EQ(GetImageSizeByExtension(r.name, *r.data), r.expected);
}

}  // namespace
}  // namespace kel
