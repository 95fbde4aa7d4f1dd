// The platform pieces the forms draw with: GDI canvas, GDI+ text in the fonts
// the prefix provides, and OpenGL on a window.
#include <windows.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <objidl.h>

#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include "framework/gui/forms.h"
#include "framework/gui/graphics.h"
#include "tests/support/win_test_app.h"

namespace fw {
namespace {

TEST(Canvas, FillsAndDrawsIntoA32BitBitmap) {
    TBitmap bmp(20, 10);
    TCanvas& c = bmp.Canvas();
    c.Brush().SetColor(RGBColor(10, 20, 30));
    c.FillRect(RECT{0, 0, 20, 10});
    c.Pen().SetColor(clRed);
    c.MoveTo(0, 5);
    c.LineTo(20, 5);
    GdiFlush();
    EXPECT_EQ(bmp.ScanLine(0)[0] & 0xFFFFFF, 0x0A141Eu);  // 0xRRGGBB in the DIB
    EXPECT_EQ(bmp.ScanLine(5)[7] & 0xFFFFFF, 0xFF0000u);
    // clNone draws nothing.
    c.Brush().SetColor(clNone);
    c.FillRect(RECT{0, 0, 20, 10});
    GdiFlush();
    EXPECT_EQ(bmp.ScanLine(0)[0] & 0xFFFFFF, 0x0A141Eu);
}

class GdiPlus : public ::testing::Test {
protected:
    void SetUp() override {
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&token_, &input, nullptr), Gdiplus::Ok);
    }
    void TearDown() override { Gdiplus::GdiplusShutdown(token_); }
    ULONG_PTR token_ = 0;
};

TEST_F(GdiPlus, MeasuresNonEmptyTextInArialAndTahoma) {
    using namespace Gdiplus::DllExports;
    HDC dc = GetDC(nullptr);
    Gdiplus::GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &g), Gdiplus::Ok);
    for (const wchar_t* face : {L"Arial", L"Tahoma", L"Segoe UI"}) {
        Gdiplus::GpFontFamily* family = nullptr;
        ASSERT_EQ(GdipCreateFontFamilyFromName(face, nullptr, &family), Gdiplus::Ok) << face;
        Gdiplus::GpFont* font = nullptr;
        ASSERT_EQ(GdipCreateFont(family, 12.0f, 0, Gdiplus::UnitPixel, &font), Gdiplus::Ok) << face;
        Gdiplus::RectF layout(0, 0, 1000, 100), box;
        ASSERT_EQ(GdipMeasureString(g, L"Scan line", -1, font, &layout, nullptr, &box, nullptr, nullptr), Gdiplus::Ok);
        EXPECT_GT(box.Width, 20.0f) << face;
        EXPECT_GT(box.Height, 5.0f) << face;
        GdipDeleteFont(font);
        GdipDeleteFontFamily(family);
    }
    GdipDeleteGraphics(g);
    ReleaseDC(nullptr, dc);
}

TEST(OpenGL, ContextOnAWindowReadsBackTheClearedColour) {
    auto& app = test::TestApplication();
    auto* form = app.CreateForm<TForm>(std::wstring(L"TFwGLTestForm"));
    form->SetBorderStyle(TFormBorderStyle::bsNone);
    form->SetBounds(0, 0, 64, 64);
    form->Show();
    HDC dc = GetDC(form->Handle());
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(pfd);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    int format = ChoosePixelFormat(dc, &pfd);
    ASSERT_NE(format, 0);
    ASSERT_TRUE(SetPixelFormat(dc, format, &pfd));
    HGLRC rc = wglCreateContext(dc);
    ASSERT_NE(rc, nullptr);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    glViewport(0, 0, 64, 64);
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    unsigned char px[4] = {};
    glReadPixels(10, 10, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 255);
    EXPECT_EQ(px[2], 0);
    wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(rc);
    ReleaseDC(form->Handle(), dc);
    form->Free();
}

}  // namespace
}  // namespace fw
