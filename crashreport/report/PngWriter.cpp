#include "crashreport/report/PngWriter.h"

#include <zlib.h>

#include <vector>

namespace drevnik {

namespace {

constexpr uint8_t kPngSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// The deflate stream of the image data and its output buffer of one IDAT chunk.
class TPngDeflate {
public:
    explicit TPngDeflate(std::string& out) : out_(out), buffer_(kIdatChunkSize) {}
    TPngDeflate(const TPngDeflate&) = delete;
    TPngDeflate& operator=(const TPngDeflate&) = delete;
    ~TPngDeflate() {
        if (started_) deflateEnd(&z_);
    }

    bool StartPngDeflate() {
        started_ = deflateInit(&z_, 9) == Z_OK;
        ResetOutput();
        return started_;
    }

    // Hands the bytes to deflate without flushing; a full output buffer is one IDAT chunk.
    bool DeflateIntoIdat(const uint8_t* data, std::size_t count) {
        while (count > 0) {
            // avail_in is 32-bit; feed large inputs in pieces.
            const uInt piece = count > 0x40000000u ? 0x40000000u : static_cast<uInt>(count);
            z_.next_in = const_cast<Bytef*>(data);
            z_.avail_in = piece;
            while (z_.avail_in > 0) {
                if (deflate(&z_, Z_NO_FLUSH) == Z_STREAM_ERROR) return false;
                if (z_.avail_out == 0) FlushFullBuffer();
            }
            data += piece;
            count -= piece;
        }
        return true;
    }

    bool Finish() {
        for (;;) {
            const int result = deflate(&z_, Z_FINISH);
            if (result == Z_STREAM_ERROR) return false;
            if (z_.avail_out == 0) {
                FlushFullBuffer();
                if (result != Z_STREAM_END) continue;
            }
            if (result == Z_STREAM_END) break;
            if (result != Z_OK) return false;
        }
        const std::size_t rest = buffer_.size() - z_.avail_out;
        if (rest > 0) WritePngChunk(out_, "IDAT", buffer_.data(), rest);
        return true;
    }

private:
    void ResetOutput() {
        z_.next_out = buffer_.data();
        z_.avail_out = static_cast<uInt>(buffer_.size());
    }
    void FlushFullBuffer() {
        WritePngChunk(out_, "IDAT", buffer_.data(), buffer_.size());
        ResetOutput();
    }

    std::string& out_;
    std::vector<uint8_t> buffer_;
    z_stream z_{};
    bool started_ = false;
};

}  // namespace

uint32_t UpdatePngCrc(uint32_t crc, const uint8_t* data, std::size_t count) {
    // zlib's crc32 is the PNG CRC with the inversions built in.
    uLong c = ~crc & 0xFFFFFFFFu;
    while (count > 0) {
        const uInt piece = count > 0x40000000u ? 0x40000000u : static_cast<uInt>(count);
        c = crc32(c, data, piece);
        data += piece;
        count -= piece;
    }
    return ~static_cast<uint32_t>(c);
}

void AppendBigEndian32(std::string& out, uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

void WritePngChunk(std::string& out, std::string_view type, const uint8_t* data, std::size_t count) {
    AppendBigEndian32(out, static_cast<uint32_t>(count));
    out.append(type);
    if (count > 0) out.append(reinterpret_cast<const char*>(data), count);
    uint32_t crc = UpdatePngCrc(0xFFFFFFFFu, reinterpret_cast<const uint8_t*>(type.data()), type.size());
    crc = UpdatePngCrc(crc, data, count);
    AppendBigEndian32(out, ~crc);
}

bool WritePngImage(std::string& out, const TIndexedImage& image, const TPngPalette& palette) {
    if (image.Width == 0 || image.Height == 0 || image.Width > 0x7FFFFFFFu || image.Height > 0x7FFFFFFFu ||
        image.RowBytes < image.Width || image.Rows == nullptr)
        return false;
    std::string png;
    png.append(reinterpret_cast<const char*>(kPngSignature), sizeof kPngSignature);

    std::string header;
    AppendBigEndian32(header, image.Width);
    AppendBigEndian32(header, image.Height);
    header += std::string{'\x08', '\x03', '\x00', '\x00', '\x00'};  // depth 8, palette, deflate, no filter, no interlace
    WritePngChunk(png, "IHDR", reinterpret_cast<const uint8_t*>(header.data()), header.size());

    uint8_t colors[768];
    for (std::size_t i = 0; i < 256; ++i) {
        colors[i * 3] = palette[i].Red;
        colors[i * 3 + 1] = palette[i].Green;
        colors[i * 3 + 2] = palette[i].Blue;
    }
    WritePngChunk(png, "PLTE", colors, sizeof colors);

    TPngDeflate stream(png);
    if (!stream.StartPngDeflate()) return false;
    static constexpr uint8_t kFilterNone = 0;
    for (uint32_t y = 0; y < image.Height; ++y) {
        const std::size_t stored = image.BottomUp ? image.Height - 1 - y : y;
        const uint8_t* row = image.Rows + stored * image.RowBytes;
        if (!stream.DeflateIntoIdat(&kFilterNone, 1) || !stream.DeflateIntoIdat(row, image.Width)) return false;
    }
    if (!stream.Finish()) return false;
    WritePngChunk(png, "IEND", nullptr, 0);
    out += png;
    return true;
}

}  // namespace drevnik
