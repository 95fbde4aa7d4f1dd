// The graphic base of the widgets' pictures: change event, Transparent flag
// and the stream operations, plus the stored form of a binary property
// ("Data"): value-type byte 10, a 4-byte little-endian length, the bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

namespace kel {

using TBytes = std::vector<uint8_t>;

constexpr uint8_t vaBinary = 10;

// Writes the stored form of a binary value.
void WriteBinaryValue(std::ostream& out, std::span<const uint8_t> bytes);
// Reads one; throws fw::EInOutError naming the fault (wrong value type,
// length past the end of the stream) and consumes nothing useful then.
TBytes ReadBinaryValue(std::istream& in);
// The whole of a stream from its start (or from where it stands when it
// cannot seek).
TBytes ReadWholeStream(std::istream& in);

class TGraphic {
public:
    TGraphic() = default;
    virtual ~TGraphic() = default;
    TGraphic(const TGraphic&) = delete;
    TGraphic& operator=(const TGraphic&) = delete;

    std::function<void()> OnChange;

    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;

    virtual void Assign(const TGraphic* source) = 0;
    virtual void LoadFromFile(const std::wstring& fileName) = 0;
    virtual void LoadFromStream(std::istream* stream) = 0;
    virtual void SaveToStream(std::ostream* stream) const = 0;
    // The stored "Data" property.
    virtual void ReadData(std::istream& stream) = 0;
    virtual void WriteData(std::ostream& stream) const = 0;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    bool transparent_ = false;
};

}  // namespace kel
