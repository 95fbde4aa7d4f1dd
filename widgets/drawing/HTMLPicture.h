// THTMLPicture: the picture of the mini-HTML renderers. It keeps an image
// file's bytes unchanged and shows them through the platform's OLE picture
// loader, picks one frame of an animated GIF, and loads from "RES://" and
// "FILE://" source texts. URL sources are never fetched.
//
// The byte keeping, frame selection and source rules build everywhere; the
// decoder, Draw and resources exist in the Windows build only (the host
// build decodes nothing, so its pictures have no size).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/core/graphic.h"

namespace fw {
class TCanvas;
}  // namespace fw
struct tagRECT;      // RECT
struct HINSTANCE__;  // HMODULE

namespace kel {

using fw::TBytes;
using fw::TGraphic;

// The platform's decoded picture (an IPicture on Windows).
class TOlePicture;
struct TOlePictureDeleter {
    void operator()(TOlePicture* picture) const;
};
using TOlePicturePtr = std::unique_ptr<TOlePicture, TOlePictureDeleter>;

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;
    std::unique_ptr<TGraphic> NewGraphic() const override { return std::make_unique<THTMLPicture>(); }

    // Fired when Frame is set while there are bytes.
    std::function<void()> OnFrameChange;
    // Published for the form designer; never fired, as URLs are never fetched.
    std::function<void(uint32_t size, uint32_t totalSize)> OnDownLoadProgress;
    std::function<void(bool& cancel)> OnDownLoadCancel;
    std::function<void()> OnDownLoadComplete;
    std::function<void(const std::wstring& error)> OnDownLoadError;

    bool Empty() const override { return empty_; }
    // The decoded picture's size at 96 dots per inch; 0 without one.
    int Width() const override;
    int Height() const override;
    void SetWidth(int) override {}
    void SetHeight(int) override {}

    // nil clears the bytes; another THTMLPicture is copied (Stretch, Frame,
    // source and bytes) and decoded; anything else leaves this one empty.
    void Assign(const TGraphic* source) override;
    // Never throws: a file that cannot be read or decoded leaves the
    // picture empty.
    void LoadFromFile(const std::wstring& fileName) override;
    // Nothing for nil. Bytes that cannot be decoded leave the picture empty
    // and the decoder's exception passes on.
    void LoadFromStream(fw::TStream* stream) override;
    void SaveToStream(fw::TStream* stream) const override;
    // The stored "Data" property; decodes without a change event.
    void ReadData(fw::TStream& stream) override;
    void WriteData(fw::TStream& stream) const override;

    // Windows: renders the picture at its natural size at the rect's
    // top-left, or stretched into the rect. Nothing when Empty.
    void Draw(fw::TCanvas& canvas, const tagRECT& rect) override;
    // Windows: the RT_RCDATA resource of that name, as from a stream;
    // nothing when the module has none.
    void LoadFromResourceName(HINSTANCE__* module, const std::wstring& name);
    // "RES://name" (a resource of the program), "FILE://path", or a URL,
    // which is only recorded. Never throws, so it is safe inside a paint:
    // a picture that cannot be loaded stays empty.
    void LoadFromSource(const std::wstring& source);

    bool Stretch() const { return stretch_; }
    void SetStretch(bool value) { stretch_ = value; }
    // The 1-based GIF frame to show; a number beyond the frames shows the
    // nearest one.
    int Frame() const { return frame_; }
    void SetFrame(int frame);
    // Frames of GIF bytes (0 when none could be read), -1 for other bytes.
    int FrameCount();
    bool IsGIF() const;
    // The size the renderers lay out: the GIF's logical screen when it has
    // one, else Width by Height; 0 without a decoded picture.
    int NaturalWidth() const;
    int NaturalHeight() const;
    // The selected GIF frame's image descriptor and the logical screen (0
    // when the bytes are not a GIF).
    uint16_t FrameLeft() const { return frameLeft_; }
    uint16_t FrameTop() const { return frameTop_; }
    uint16_t FrameWidth() const { return frameWidth_; }
    uint16_t FrameHeight() const { return frameHeight_; }
    uint16_t ScreenWidth() const { return screenWidth_; }
    uint16_t ScreenHeight() const { return screenHeight_; }

    // The source text the picture was loaded from (the cache's key).
    const std::wstring& SourceId() const { return sourceId_; }
    const std::wstring& DownloadUrl() const { return downloadUrl_; }
    // On: a URL source counts as a download started (URLs are never
    // fetched, so nothing runs); off, the URL becomes the source id. The
    // renderers switch it off on the pictures they make.
    bool Asynchronous() const { return asynchronous_; }
    void SetAsynchronous(bool value) { asynchronous_ = value; }
    bool DownloadStarted() const { return downloadStarted_; }

    const TBytes& Bytes() const { return bytes_; }
    bool HasPicture() const { return picture_ != nullptr; }
    // Decodes the bytes (the selected frame of a GIF) into the picture.
    // Throws fw::Exception with the decoder's message; the picture is then
    // empty.
    void LoadPicture();

private:
    // New bytes: not empty, frames to be counted again, then decoded.
    void TakeBytes(TBytes bytes);
    // No bytes, no picture, no frames: what a failed load leaves.
    void ClearPicture();

    TBytes bytes_;
    bool empty_ = true;
    bool stretch_ = false;
    TOlePicturePtr picture_;
    int xResolution_ = 96;
    int yResolution_ = 96;
    std::wstring downloadUrl_;
    std::wstring sourceId_;
    bool asynchronous_ = true;
    bool downloadStarted_ = false;
    int frame_ = 1;
    int frameCount_ = -1;
    uint16_t frameLeft_ = 0;
    uint16_t frameTop_ = 0;
    uint16_t frameWidth_ = 0;
    uint16_t frameHeight_ = 0;
    uint16_t screenWidth_ = 0;
    uint16_t screenHeight_ = 0;
};

// The platform decoder behind THTMLPicture (OleLoadPicture on Windows; the
// host build has none and answers nullptr). Throws fw::Exception "Could not
// allocate memory for image", "Could not create image stream", "Empty image
// stream created", "Could not load image. Invalid format" or "Could not
// load image".
TOlePicturePtr DecodeOlePicture(const TBytes& bytes);
// The decoded picture's size in HIMETRIC units (0.01 mm).
void OlePictureHimetricSize(const TOlePicture& picture, int& width, int& height);

}  // namespace kel
