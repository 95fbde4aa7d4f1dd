// The picture holder: owning a graphic, passing its changes on, copying
// another holder's graphic, drawing it.
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/gui/graphics.h"
#include "framework/gui/picture.h"

namespace fw {
namespace {

// A graphic that fills its rectangle in one colour.
class TColourGraphic : public TGraphic {
public:
    TColor colour = clNone;

    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TColourGraphic>(); }
    bool Empty() const override { return colour == clNone; }
    int Width() const override { return Empty() ? 0 : 3; }
    int Height() const override { return Empty() ? 0 : 2; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    void Draw(TCanvas& canvas, const RECT& rect) override {
        canvas.Brush().SetColor(colour);
        canvas.FillRect(rect);
    }
    void Assign(const TGraphic* source) override {
        const auto* other = dynamic_cast<const TColourGraphic*>(source);
        SetColour(other ? other->colour : clNone);
    }
    void SetColour(TColor c) {
        colour = c;
        Changed();
    }
    void LoadFromFile(const std::wstring&) override {}
    void LoadFromStream(TStream*) override {}
    void SaveToStream(TStream*) const override {}
    void ReadData(TStream&) override {}
    void WriteData(TStream&) const override {}
};

TEST(Picture, OwnsAGraphicAndPassesItsChangesOn) {
    TPicture p;
    int changes = 0;
    p.OnChange = [&] { ++changes; };
    EXPECT_EQ(p.Graphic(), nullptr);
    EXPECT_EQ(p.Width(), 0);

    auto g = std::make_unique<TColourGraphic>();
    TColourGraphic* raw = g.get();
    p.SetGraphic(std::move(g));
    EXPECT_EQ(changes, 1);
    raw->SetColour(clRed);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(p.Width(), 3);
    EXPECT_EQ(p.Height(), 2);

    TBitmap bmp(6, 4);
    bmp.Canvas().Brush().SetColor(clWhite);
    bmp.Canvas().FillRect(RECT{0, 0, 6, 4});
    p.Draw(bmp.Canvas(), RECT{1, 1, 4, 3});
    GdiFlush();
    EXPECT_EQ(bmp.ScanLine(1)[1] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(bmp.ScanLine(0)[0] & 0xFFFFFF, 0xFFFFFFu);

    p.SetGraphic(nullptr);
    EXPECT_EQ(changes, 3);
    p.Draw(bmp.Canvas(), RECT{0, 0, 6, 4});  // nothing to draw
}

TEST(Picture, AssignCopiesIntoANewGraphicOfTheSameClass) {
    TPicture source, target;
    auto g = std::make_unique<TColourGraphic>();
    g->colour = clBlue;
    TColourGraphic* original = g.get();
    source.SetGraphic(std::move(g));

    int changes = 0;
    target.OnChange = [&] { ++changes; };
    target.Assign(&source);
    auto* copy = dynamic_cast<TColourGraphic*>(target.Graphic());
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, original);
    EXPECT_EQ(copy->colour, clBlue);
    EXPECT_EQ(changes, 1);

    original->SetColour(clGreen);  // the copy stays as it was
    EXPECT_EQ(copy->colour, clBlue);

    TPicture empty;
    target.Assign(&empty);
    EXPECT_EQ(target.Graphic(), nullptr);
    target.Assign(&source);
    target.Assign(nullptr);
    EXPECT_EQ(target.Graphic(), nullptr);
}

}  // namespace
}  // namespace fw
