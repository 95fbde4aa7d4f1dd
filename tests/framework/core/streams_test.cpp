// Memory and file streams.
#include "framework/core/streams.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/core/file_io.h"
#include "tests/framework/core/scratch_folder.h"

namespace fw {
namespace {

std::string ReadAll(TStream& s) {
    std::string out(static_cast<std::size_t>(s.Size() - s.Position()), '\0');
    s.ReadBuffer(out.data(), out.size());
    return out;
}

// The same script on both kinds of stream.
void ExerciseStream(TStream& s) {
    s.WriteBuffer("hello world", 11);
    EXPECT_EQ(s.Position(), 11);
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Seek(-5, TSeekOrigin::soEnd), 6);
    EXPECT_EQ(ReadAll(s), "world");
    // A write past the end fills the gap with zeros.
    s.SetPosition(13);
    s.WriteBuffer("!", 1);
    s.SetPosition(0);
    EXPECT_EQ(ReadAll(s), std::string("hello world\0\0!", 14));
    // A short read raises and says how much there was.
    s.SetPosition(10);
    char buf[8];
    try {
        s.ReadBuffer(buf, 8);
        ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), L"Stream read error: 4 of 8 bytes");
    }
    EXPECT_THROW(s.Seek(-1, TSeekOrigin::soBeginning), EReadError);
    s.SetSize(5);
    EXPECT_EQ(s.Size(), 5);
    s.SetPosition(0);
    EXPECT_EQ(ReadAll(s), "hello");
}

TEST(Streams, MemoryStreamReadsWritesSeeksAndResizes) {
    TMemoryStream m;
    ExerciseStream(m);
    m.Clear();
    EXPECT_EQ(m.Size(), 0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(Streams, FileStreamReadsWritesSeeksAndResizes) {
    test::TScratchDir dir;
    {
        TFileStream f(dir / "s.bin", TFileMode::fmCreate);
        ExerciseStream(f);
    }
    EXPECT_EQ(ReadFileBytes(dir / "s.bin"), "hello");
    TFileStream read(dir / "s.bin", TFileMode::fmOpenRead);
    EXPECT_EQ(ReadAll(read), "hello");
    EXPECT_THROW(TFileStream(dir / "missing.bin", TFileMode::fmOpenRead), EInOutError);
    EXPECT_THROW(TFileStream(dir / "no" / "such.bin", TFileMode::fmCreate), EInOutError);
}

TEST(Streams, CopyFromTakesACountOrTheWholeSource) {
    TMemoryStream source;
    source.WriteBuffer("0123456789", 10);
    source.SetPosition(4);
    TMemoryStream dest;
    EXPECT_EQ(dest.CopyFrom(source, 3), 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(dest.Memory()), 3), "456");
    // A count of 0 copies everything from the start.
    TMemoryStream whole;
    EXPECT_EQ(whole.CopyFrom(source, 0), 10);
    EXPECT_EQ(whole.Size(), 10);
    // More than is left raises instead of copying a part silently.
    source.SetPosition(8);
    TMemoryStream cut;
    EXPECT_THROW(cut.CopyFrom(source, 5), EReadError);
}

TEST(Streams, MemoryStreamSavesAndLoadsFiles) {
    test::TScratchDir dir;
    TMemoryStream m;
    m.WriteBuffer("\x00\xFF\r\n", 4);
    m.SaveToFile(dir / "m.bin");
    TMemoryStream back;
    back.WriteBuffer("junk", 4);
    back.LoadFromFile(dir / "m.bin");
    EXPECT_EQ(back.Position(), 0);
    EXPECT_EQ(ReadAll(back), std::string("\x00\xFF\r\n", 4));
    EXPECT_THROW(back.LoadFromFile(dir / "missing.bin"), EInOutError);
    EXPECT_EQ(back.Size(), 4);
}

}  // namespace
}  // namespace fw
