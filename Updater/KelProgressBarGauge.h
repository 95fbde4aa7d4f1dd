// The level-coloured progress bar without Windows: the range and position
// rules, the infinite marker's motion, the text, and one paint request worked
// out as a list of plain rectangles, frame and text that the control draws.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace oru {

// Colours are 0x00BBGGRR; 0x1FFFFFFF means "not painted".
constexpr uint32_t kBarNoColor = 0x1FFFFFFF;
constexpr uint32_t kBarTransparentKey = 0xFF00FF;

enum class TGaugeOrientation { goHorizontal, goVertical };

struct TBarRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TBarRect&, const TBarRect&) = default;
};

// One paint request, copied from the control's properties.
struct TGaugeSettings {
    uint32_t Level0Color = 0x00FF00, Level0ColorTo = 0xE1FFE1;
    uint32_t Level1Color = 0x00FFFF, Level1ColorTo = 0xCAFFFF;
    uint32_t Level2Color = 0x53A9FF, Level2ColorTo = 0xA8D3FF;
    uint32_t Level3Color = 0x0000FF, Level3ColorTo = 0xCACAFF;
    int Level1Perc = 70, Level2Perc = 90;
    uint32_t BorderColor = 0x808080;
    uint32_t Level0BkColor = kBarNoColor, Level1BkColor = kBarNoColor, Level2BkColor = kBarNoColor;
    bool ShowBorder = true;
    bool Stacked = false;
    bool ShowPercentage = true;
    bool ShowPosition = true;
    bool CompletionSmooth = false;
    bool ShowGradient = true;
    int Steps = 8;
    int Percentage = 0;
    int Position = 50;
    int Max = 100;
    uint32_t BackgroundColor = 0xFFFFFF;
    TGaugeOrientation Orientation = TGaugeOrientation::goHorizontal;
    bool Rounded = true;
    std::wstring Format;
    bool Infinite = false;
    int MarkerPosition = 0;
};

// What a paint does, in order.
struct TBarOp {
    enum Kind {
        // Brush and pen in Color over [Left, Right) x [Top, Bottom).
        Fill,
        // Brush Color, pen PenColor; a rectangle, or a round one with 6 x 6 corners.
        Frame,
        RoundFrame,
        // Text centred on Rect (see BarTextOrigin), rotated 90 degrees when Vertical.
        Text,
    };
    Kind What = Fill;
    TBarRect Rect;
    uint32_t Color = 0;
    uint32_t PenColor = 0;
    std::wstring Caption;
    bool Vertical = false;
    friend bool operator==(const TBarOp&, const TBarOp&) = default;
};

// The percentage of `position` in [min, max], 0 to 100; 0 for an empty range.
int BarPercentage(int position, int min, int max);

// Bands from c1 towards c2 (the last one stops short of c2), side by side
// when `across`, else one above the other; each one pixel longer than its
// step and cut at the rectangle's end. Steps 0 counts as 1.
void AddBarGradient(std::vector<TBarOp>& ops, uint32_t c1, uint32_t c2, bool across, const TBarRect& r, int steps);

// Everything one paint of `s` over `r` draws.
std::vector<TBarOp> BuildBarGauge(const TBarRect& r, const TGaugeSettings& s);

// Top-left corner of a text of the given extent centred on `r`.
void BarTextOrigin(const TBarRect& r, int textWidth, int textHeight, bool vertical, int& x, int& y);

// `format` applied to the two integers: %d, %u, %x and %X (with an optional
// "-", "0" and width) take them in turn and %% is a percent sign; anything
// else, and a third number, is copied as it stands.
std::wstring FormatBarText(const std::wstring& format, int position, int max);

// Range, position and the repaint rule of the bar.
class TBarRange {
public:
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Position() const { return position_; }
    int Step() const { return step_; }
    int Percentage() const { return BarPercentage(position_, min_, max_); }

    // Stores an in-range value (true when the bar must repaint now); a value
    // outside the range clamps to its nearer end without a repaint.
    bool SetPosition(int v);
    // Both keep the position inside the new range.
    void SetMin(int v);
    void SetMax(int v);

private:
    void RangeChanged();
    int min_ = 0, max_ = 100, position_ = 50;
    int step_ = 1;
    int last_step_index_ = 0, last_percentage_ = 0;
};

// The infinite marker: 0 to 100 and back in steps of 4.
class TBarMarker {
public:
    int Position() const { return position_; }
    bool Forward() const { return forward_; }
    void Reset() { position_ = 0; }
    void Tick();

private:
    int position_ = 0;
    bool forward_ = false;
};

}  // namespace oru
