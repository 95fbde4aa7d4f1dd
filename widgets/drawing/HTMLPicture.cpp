#include "widgets/drawing/HTMLPicture.h"

#include <exception>
#include <filesystem>

#include "framework/core/file_io.h"
#include "widgets/drawing/GifLayout.h"
#include "widgets/drawing/PictureStoreRules.h"

namespace kel {

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

int THTMLPicture::Width() const {
    if (!picture_) return 0;
    int w = 0, h = 0;
    OlePictureHimetricSize(*picture_, w, h);
    return HimetricToPixels(w, xResolution_);
}

int THTMLPicture::Height() const {
    if (!picture_) return 0;
    int w = 0, h = 0;
    OlePictureHimetricSize(*picture_, w, h);
    return HimetricToPixels(h, yResolution_);
}

int THTMLPicture::NaturalWidth() const {
    if (!picture_) return 0;
    return screenWidth_ != 0 ? screenWidth_ : Width();
}

int THTMLPicture::NaturalHeight() const {
    if (!picture_) return 0;
    return screenHeight_ != 0 ? screenHeight_ : Height();
}

bool THTMLPicture::IsGIF() const { return IsGifData(bytes_); }

int THTMLPicture::FrameCount() {
    if (frameCount_ != -1) return frameCount_;
    if (!IsGIF()) return -1;
    frameCount_ = static_cast<int>(ReadGifLayout(bytes_).Frames.size());
    return frameCount_;
}

void THTMLPicture::LoadPicture() {
    frameLeft_ = frameTop_ = frameWidth_ = frameHeight_ = 0;
    screenWidth_ = screenHeight_ = 0;
    picture_.reset();
    TBytes frameCopy;
    const TBytes* shown = &bytes_;
    if (IsGIF()) {
        const TGifLayout layout = ReadGifLayout(bytes_);
        frameCount_ = static_cast<int>(layout.Frames.size());
        if (!layout.Frames.empty()) {
            screenWidth_ = layout.ScreenWidth;
            screenHeight_ = layout.ScreenHeight;
            const TGifFrame& f = layout.Frames[static_cast<size_t>(ClampGifFrame(frame_, layout.Frames.size()) - 1)];
            frameLeft_ = f.Left;
            frameTop_ = f.Top;
            frameWidth_ = f.Width;
            frameHeight_ = f.Height;
            frameCopy = GifFrameCopy(bytes_, layout, frame_);
            shown = &frameCopy;
        }
    }
    try {
        picture_ = DecodeOlePicture(*shown);
    } catch (...) {
        empty_ = true;
        throw;
    }
}

void THTMLPicture::TakeBytes(TBytes bytes) {
    bytes_ = std::move(bytes);
    frameCount_ = -1;  // new bytes, new frames
    picture_.reset();
    // No bytes, no picture: there is nothing to decode.
    empty_ = bytes_.empty();
    if (!empty_) LoadPicture();
}

void THTMLPicture::ClearPicture() {
    bytes_.clear();
    empty_ = true;
    picture_.reset();
    frameCount_ = -1;
    frameLeft_ = frameTop_ = frameWidth_ = frameHeight_ = 0;
    screenWidth_ = screenHeight_ = 0;
}

void THTMLPicture::Assign(const TGraphic* source) {
    if (source == this) return;
    empty_ = true;
    picture_.reset();
    frameCount_ = -1;
    frame_ = 1;
    // The old bytes are about to go; they are not decoded again for frame 1.
    if (!bytes_.empty() && OnFrameChange) OnFrameChange();
    if (!source) {
        ClearPicture();
        return;
    }
    const auto* other = dynamic_cast<const THTMLPicture*>(source);
    if (!other) return;
    stretch_ = other->stretch_;
    frame_ = other->frame_;
    sourceId_ = other->sourceId_;
    TakeBytes(other->bytes_);
    Changed();
}

void THTMLPicture::SetFrame(int frame) {
    frame_ = frame;
    if (bytes_.empty()) return;
    LoadPicture();
    if (OnFrameChange) OnFrameChange();
}

void THTMLPicture::LoadFromFile(const std::wstring& fileName) {
    try {
        std::string data = fw::ReadFileBytes(std::filesystem::path(fileName));
        TakeBytes(TBytes(data.begin(), data.end()));
    } catch (const std::exception&) {
        ClearPicture();
    }
    Changed();
}

void THTMLPicture::LoadFromStream(fw::TStream* stream) {
    if (!stream) return;
    TakeBytes(fw::ReadWholeStream(*stream));
    Changed();
}

void THTMLPicture::SaveToStream(fw::TStream* stream) const {
    if (stream && !bytes_.empty()) stream->WriteBuffer(bytes_.data(), bytes_.size());
}

void THTMLPicture::ReadData(fw::TStream& stream) { TakeBytes(fw::ReadBinaryValue(stream)); }

void THTMLPicture::WriteData(fw::TStream& stream) const { fw::WriteBinaryValue(stream, bytes_); }

void THTMLPicture::LoadFromSource(const std::wstring& source) {
    const TPictureSource parsed = ParsePictureSource(source);
    switch (parsed.Kind) {
        case TPictureSourceKind::Resource:
            sourceId_ = source;
            if (parsed.Name.empty()) return;
            try {
                LoadFromResourceName(nullptr, parsed.Name);  // the program's own module
            } catch (const std::exception&) {
                // Called while painting: bytes that do not decode leave the
                // picture empty instead of ending the paint.
                ClearPicture();
                Changed();
            }
            return;
        case TPictureSourceKind::File:
            sourceId_ = source;
            if (!parsed.Name.empty()) LoadFromFile(parsed.Name);
            return;
        case TPictureSourceKind::Url:
            if (!asynchronous_) {
                downloadUrl_ = source;
                sourceId_ = source;
            } else if (!downloadStarted_) {
                // URLs are never fetched: no thread is started for a
                // download that would do nothing, so a paint never waits.
                downloadUrl_ = source;
                downloadStarted_ = true;
            }
            return;
    }
}

}  // namespace kel
