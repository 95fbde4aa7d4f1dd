// The GIF block walker: frames of a multi-frame fixture checked against what
// PIL read from it (data/gif_frames.txt), frame copies, clamping and damage.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tests/widgets/drawing/test_data.h"
#include "widgets/drawing/GifLayout.h"

namespace kel {

void PrintTo(const TGifFrame& f, std::ostream* os) {
    *os << "start " << f.Start << " at " << f.Left << "," << f.Top << " " << f.Width << "x" << f.Height;
}

namespace {

using Bytes = std::vector<uint8_t>;

// The screen and frames PIL reported.
struct PilRecord {
    uint16_t screenWidth = 0, screenHeight = 0;
    std::vector<TGifFrame> frames;  // Start left 0
};

PilRecord ReadPilRecord() {
    PilRecord rec;
    std::ifstream in(std::filesystem::path(test::DataFile("gif_frames.txt")));
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream row(line);
        std::string kind;
        row >> kind;
        if (kind == "screen") row >> rec.screenWidth >> rec.screenHeight;
        if (kind == "frame") {
            TGifFrame f;
            row >> f.Left >> f.Top >> f.Width >> f.Height;
            rec.frames.push_back(f);
        }
    }
    return rec;
}

TEST(GifLayout, FramesOfTheFixtureAreThoseThatPilRead) {
    const Bytes data = test::DataBytes("anim.gif");
    const PilRecord pil = ReadPilRecord();
    ASSERT_EQ(pil.frames.size(), 4u);

    // The comment before the first frame holds the bytes of a control
    // extension followed by a descriptor; walking blocks never counts them.
    const TGifLayout layout = ReadGifLayout(data);
    EXPECT_EQ(layout.Fault, "");
    EXPECT_EQ(layout.ScreenWidth, pil.screenWidth);
    EXPECT_EQ(layout.ScreenHeight, pil.screenHeight);
    ASSERT_EQ(layout.Frames.size(), pil.frames.size());
    for (size_t i = 0; i < pil.frames.size(); ++i) {
        TGifFrame f = layout.Frames[i];
        EXPECT_EQ(data.at(f.Start), 0x21) << i;  // each frame begins with its control extension
        EXPECT_EQ(data.at(f.Start + 1), 0xF9) << i;
        f.Start = 0;
        EXPECT_EQ(f, pil.frames[i]) << i;
    }
    // The prefix keeps the loop extension and the comment.
    EXPECT_EQ(layout.PrefixEnd, layout.Frames[0].Start);
    const std::string prefix(data.begin(), data.begin() + static_cast<long>(layout.PrefixEnd));
    EXPECT_NE(prefix.find("NETSCAPE2.0"), std::string::npos);
    EXPECT_NE(prefix.find('\xFE'), std::string::npos);

    EXPECT_EQ(ReadGifLayout(data, 1).Frames.size(), 1u);
}

TEST(GifLayout, FrameCopyPutsTheFrameFirstAndClampsTheNumber) {
    const Bytes data = test::DataBytes("anim.gif");
    const TGifLayout layout = ReadGifLayout(data);
    EXPECT_EQ(GifFrameCopy(data, layout, 1), data);

    const Bytes third = GifFrameCopy(data, layout, 3);
    EXPECT_EQ(third.size(), data.size() - (layout.Frames[2].Start - layout.Frames[0].Start));
    const TGifLayout copy = ReadGifLayout(third);
    EXPECT_EQ(copy.Fault, "");
    EXPECT_EQ(copy.ScreenWidth, 24);
    ASSERT_EQ(copy.Frames.size(), 2u);
    EXPECT_EQ(copy.Frames[0].Left, layout.Frames[2].Left);
    EXPECT_EQ(copy.Frames[0].Width, layout.Frames[2].Width);
    EXPECT_EQ(copy.Frames[1].Height, layout.Frames[3].Height);

    struct Row {
        int asked, shown;
    } rows[] = {{0, 1}, {-5, 1}, {4, 4}, {9, 4}, {INT32_MAX, 4}};
    for (const auto& row : rows) {
        EXPECT_EQ(ClampGifFrame(row.asked, 4), row.shown) << row.asked;
        EXPECT_EQ(GifFrameCopy(data, layout, row.asked), GifFrameCopy(data, layout, row.shown)) << row.asked;
    }
    EXPECT_EQ(ClampGifFrame(3, 0), 1);
}

Bytes Gif(std::initializer_list<Bytes> blocks) {
    Bytes out = {'G', 'I', 'F', '8', '9', 'a', 5, 0, 6, 0, 0, 0, 0};
    for (const Bytes& b : blocks) out.insert(out.end(), b.begin(), b.end());
    out.push_back(0x3B);
    return out;
}

TEST(GifLayout, AFrameStartsAtTheControlExtensionOfItsImage) {
    const Bytes control = {0x21, 0xF9, 4, 0, 0, 0, 0, 0};
    const Bytes comment = {0x21, 0xFE, 2, 'h', 'i', 0};
    const Bytes text = {0x21, 0x01, 2, 0, 0, 0};
    const Bytes image = {0x2C, 1, 0, 2, 0, 3, 0, 4, 0, 0, 2, 1, 0, 0};  // no colour table, one data sub-block
    const Bytes imageWithTable = {0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0x80, 0x2C, 0x2C, 0x2C, 0x21, 0xF9, 0x04, 2, 0};
    struct Row {
        const char* what;
        Bytes data;
        std::vector<size_t> starts;
    } rows[] = {
        {"control right before the image", Gif({control, image}), {13}},
        {"comment between control and image", Gif({control, comment, image}), {13}},
        {"image without control", Gif({comment, image, image}), {19, 33}},
        {"control used up by a plain text", Gif({control, text, image}), {27}},
        {"local colour table holding block bytes", Gif({imageWithTable, control, image}), {13, 31}},
        {"padding between blocks", Gif({{0}, image}), {14}},
    };
    for (const auto& row : rows) {
        const TGifLayout layout = ReadGifLayout(row.data);
        EXPECT_EQ(layout.Fault, "") << row.what;
        std::vector<size_t> starts;
        for (const auto& f : layout.Frames) starts.push_back(f.Start);
        EXPECT_EQ(starts, row.starts) << row.what;
    }
}

TEST(GifLayout, DamageKeepsTheFramesBeforeIt) {
    const Bytes data = test::DataBytes("anim.gif");
    const TGifLayout whole = ReadGifLayout(data);
    struct Row {
        const char* what;
        size_t cut;  // bytes kept
        size_t frames;
        const char* fault;
    } rows[] = {
        {"cut inside the third frame's data", whole.Frames[3].Start - 1, 3, "image data sub-block"},
        {"cut before the trailer", data.size() - 1, 4, "block introducer"},
        {"cut inside the screen descriptor", 8, 0, "logical screen height"},
        {"cut inside the colour table", 20, 0, "global colour table"},
    };
    for (const auto& row : rows) {
        const TGifLayout layout = ReadGifLayout(std::span(data).first(row.cut));
        EXPECT_EQ(layout.Frames.size(), row.frames) << row.what;
        EXPECT_NE(layout.Fault.find(row.fault), std::string::npos) << row.what << ": " << layout.Fault;
        EXPECT_EQ(layout.Fault.rfind("GIF: ", 0), 0u) << row.what;
    }
    // Not a GIF at all, and an unknown block after a frame.
    EXPECT_NE(ReadGifLayout(Bytes{'P', 'N', 'G', '8', '9', 'a'}).Fault.find("signature"), std::string::npos);
    const Bytes bad = Gif({{0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 0}, {0x77}});
    const TGifLayout layout = ReadGifLayout(bad);
    EXPECT_EQ(layout.Frames.size(), 1u);
    EXPECT_NE(layout.Fault.find("unknown"), std::string::npos);
}

TEST(GifLayout, GifDataBeginsWithGif8AndHasFiveBytes) {
    EXPECT_TRUE(IsGifData(Bytes{'G', 'I', 'F', '8', '9'}));
    EXPECT_TRUE(IsGifData(test::DataBytes("anim.gif")));
    EXPECT_FALSE(IsGifData(Bytes{'G', 'I', 'F', '8'}));
    EXPECT_FALSE(IsGifData(Bytes{'G', 'I', 'F', '7', '9', 'a'}));
    EXPECT_FALSE(IsGifData(test::DataBytes("quadrants.png")));
}

}  // namespace
}  // namespace kel
