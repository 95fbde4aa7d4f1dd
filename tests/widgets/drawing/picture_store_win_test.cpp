// THTMLPicture under Wine: decoding through OleLoadPicture, sizes at 96
// dots per inch, GIF frames, drawing into 32-bit bitmaps, resources and the
// decoder's failures.
#include <gtest/gtest.h>


#include "framework/core/exceptions.h"
#include "tests/widgets/drawing/test_data.h"
#include "tests/widgets/drawing/win_paint.h"
#include "widgets/drawing/HTMLPicture.h"
#include "widgets/drawing/PictureCache.h"

namespace kel {
namespace {

using test::InkIn;
using test::Near;
using test::Px;

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kYellow = 0xFFFF00;

TEST(HTMLPictureDecode, SizesComeFromTheOlePictureAt96Dpi) {
    struct Row {
        const char* file;
        int width, height, frames;
    } rows[] = {
        {"plain.bmp", 37, 21, -1},
        {"baseline.jpg", 33, 17, -1},
        {"comma.gif", 23, 11, 1},
    };
    for (const auto& row : rows) {
        THTMLPicture p;
        p.LoadFromFile(test::DataFile(row.file));
        ASSERT_TRUE(p.HasPicture()) << row.file;
        EXPECT_EQ(p.Width(), row.width) << row.file;
        EXPECT_EQ(p.Height(), row.height) << row.file;
        EXPECT_EQ(p.NaturalWidth(), row.width) << row.file;
        EXPECT_EQ(p.NaturalHeight(), row.height) << row.file;
        EXPECT_EQ(p.FrameCount(), row.frames) << row.file;
    }
}

// The colour that fills most of the drawn picture.
uint32_t Middle(fw::TBitmap& bmp, const THTMLPicture& p) { return Px(bmp, p.Width() / 2, p.Height() / 2); }

TEST(HTMLPictureDecode, EachGifFrameShowsItsOwnImage) {
    // anim.gif: a red screen, a green patch at (4, 2), a blue one at (8, 4),
    // then a yellow screen.
    struct Row {
        int frame;
        uint32_t colour;
        int width, height;
    } rows[] = {{1, kRed, 24, 16}, {2, kGreen, 10, 6}, {3, kBlue, 12, 8}, {4, kYellow, 24, 16}, {7, kYellow, 24, 16}};
    THTMLPicture p;
    p.LoadFromFile(test::DataFile("anim.gif"));
    for (const auto& row : rows) {
        p.SetFrame(row.frame);
        ASSERT_TRUE(p.HasPicture()) << row.frame;
        EXPECT_EQ(p.NaturalWidth(), 24) << row.frame;  // the logical screen
        EXPECT_EQ(p.NaturalHeight(), 16) << row.frame;
        EXPECT_EQ(p.FrameWidth(), row.width) << row.frame;
        fw::TBitmap bmp(40, 30);
        test::FillWhite(bmp);
        p.Draw(bmp.Canvas(), RECT{0, 0, 40, 30});
        EXPECT_EQ(Middle(bmp, p), row.colour) << row.frame;
    }
}

TEST(HTMLPictureDecode, DrawsAtNaturalSizeOrStretchedAndUpright) {
    // quadrants.bmp: 2 by 2, red and green over blue and white.
    THTMLPicture p;
    p.LoadFromFile(test::DataFile("quadrants.bmp"));
    fw::TBitmap bmp(30, 30);
    test::FillWhite(bmp);
    p.Draw(bmp.Canvas(), RECT{3, 4, 30, 30});
    EXPECT_EQ(Px(bmp, 3, 4), kRed);
    EXPECT_EQ(Px(bmp, 4, 4), kGreen);
    EXPECT_EQ(Px(bmp, 3, 5), kBlue);
    EXPECT_EQ(InkIn(bmp, 0, 0, 30, 30), 3);  // the fourth pixel is white

    test::FillWhite(bmp);
    p.SetStretch(true);
    p.Draw(bmp.Canvas(), RECT{10, 10, 30, 30});
    EXPECT_EQ(Px(bmp, 12, 12), kRed);
    EXPECT_EQ(Px(bmp, 27, 12), kGreen);
    EXPECT_EQ(Px(bmp, 12, 27), kBlue);
    EXPECT_EQ(Px(bmp, 27, 27), kWhite);
    EXPECT_EQ(InkIn(bmp, 0, 0, 30, 10), 0);

    // An empty picture draws nothing.
    p.Assign(nullptr);
    test::FillWhite(bmp);
    p.Draw(bmp.Canvas(), RECT{0, 0, 30, 30});
    EXPECT_EQ(InkIn(bmp, 0, 0, 30, 30), 0);
}

TEST(HTMLPictureDecode, UndecodableBytesLeaveItEmpty) {
    const std::string junk = "this is no picture at all";
    THTMLPicture p;
    test::TextStream in(junk);
    try {
        p.LoadFromStream(&in);
        ADD_FAILURE() << "no exception";
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), L"Could not load image. Invalid format");
    }
    EXPECT_TRUE(p.Empty());
    EXPECT_FALSE(p.HasPicture());

    // A GIF whose header is all there is fails the same way.
    const auto anim = test::DataBytes("anim.gif");
    test::TextStream header(std::string(anim.begin(), anim.begin() + 25));
    EXPECT_THROW(p.LoadFromStream(&header), fw::Exception);
    EXPECT_TRUE(p.Empty());

    // Loading from a file or a source never throws.
    THTMLPicture q;
    EXPECT_NO_THROW(q.LoadFromFile(test::DataFile("sizes.txt")));
    EXPECT_TRUE(q.Empty());
}

TEST(HTMLPictureDecode, ResourceSources) {
    struct Row {
        const wchar_t* source;
        bool empty;
    } rows[] = {{L"RES://KELTESTANIM", false}, {L"res://keltestanim", false}, {L"RES://KELTESTJUNK", true},
                {L"RES://NOSUCHRESOURCE", true}};
    for (const auto& row : rows) {
        THTMLPicture p;
        EXPECT_NO_THROW(p.LoadFromSource(row.source));
        EXPECT_EQ(p.Empty(), row.empty);
        EXPECT_EQ(p.SourceId(), row.source);
        EXPECT_EQ(p.HasPicture(), !row.empty);
    }

    // A missing resource leaves a loaded picture as it was; a cache finds
    // pictures by their source.
    THTMLPictureCache cache;
    THTMLPicture* p = cache.AddPicture();
    p->LoadFromFile(test::DataFile("plain.bmp"));
    p->LoadFromSource(L"RES://NOSUCHRESOURCE");
    EXPECT_TRUE(p->HasPicture());
    EXPECT_EQ(p->Width(), 37);
    EXPECT_EQ(cache.FindPicture(L"RES://NOSUCHRESOURCE"), p);

    THTMLPicture direct;
    direct.LoadFromResourceName(GetModuleHandleW(nullptr), L"KELTESTANIM");
    EXPECT_EQ(direct.FrameCount(), 4);
    EXPECT_EQ(direct.NaturalWidth(), 24);
}

}  // namespace
}  // namespace kel
