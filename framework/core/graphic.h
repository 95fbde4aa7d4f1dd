// TGraphic: the base of the pictures that components publish: a change
// event, the Transparent flag, a size, drawing on a canvas, loading and
// saving through streams, and the stored "Data" property. The stored form of
// a binary property is the framework's binary value: value-type byte 10, a
// 4-byte little-endian length, the bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "framework/core/streams.h"

struct tagRECT;  // RECT

namespace fw {

class TCanvas;

using TBytes = std::vector<uint8_t>;

constexpr uint8_t vaBinary = 10;

// Writes the stored form of a binary value.
void WriteBinaryValue(TStream& out, std::span<const uint8_t> bytes);
// Reads one; throws EInOutError naming the fault (wrong value type, length
// past the end of the stream).
TBytes ReadBinaryValue(TStream& in);
// The whole of a stream from its start.
TBytes ReadWholeStream(TStream& in);

class TGraphic {
public:
    TGraphic() = default;
    virtual ~TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    std::function<void()> OnChange;

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    // An empty graphic of the same class (what a picture holder copies into).
    virtual std::unique_ptr<TGraphic> NewGraphic() const = 0;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;

    // Windows: draws into the rectangle of a canvas (the host build has no
    // canvas and draws nothing).
    virtual void Draw(TCanvas& canvas, const tagRECT& rect) = 0;

    virtual void Assign(const TGraphic* source) = 0;
    virtual void LoadFromFile(const std::wstring& fileName) = 0;
    virtual void LoadFromStream(TStream* stream) = 0;
    virtual void SaveToStream(TStream* stream) const = 0;
    // The stored "Data" property.
    virtual void ReadData(TStream& stream) = 0;
    virtual void WriteData(TStream& stream) const = 0;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    bool transparent_ = false;
};

}  // namespace fw
