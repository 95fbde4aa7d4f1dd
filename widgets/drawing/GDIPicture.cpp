#include "widgets/drawing/GDIPicture.h"

#include <climits>
#include <exception>
#include <filesystem>

#include "framework/core/file_io.h"
#include "widgets/drawing/ImageDecoder.h"
#include "widgets/drawing/ImageSizeProbes.h"

namespace kel {
namespace {

int ToInt(uint32_t v) { return v > INT_MAX ? INT_MAX : static_cast<int>(v); }

// Reads a whole file; false when it cannot be read.
bool ReadFile(const std::wstring& fileName, TBytes& bytes) {
    try {
        std::string data = fw::ReadFileBytes(std::filesystem::path(fileName));
        bytes.assign(data.begin(), data.end());
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace

// ---- TImageFilePicture

void TImageFilePicture::SaveToStream(fw::TStream* stream) const {
    if (stream && !bytes_.empty()) stream->WriteBuffer(bytes_.data(), bytes_.size());
}

void TImageFilePicture::WriteData(fw::TStream& stream) const { fw::WriteBinaryValue(stream, bytes_); }

bool TImageFilePicture::UpdateImageSize() {
    if (empty_ || bytes_.empty()) return false;
    int w = 0, h = 0;
    bool read = DecodeImageSize(bytes_, w, h);
    StoreSize(w, h);
    return read;
}

void TImageFilePicture::ClearAll() {
    bytes_.clear();
    empty_ = true;
    StoreSize(0, 0);
}

void TImageFilePicture::AssignPicture(const TGraphic* source, const TImageFilePicture* sameClass) {
    empty_ = true;
    if (!source) {
        ClearAll();
        Changed();
        if (OnClear) OnClear();
        return;
    }
    if (sameClass) {
        if (sameClass != this) bytes_ = sameClass->bytes_;
        empty_ = bytes_.empty();
        StoreSize(0, 0);
        // Measured before the change event, so handlers see the new size.
        UpdateImageSize();
        Changed();
        return;
    }
    // A source of another kind: the picture is then empty in fact as well,
    // not only by its flag.
    ClearAll();
    Changed();
}

bool TImageFilePicture::TakeFileBytes(const std::wstring& fileName) {
    TBytes data;
    if (!ReadFile(fileName, data)) {
        ClearAll();
        Changed();
        return false;
    }
    bytes_ = std::move(data);
    empty_ = false;
    if (OnClear) OnClear();
    return true;
}

// ---- TKelGDIPPicture

void TKelGDIPPicture::Assign(const TGraphic* source) {
    AssignPicture(source, dynamic_cast<const TKelGDIPPicture*>(source));
}

void TKelGDIPPicture::LoadFromFile(const std::wstring& fileName) {
    if (!TakeFileBytes(fileName)) return;
    SizeFromFileHeader(fileName);
    Changed();
}

void TKelGDIPPicture::LoadFromStream(fw::TStream* stream) {
    if (!stream) return;
    TBytes data = fw::ReadWholeStream(*stream);
    if (data.empty()) return;
    bytes_ = std::move(data);
    empty_ = false;
    UpdateImageSize();
    Changed();
}

void TKelGDIPPicture::ReadData(fw::TStream& stream) {
    TBytes data = fw::ReadBinaryValue(stream);
    if (data.empty()) return;
    bytes_ = std::move(data);
    empty_ = false;
    StoreSize(0, 0);
    UpdateImageSize();
}

void TKelGDIPPicture::SizeFromFileHeader(const std::wstring& fileName) {
    if (empty_ || bytes_.empty()) return;
    // The kept bytes are the file's bytes, so they are probed instead of
    // reading the file a second time.
    TImageSize size = GetImageSizeByExtension(fileName, bytes_);
    StoreSize(ToInt(size.Width), ToInt(size.Height));
}

// ---- TGDIPPicture

void TGDIPPicture::Assign(const TGraphic* source) { AssignPicture(source, dynamic_cast<const TGDIPPicture*>(source)); }

void TGDIPPicture::LoadFromFile(const std::wstring& fileName) {
    if (!TakeFileBytes(fileName)) return;
    try {
        UpdateImageSize();
    } catch (const std::exception&) {
        ClearAll();
    }
    Changed();
}

void TGDIPPicture::LoadFromStream(fw::TStream* stream) {
    if (!stream) return;
    bytes_ = fw::ReadWholeStream(*stream);
    empty_ = false;
    StoreSize(0, 0);
    UpdateImageSize();
    Changed();
}

void TGDIPPicture::ReadData(fw::TStream& stream) {
    bytes_ = fw::ReadBinaryValue(stream);
    empty_ = false;
    StoreSize(0, 0);
}

}  // namespace kel
