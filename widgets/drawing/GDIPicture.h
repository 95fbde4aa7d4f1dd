// The widgets' pictures: graphics that keep an image file's bytes exactly as
// loaded and hand them to GDI+ whenever they are drawn or measured. Any
// format GDI+ decodes can be kept. TKelGDIPPicture serves fills, captions
// and the GDI+ HTML renderer; TGDIPPicture serves buttons, sliders, hints.
//
// The byte keeping, streaming and assignment rules build everywhere; the
// operations that draw (and the bitmap, picture and resource sources) exist
// in the Windows build only; the host build draws nothing.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "framework/core/graphic.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace fw {
class TCanvas;
class TBitmap;
class TPicture;
}  // namespace fw
struct tagRECT;     // RECT
struct HINSTANCE__; // HMODULE

namespace kel {

using fw::TBytes;
using fw::TGraphic;

class TGPGraphics;
class TGPGraphicsPath;

// What both picture classes share: the kept bytes, the Empty flag (set by
// the operations, not derived from the byte count) and the last measured
// size.
class TImageFilePicture : public TGraphic {
public:
    std::function<void()> OnClear;

    bool Empty() const override { return empty_; }
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // The size follows the image.
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    const TBytes& Bytes() const { return bytes_; }
    bool HasBytes() const { return !bytes_.empty(); }

    void SaveToStream(fw::TStream* stream) const override;
    void WriteData(fw::TStream& stream) const override;

    // When not Empty and there are bytes: decodes them with GDI+ and stores
    // the image's size (0 by 0 for bytes GDI+ cannot decode). True when an
    // image was read. The host build has no decoder and answers false.
    bool UpdateImageSize();

protected:
    // Assign for a nil source, one of the own class (sameClass) or another.
    void AssignPicture(const TGraphic* source, const TImageFilePicture* sameClass);
    void AssignBitmapBytes(fw::TBitmap& bitmap);
    // A graphic of another class saved in its own file format.
    void AssignGraphicBytes(const TGraphic& graphic);
    void ClearAll();
    // Takes a file's bytes as the picture's (firing OnClear); when the file
    // cannot be read, empties the picture, fires Changed and answers false.
    bool TakeFileBytes(const std::wstring& fileName);
    void StoreSize(int width, int height) {
        width_ = width;
        height_ = height;
    }

    TBytes bytes_;
    bool empty_ = true;
    int width_ = 0;
    int height_ = 0;
};

class TKelGDIPPicture : public TImageFilePicture {
public:
    TKelGDIPPicture() = default;
    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TKelGDIPPicture>(); }

    // nil clears; a TKelGDIPPicture is copied; any other graphic leaves this
    // picture empty.
    void Assign(const TGraphic* source) override;
    // The bitmap as a BMP file (Windows).
    void Assign(fw::TBitmap& bitmap);
    // Windows: the holder's graphic, copied when it is a TKelGDIPPicture,
    // else saved in its own file format; an empty holder clears.
    void Assign(const fw::TPicture& picture);
    // Reads the file; the size comes from the file header (SizeFromFileHeader).
    // A file that cannot be read leaves the picture empty; nothing is thrown.
    void LoadFromFile(const std::wstring& fileName) override;
    // Nothing for a nil or empty stream.
    void LoadFromStream(fw::TStream* stream) override;
    // Ignores an empty value; throws fw::EInOutError on a damaged one and
    // keeps the picture as it was.
    void ReadData(fw::TStream& stream) override;

    // The size from the header of the kept file by the name's extension:
    // .jpg/.jpeg, .png, .gif, .bmp, .tif/.tiff; 0 by 0 for others.
    void SizeFromFileHeader(const std::wstring& fileName);

    // Windows: BMP data keyed on its bottom-left pixel at its own size at
    // the rect's top-left; other formats stretched into the rect.
    void Draw(fw::TCanvas& canvas, const tagRECT& rect) override;
    // Windows: onto a GDI+ surface; a transparent BMP is keyed on its
    // bottom-left pixel and drawn at its own size, anything else stretched.
    void DrawOnGraphics(TGPGraphics& graphics, const tagRECT& rect);
};

class TGDIPPicture : public TImageFilePicture {
public:
    TGDIPPicture() = default;
    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<TGDIPPicture>(); }

    void Assign(const TGraphic* source) override;
    void Assign(fw::TBitmap& bitmap);
    void Assign(const fw::TPicture& picture);
    // Reads the file and decodes it for its size; a file that cannot be read
    // leaves the picture empty; nothing is thrown.
    void LoadFromFile(const std::wstring& fileName) override;
    // Nothing for nil; an empty stream makes a non-Empty picture of no bytes.
    void LoadFromStream(fw::TStream* stream) override;
    // Takes an empty value too; the size stays 0 by 0 until measured.
    void ReadData(fw::TStream& stream) override;

    // Windows: BMP data keyed on its bottom-left pixel and stretched into
    // the rect; other formats stretched into the rect with GDI+.
    void Draw(fw::TCanvas& canvas, const tagRECT& rect) override;
    // Windows: the RT_RCDATA resource of that name, as from a stream;
    // nothing when the module has none.
    void LoadFromResourceName(HINSTANCE__* module, const std::wstring& name);
};

// Windows: fill with the picture's image tiled from the graphics' origin,
// when the picture is not Empty and has bytes.
void TextureFillPath(const TImageFilePicture& picture, TGPGraphics& graphics, const TGPGraphicsPath& path);
void TextureFillRect(const TImageFilePicture& picture, TGPGraphics& graphics, const TGPFloatRect& rect);

// Windows: a framework bitmap as the bytes of a BMP file (32 bits per
// pixel, bottom-up).
TBytes BitmapFileBytes(fw::TBitmap& bitmap);

// Windows: loads a graphic from the module's RT_RCDATA resource of that name
// (nil module: the program), as from a stream; nothing when there is none.
void LoadGraphicFromResource(TGraphic& graphic, HINSTANCE__* module, const std::wstring& name);

}  // namespace kel
