// The bounded byte reader: values in both byte orders, reads right up to the
// end, and the message of a read that goes past it.
#include "framework/core/byte_reader.h"

#include <gtest/gtest.h>

#include <functional>

#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace fw {
namespace {

const uint8_t kData[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09};

TEST(ByteReader, ReadsBothByteOrders) {
    struct Row {
        const char* what;
        std::function<uint64_t(TByteReader&)> read;
        uint64_t value;
        std::size_t after;
    };
    const Row rows[] = {
        {"u8", [](TByteReader& r) { return r.ReadU8("f"); }, 0x01, 1},
        {"u16 LE", [](TByteReader& r) { return r.ReadU16LE("f"); }, 0x0201, 2},
        {"u16 BE", [](TByteReader& r) { return r.ReadU16BE("f"); }, 0x0102, 2},
        {"u32 LE", [](TByteReader& r) { return r.ReadU32LE("f"); }, 0x04030201, 4},
        {"u32 BE", [](TByteReader& r) { return r.ReadU32BE("f"); }, 0x01020304, 4},
        {"u64 LE", [](TByteReader& r) { return r.ReadU64LE("f"); }, 0x0807060504030201, 8},
        {"u64 BE", [](TByteReader& r) { return r.ReadU64BE("f"); }, 0x0102030405060708, 8},
    };
    for (const Row& row : rows) {
        TByteReader r(kData, "test");
        EXPECT_EQ(row.read(r), row.value) << row.what;
        EXPECT_EQ(r.Position(), row.after) << row.what;
        EXPECT_EQ(r.Remaining(), sizeof kData - row.after) << row.what;
    }
    // High bytes must not sign-extend.
    const uint8_t high[] = {0xFF, 0xFE, 0xFD, 0xFC};
    TByteReader r(high, "test");
    EXPECT_EQ(r.ReadU32BE("f"), 0xFFFEFDFCu);
}

TEST(ByteReader, ReadsUpToTheEndAndNoFurther) {
    TByteReader r(kData, "test");
    r.Seek(5, "seek");
    EXPECT_EQ(r.ReadU32LE("last"), 0x09080706u);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_TRUE(r.Bytes(0, "nothing").empty());
    r.Seek(sizeof kData, "end");  // the end itself is a valid position
    r.Seek(1, "back");
    r.Skip(sizeof kData - 1, "rest");
    EXPECT_EQ(r.Remaining(), 0u);

    const std::string text = "abc";
    TByteReader chars(text, "text");
    EXPECT_EQ(chars.Chars(3, "all"), "abc");
    EXPECT_EQ(chars.Size(), 3u);
}

TEST(ByteReader, FailuresNameFormatFieldAndOffset) {
    struct Row {
        const char* what;
        std::function<void(TByteReader&)> act;
        const char* message;
    };
    const Row rows[] = {
        {"u32 one byte short", [](TByteReader& r) { r.Skip(6, "x"); r.ReadU32BE("width"); },
         "PNG: width: needs 4 bytes at offset 6, only 3 left"},
        {"u64 on a short tail", [](TByteReader& r) { r.Seek(2, "x"); r.ReadU64LE("stamp"); },
         "PNG: stamp: needs 8 bytes at offset 2, only 7 left"},
        {"huge skip", [](TByteReader& r) { r.Skip(0xFFFFFFFFFFull, "segment"); },
         "PNG: segment: needs 1099511627775 bytes at offset 0, only 9 left"},
        {"seek beyond the end", [](TByteReader& r) { r.Seek(10, "first IFD"); },
         "PNG: first IFD: offset 10 lies beyond the end of the 9 bytes"},
        {"caller's own check", [](TByteReader& r) { r.ReadU16LE("version"); r.Fail("version", "is not 42"); },
         "PNG: version: is not 42 (at offset 2)"},
    };
    for (const Row& row : rows) {
        TByteReader r(kData, "PNG");
        try {
            row.act(r);
            ADD_FAILURE() << row.what << ": no exception";
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), AnsiToWide(row.message)) << row.what;
            EXPECT_STREQ(e.what(), row.message) << row.what;
        }
    }
    // A failed read leaves the position where it was.
    TByteReader r(kData, "PNG");
    r.Skip(7, "x");
    EXPECT_THROW(r.ReadU32LE("tail"), EReadError);
    EXPECT_EQ(r.Position(), 7u);
    EXPECT_EQ(r.ReadU16LE("tail"), 0x0908u);
}

}  // namespace
}  // namespace fw
