// Pictures drawn on canvases and GDI+ surfaces, measured by GDI+, made from
// bitmaps and resources, and used as textures.
#include <gtest/gtest.h>


#include "tests/widgets/drawing/test_data.h"
#include "tests/widgets/drawing/win_paint.h"
#include "framework/gui/picture.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/HTMLPicture.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {
namespace {

using test::Near;
using test::Px;
using test::Rgb;

constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kWhite = 0xFFFFFF;

// keyed.bmp: 6 by 4 magenta (the bottom-left pixel, so the key) with a blue
// 2 by 2 square at (2, 1).
TEST(PictureDraw, KelPictureDrawsABmpKeyedAtItsOwnSize) {
    fw::TBitmap bmp(20, 20);
    test::FillWhite(bmp);
    TKelGDIPPicture p;
    p.LoadFromFile(test::DataFile("keyed.bmp"));
    p.Draw(bmp.Canvas(), RECT{2, 3, 20, 20});  // larger than the picture
    EXPECT_EQ(test::InkIn(bmp, 0, 0, 20, 20), 4);
    for (auto [x, y] : {std::pair{4, 4}, {5, 4}, {4, 5}, {5, 5}}) EXPECT_EQ(Px(bmp, x, y), kBlue) << x << "," << y;
    EXPECT_EQ(p.Width(), 6);
    EXPECT_EQ(p.Height(), 4);
}

TEST(PictureDraw, GdipPictureStretchesAKeyedBmpIntoTheRect) {
    fw::TBitmap bmp(20, 20);
    test::FillWhite(bmp);
    TGDIPPicture p;
    p.LoadFromFile(test::DataFile("keyed.bmp"));
    p.Draw(bmp.Canvas(), RECT{0, 0, 12, 8});
    EXPECT_EQ(test::InkIn(bmp, 0, 0, 20, 20), 16);
    EXPECT_EQ(Px(bmp, 4, 2), kBlue);
    EXPECT_EQ(Px(bmp, 7, 5), kBlue);
    EXPECT_EQ(Px(bmp, 0, 7), kWhite);
}

bool SomewhereNear(fw::TBitmap& bmp, const RECT& box, uint32_t colour) {
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x)
            if (Near(Px(bmp, x, y), colour, 40)) return true;
    return false;
}

TEST(PictureDraw, OtherFormatsAreStretchedThroughGdiplus) {
    for (bool kelClass : {true, false}) {
        fw::TBitmap bmp(24, 24);
        test::FillWhite(bmp);
        std::unique_ptr<TImageFilePicture> p;
        RECT r{2, 2, 22, 22};
        if (kelClass) {
            auto k = std::make_unique<TKelGDIPPicture>();
            k->LoadFromFile(test::DataFile("quadrants.png"));
            k->Draw(bmp.Canvas(), r);
            p = std::move(k);
        } else {
            auto g = std::make_unique<TGDIPPicture>();
            g->LoadFromFile(test::DataFile("quadrants.png"));
            g->Draw(bmp.Canvas(), r);
            p = std::move(g);
        }
        // How GDI+ interpolates near the edges varies (Wine fades past the
        // last pixel centre); the source's corner colours must show in the
        // corners of the stretched rect.
        EXPECT_TRUE(Near(Px(bmp, 2, 2), Rgb(255, 0, 0), 40)) << std::hex << Px(bmp, 2, 2);
        EXPECT_TRUE(SomewhereNear(bmp, RECT{12, 2, 22, 12}, Rgb(0, 255, 0)));
        EXPECT_TRUE(SomewhereNear(bmp, RECT{2, 12, 12, 22}, Rgb(0, 0, 255)));
        EXPECT_EQ(Px(bmp, 1, 1), kWhite);
        EXPECT_EQ(Px(bmp, 22, 22), kWhite);
        EXPECT_EQ(p->Width(), 2);
        EXPECT_EQ(p->Height(), 2);
    }
}

TEST(PictureDraw, DrawOnGraphicsKeysTransparentBmpsAndStretchesTheRest) {
    TKelGDIPPicture p;
    p.LoadFromFile(test::DataFile("keyed.bmp"));
    ASSERT_FALSE(p.Transparent());

    fw::TBitmap opaque(20, 20);
    test::FillWhite(opaque);
    {
        TGPGraphics g(opaque.Canvas().Handle());
        p.DrawOnGraphics(g, RECT{0, 0, 12, 8});
    }
    EXPECT_TRUE(Near(Px(opaque, 1, 6), Rgb(255, 0, 255), 10)) << std::hex << Px(opaque, 1, 6);
    EXPECT_TRUE(Near(Px(opaque, 5, 3), Rgb(0, 0, 255), 10)) << std::hex << Px(opaque, 5, 3);
    EXPECT_EQ(Px(opaque, 13, 9), kWhite);

    p.SetTransparent(true);
    fw::TBitmap keyed(20, 20);
    test::FillWhite(keyed);
    {
        TGPGraphics g(keyed.Canvas().Handle());
        p.DrawOnGraphics(g, RECT{2, 3, 20, 20});
    }
    EXPECT_EQ(test::InkIn(keyed, 0, 0, 20, 20), 4);
    EXPECT_EQ(Px(keyed, 4, 4), kBlue);
    EXPECT_EQ(Px(keyed, 5, 5), kBlue);
}

TEST(PictureMeasure, UpdateImageSizeDecodesTheKeptBytes) {
    TGDIPPicture p;
    const auto tiff = test::DataBytes("big.tif");
    test::TextStream data(std::string(tiff.begin(), tiff.end()));
    p.LoadFromStream(&data);
    EXPECT_EQ(p.Width(), 41);
    EXPECT_EQ(p.Height(), 13);

    // The stored form leaves the size at 0 by 0 until something measures.
    test::TextStream stored;
    p.WriteData(stored);
    TGDIPPicture fromForm;
    test::TextStream in(stored.Text());
    fromForm.ReadData(in);
    EXPECT_EQ(fromForm.Width(), 0);
    EXPECT_TRUE(fromForm.UpdateImageSize());
    EXPECT_EQ(fromForm.Width(), 41);

    // Bytes GDI+ cannot decode: kept, 0 by 0, nothing drawn.
    TKelGDIPPicture junk;
    test::TextStream garbage("not an image at all");
    junk.LoadFromStream(&garbage);
    EXPECT_FALSE(junk.Empty());
    EXPECT_FALSE(junk.UpdateImageSize());
    EXPECT_EQ(junk.Width(), 0);
    fw::TBitmap bmp(8, 8);
    test::FillWhite(bmp);
    junk.Draw(bmp.Canvas(), RECT{0, 0, 8, 8});
    EXPECT_EQ(test::InkIn(bmp, 0, 0, 8, 8), 0);

    TKelGDIPPicture empty;
    EXPECT_FALSE(empty.UpdateImageSize());
}

TEST(PictureSources, BitmapAssignmentKeepsABmpFileOfTheBitmap) {
    fw::TBitmap source(3, 2);
    const fw::TColor colours[2][3] = {{fw::clRed, fw::clLime, fw::clBlue}, {fw::clBlack, fw::clYellow, fw::clAqua}};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) source.Canvas().SetPixel(x, y, colours[y][x]);
    TGDIPPicture p;
    std::string events;
    p.OnChange = [&] { events += "change;"; };
    p.Assign(source);
    EXPECT_EQ(events, "change;");
    ASSERT_GE(p.Bytes().size(), 2u);
    EXPECT_EQ(p.Bytes()[0], 'B');
    EXPECT_EQ(p.Bytes()[1], 'M');
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Height(), 2);

    fw::TBitmap bmp(3, 2);
    test::FillWhite(bmp);
    p.Draw(bmp.Canvas(), RECT{0, 0, 3, 2});
    EXPECT_EQ(Px(bmp, 0, 0), 0xFF0000u);
    EXPECT_EQ(Px(bmp, 2, 0), 0x0000FFu);
    EXPECT_EQ(Px(bmp, 0, 1), kWhite);  // black, the bottom-left pixel, is the key
    EXPECT_EQ(Px(bmp, 2, 1), 0x00FFFFu);

    fw::TBitmap none;
    p.Assign(none);
    EXPECT_TRUE(p.Empty());
    EXPECT_FALSE(p.HasBytes());
}

TEST(PictureSources, ResourceByNameLoadsItsBytesOrNothing) {
    TGDIPPicture p;
    int changes = 0;
    p.OnChange = [&] { ++changes; };
    p.LoadFromResourceName(GetModuleHandleW(nullptr), L"KELTESTNOSUCHPICTURE");
    EXPECT_TRUE(p.Empty());
    EXPECT_EQ(changes, 0);
    p.LoadFromResourceName(GetModuleHandleW(nullptr), L"KELTESTQUADRANTS");
    EXPECT_EQ(p.Bytes(), test::DataBytes("quadrants.png"));
    EXPECT_EQ(p.Width(), 2);
    EXPECT_EQ(changes, 1);
}

TEST(PictureSources, PictureHolderGivesItsGraphicOrItsSavedFile) {
    const auto file = test::DataBytes("keyed.bmp");
    for (bool kelClass : {true, false}) {
        std::unique_ptr<TImageFilePicture> p;
        auto assign = [&](const fw::TPicture& holder) {
            if (kelClass)
                static_cast<TKelGDIPPicture&>(*p).Assign(holder);
            else
                static_cast<TGDIPPicture&>(*p).Assign(holder);
        };
        if (kelClass)
            p = std::make_unique<TKelGDIPPicture>();
        else
            p = std::make_unique<TGDIPPicture>();
        int changes = 0;
        p->OnChange = [&] { ++changes; };

        // A graphic of another class saves itself in its own file format.
        fw::TPicture holder;
        auto html = std::make_unique<THTMLPicture>();
        html->LoadFromFile(test::DataFile("keyed.bmp"));
        holder.SetGraphic(std::move(html));
        assign(holder);
        EXPECT_EQ(p->Bytes(), file);
        EXPECT_FALSE(p->Empty());
        EXPECT_EQ(p->Width(), 6);
        EXPECT_EQ(changes, 1);

        // One of the same class is copied; an empty holder clears.
        fw::TPicture same;
        same.SetGraphic(p->NewGraphic());
        same.Graphic()->LoadFromFile(test::DataFile("plain.bmp"));
        assign(same);
        EXPECT_EQ(p->Bytes(), test::DataBytes("plain.bmp"));
        assign(fw::TPicture());
        EXPECT_TRUE(p->Empty());
        EXPECT_FALSE(p->HasBytes());
    }
}

TEST(TextureFill, TilesThePictureFromTheOriginOfTheGraphics) {
    TKelGDIPPicture p;
    p.LoadFromFile(test::DataFile("quadrants.png"));
    fw::TBitmap bmp(10, 10);
    test::FillWhite(bmp);
    {
        TGPGraphics g(bmp.Canvas().Handle());
        TextureFillRect(p, g, FloatRect(0, 0, 6, 6));
    }
    const uint32_t tile[2][2] = {{Rgb(255, 0, 0), Rgb(0, 255, 0)}, {Rgb(0, 0, 255), kWhite}};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_TRUE(Near(Px(bmp, x, y), tile[y % 2][x % 2], 2)) << x << "," << y;
    EXPECT_EQ(Px(bmp, 6, 0), kWhite);

    fw::TBitmap round(20, 20);
    test::FillWhite(round);
    {
        TGPGraphics g(round.Canvas().Handle());
        TGPGraphicsPath path;
        path.AddEllipse(5, 5, 10, 10);
        TextureFillPath(p, g, path);
        TKelGDIPPicture empty;
        TextureFillRect(empty, g, FloatRect(0, 0, 20, 20));  // nothing
    }
    EXPECT_GT(test::InkIn(round, 5, 5, 15, 15), 40);
    EXPECT_EQ(test::InkIn(round, 0, 0, 20, 4), 0);
}

}  // namespace
}  // namespace kel
