// The Windows half of the pictures: drawing through GDI+ and GDI, bitmaps as
// sources, resources.
#include <windows.h>

#include <cstring>

#include "framework/core/resource_stream.h"
#include "framework/gui/graphics.h"
#include "framework/gui/picture.h"
#include "widgets/drawing/DecodedImage.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/KelGDIP.h"

namespace kel {
namespace {

// Renders a decoded image at its own size into a 32-bit DIB.
bool RenderToBitmap(TGPImage& image, int width, int height, fw::TBitmap& out) {
    out.SetSize(width, height);
    if (out.Empty()) return false;
    TGPGraphics g(out.Canvas().Handle());
    g.DrawImageRectRect(&image, FloatRect(0, 0, static_cast<float>(width), static_cast<float>(height)), 0, 0,
                        static_cast<float>(width), static_cast<float>(height), gpUnitPixel, nullptr);
    GdiFlush();
    // The alpha byte of a 32-bit RGB DIB is reserved; GDI+ leaves it at 255,
    // which keeps TransparentBlt from ever matching the key colour.
    for (int y = 0; y < height; ++y) {
        uint32_t* row = out.ScanLine(y);
        for (int x = 0; x < width; ++x) row[x] &= 0x00FFFFFF;
    }
    return true;
}

// Draws a bitmap into dest with its bottom-left pixel's colour transparent
// (the framework bitmap's automatic transparency).
void DrawKeyed(fw::TCanvas& canvas, fw::TBitmap& bitmap, const RECT& dest) {
    uint32_t pixel = bitmap.ScanLine(bitmap.Height() - 1)[0];  // 0xAARRGGBB
    COLORREF key = RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    TransparentBlt(canvas.Handle(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
                   bitmap.Canvas().Handle(), 0, 0, bitmap.Width(), bitmap.Height(), key);
}

enum class BmpPlacement { OwnSize, Stretched };

// Shared Draw of both classes; returns the decoded size (0 by 0 when the
// bytes do not decode).
void DrawPictureOnCanvas(const TBytes& bytes, fw::TCanvas& canvas, const RECT& rect, BmpPlacement placement,
                         int& width, int& height) {
    width = height = 0;
    TDecodedImage decoded(bytes);
    if (!decoded.Ok()) return;
    width = static_cast<int>(decoded.Image().GetWidth());
    height = static_cast<int>(decoded.Image().GetHeight());
    if (decoded.Image().GetFormatKind() == ifBMP) {
        fw::TBitmap bitmap;
        if (!RenderToBitmap(decoded.Image(), width, height, bitmap)) return;
        RECT dest = rect;
        if (placement == BmpPlacement::OwnSize) dest = RECT{rect.left, rect.top, rect.left + width, rect.top + height};
        DrawKeyed(canvas, bitmap, dest);
        return;
    }
    TGPGraphics g(canvas.Handle());
    g.DrawImageRect(&decoded.Image(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace

// A framework bitmap saved as a BMP file: 32 bits per pixel, bottom-up.
TBytes BitmapFileBytes(fw::TBitmap& bitmap) {
    GdiFlush();
    const int w = bitmap.Width(), h = bitmap.Height();
    const size_t rowBytes = static_cast<size_t>(w) * 4;
    const size_t pixelBytes = rowBytes * static_cast<size_t>(h);
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + pixelBytes);
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof ih;
    ih.biWidth = w;
    ih.biHeight = h;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    ih.biCompression = BI_RGB;
    ih.biSizeImage = static_cast<DWORD>(pixelBytes);
    TBytes bytes(fh.bfOffBits + pixelBytes);
    std::memcpy(bytes.data(), &fh, sizeof fh);
    std::memcpy(bytes.data() + sizeof fh, &ih, sizeof ih);
    uint8_t* out = bytes.data() + fh.bfOffBits;
    for (int y = h - 1; y >= 0; --y, out += rowBytes) std::memcpy(out, bitmap.ScanLine(y), rowBytes);
    return bytes;
}

void TImageFilePicture::AssignBitmapBytes(fw::TBitmap& bitmap) {
    empty_ = true;
    if (bitmap.Empty()) {
        ClearAll();
        Changed();
        return;
    }
    bytes_ = BitmapFileBytes(bitmap);
    empty_ = false;
    StoreSize(0, 0);
    UpdateImageSize();
    Changed();
}

void TImageFilePicture::AssignGraphicBytes(const TGraphic& graphic) {
    fw::TMemoryStream saved;
    graphic.SaveToStream(&saved);
    bytes_ = fw::ReadWholeStream(saved);
    empty_ = false;
    StoreSize(0, 0);
    UpdateImageSize();
    Changed();
}

void TKelGDIPPicture::Assign(fw::TBitmap& bitmap) { AssignBitmapBytes(bitmap); }

void TKelGDIPPicture::Assign(const fw::TPicture& picture) {
    const TGraphic* graphic = picture.Graphic();
    if (!graphic || dynamic_cast<const TKelGDIPPicture*>(graphic))
        Assign(graphic);
    else
        AssignGraphicBytes(*graphic);
}

void TGDIPPicture::Assign(const fw::TPicture& picture) {
    const TGraphic* graphic = picture.Graphic();
    if (!graphic || dynamic_cast<const TGDIPPicture*>(graphic))
        Assign(graphic);
    else
        AssignGraphicBytes(*graphic);
}

void TGDIPPicture::Assign(fw::TBitmap& bitmap) { AssignBitmapBytes(bitmap); }

void TKelGDIPPicture::Draw(fw::TCanvas& canvas, const RECT& rect) {
    if (empty_ || bytes_.empty()) return;
    int w = 0, h = 0;
    DrawPictureOnCanvas(bytes_, canvas, rect, BmpPlacement::OwnSize, w, h);
    StoreSize(w, h);
}

void TGDIPPicture::Draw(fw::TCanvas& canvas, const RECT& rect) {
    if (empty_ || bytes_.empty()) return;
    int w = 0, h = 0;
    DrawPictureOnCanvas(bytes_, canvas, rect, BmpPlacement::Stretched, w, h);
    StoreSize(w, h);
}

void TKelGDIPPicture::DrawOnGraphics(TGPGraphics& graphics, const RECT& rect) {
    if (empty_ || bytes_.empty()) return;
    TDecodedImage decoded(bytes_);
    if (!decoded.Ok()) {
        StoreSize(0, 0);
        return;
    }
    int w = static_cast<int>(decoded.Image().GetWidth());
    int h = static_cast<int>(decoded.Image().GetHeight());
    StoreSize(w, h);
    if (decoded.Image().GetFormatKind() == ifBMP && Transparent()) {
        TDecodedImage second(bytes_, true);
        TARGB key = 0;
        if (second.Ok() && h > 0) second.Bitmap()->GetPixel(0, h - 1, key);
        TGPImageAttributes attributes;
        attributes.SetColorKey(key, key);
        graphics.DrawImageRectRect(&decoded.Image(),
                                   FloatRect(static_cast<float>(rect.left), static_cast<float>(rect.top),
                                             static_cast<float>(w), static_cast<float>(h)),
                                   0, 0, static_cast<float>(w), static_cast<float>(h), gpUnitPixel, &attributes);
        return;
    }
    graphics.DrawImageRect(&decoded.Image(), rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void TGDIPPicture::LoadFromResourceName(HMODULE module, const std::wstring& name) {
    LoadGraphicFromResource(*this, module, name);
}

void LoadGraphicFromResource(TGraphic& graphic, HMODULE module, const std::wstring& name) {
    std::unique_ptr<fw::TResourceStream> stream;
    try {
        stream = std::make_unique<fw::TResourceStream>(module, name);
    } catch (const fw::EResNotFound&) {
        return;
    }
    graphic.LoadFromStream(stream.get());
}

void TextureFillPath(const TImageFilePicture& picture, TGPGraphics& graphics, const TGPGraphicsPath& path) {
    if (picture.Empty() || !picture.HasBytes()) return;
    TDecodedImage decoded(picture.Bytes());
    TGPTextureBrush brush(decoded.Image(), gpWrapModeTile);
    graphics.FillPath(brush, path);
}

void TextureFillRect(const TImageFilePicture& picture, TGPGraphics& graphics, const TGPFloatRect& rect) {
    if (picture.Empty() || !picture.HasBytes()) return;
    TDecodedImage decoded(picture.Bytes());
    TGPTextureBrush brush(decoded.Image(), gpWrapModeTile);
    graphics.FillRectangleF(brush, rect);
}

}  // namespace kel
