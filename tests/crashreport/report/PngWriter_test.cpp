// The palette PNG: chunk layout and CRCs, the IDAT split at 262143 bytes,
// the rows inside the zlib stream, and pngcheck's verdict on the file.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "crashreport/report/PngWriter.h"

namespace drevnik {
namespace {

struct TChunk {
    std::string Type;
    std::string Data;
};

uint32_t BigEndian(const std::string& s, std::size_t at) {
    return (uint32_t{static_cast<uint8_t>(s[at])} << 24) | (uint32_t{static_cast<uint8_t>(s[at + 1])} << 16) |
           (uint32_t{static_cast<uint8_t>(s[at + 2])} << 8) | static_cast<uint8_t>(s[at + 3]);
}

// Splits the file into chunks, checking each CRC with zlib's own crc32.
std::vector<TChunk> ParseChunks(const std::string& png) {
    std::vector<TChunk> chunks;
    EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian(png, at);
        TChunk c{png.substr(at + 4, 4), png.substr(at + 8, length)};
        const std::string covered = png.substr(at + 4, 4 + length);
        const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(covered.data()), static_cast<uInt>(covered.size()));
        EXPECT_EQ(BigEndian(png, at + 8 + length), static_cast<uint32_t>(crc)) << c.Type;
        chunks.push_back(std::move(c));
        at += 12 + length;
    }
    EXPECT_EQ(at, png.size());
    return chunks;
}

std::string Inflate(const std::string& data) {
    std::string out(64u << 20, '\0');
    uLongf size = out.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
                         data.size()),
              Z_OK);
    out.resize(size);
    return out;
}

// pngcheck is a host program; under Wine the screenshot tests' wrapper runs it.
bool PngcheckAccepts(const std::string& png, std::string& output) {
#ifdef _WIN32
    (void)png;
    (void)output;
    return true;
#else
    const std::string path = testing::TempDir() + "drevnik_png_test.png";
    std::ofstream(path, std::ios::binary) << png;
    const std::string command = "pngcheck -q " + path + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return false;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) output += line;
    const int status = pclose(pipe);
    std::remove(path.c_str());
    return status == 0;
#endif
}

TEST(PngWriter, WidthOf1023WritesPaddedRowsAsPixelRows) {
    const uint32_t width = 1023, height = 5;
    const std::size_t rowBytes = 1024;
    std::vector<uint8_t> rows(rowBytes * height);
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < rowBytes; ++x) rows[y * rowBytes + x] = static_cast<uint8_t>(x == 1023 ? 0xEE : y);
    TPngPalette palette{};
    for (std::size_t i = 0; i < 256; ++i) palette[i] = {static_cast<uint8_t>(i), 1, 2, 0};
    std::string png;
    ASSERT_TRUE(WritePngImage(png, {width, height, rowBytes, rows.data(), true}, palette));

    const std::vector<TChunk> chunks = ParseChunks(png);
    ASSERT_EQ(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].Type, "IHDR");
    EXPECT_EQ(chunks[0].Data, std::string("\0\0\x03\xff\0\0\0\x05\x08\x03\0\0\0", 13));
    EXPECT_EQ(chunks[1].Type, "PLTE");
    ASSERT_EQ(chunks[1].Data.size(), 768u);
    EXPECT_EQ(chunks[1].Data.substr(3 * 7, 3), std::string("\x02\x01\x07", 3));  // red, green, blue
    EXPECT_EQ(chunks[2].Type, "IDAT");
    EXPECT_EQ(chunks[3].Type, "IEND");
    EXPECT_TRUE(chunks[3].Data.empty());

    // Bottom-up storage: the image's first row is the last stored one; the
    // padding byte never reaches the file.
    const std::string raw = Inflate(chunks[2].Data);
    ASSERT_EQ(raw.size(), height * (1 + width));
    for (std::size_t y = 0; y < height; ++y) {
        EXPECT_EQ(raw[y * (1 + width)], '\0');
        EXPECT_EQ(raw.substr(y * (1 + width) + 1, width), std::string(width, static_cast<char>(height - 1 - y)));
    }
    std::string output;
    EXPECT_TRUE(PngcheckAccepts(png, output)) << output;
}

TEST(PngWriter, LargeDataSplitsIntoFullIdatChunks) {
    // Noise barely compresses: about 1 MB of data, several chunks.
    const uint32_t width = 1024, height = 1024;
    std::vector<uint8_t> rows(std::size_t{width} * height);
    std::mt19937 random(7);
    for (uint8_t& b : rows) b = static_cast<uint8_t>(random());
    TPngPalette palette{};
    std::string png;
    ASSERT_TRUE(WritePngImage(png, {width, height, width, rows.data(), false}, palette));

    const std::vector<TChunk> chunks = ParseChunks(png);
    std::string data;
    std::size_t idats = 0;
    for (std::size_t i = 2; i + 1 < chunks.size(); ++i) {
        ASSERT_EQ(chunks[i].Type, "IDAT");
        data += chunks[i].Data;
        ++idats;
        if (i + 2 < chunks.size()) {
            EXPECT_EQ(chunks[i].Data.size(), kIdatChunkSize);
        } else {
            EXPECT_GT(chunks[i].Data.size(), 0u);
            EXPECT_LE(chunks[i].Data.size(), kIdatChunkSize);
        }
    }
    EXPECT_GE(idats, 4u);
    const std::string raw = Inflate(data);
    ASSERT_EQ(raw.size(), std::size_t{height} * (1 + width));
    EXPECT_EQ(raw.substr(1, width), std::string(reinterpret_cast<const char*>(rows.data()), width));
    std::string output;
    EXPECT_TRUE(PngcheckAccepts(png, output)) << output;
}

TEST(PngWriter, RefusesMalformedImages) {
    const uint8_t pixel = 0;
    TPngPalette palette{};
    std::string png = "kept";
    EXPECT_FALSE(WritePngImage(png, {0, 1, 4, &pixel, true}, palette));
    EXPECT_FALSE(WritePngImage(png, {5, 1, 4, &pixel, true}, palette));  // rows shorter than the width
    EXPECT_FALSE(WritePngImage(png, {1, 1, 4, nullptr, true}, palette));
    EXPECT_EQ(png, "kept");
}

}  // namespace
}  // namespace drevnik
