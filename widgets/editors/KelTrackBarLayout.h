// The trackbar's layout, free of the platform: every rectangle (inner area,
// buttons, label, track, tick bands, slider, thumb, rate cells), the mapping
// between pointer pixels and values, paging toward a click, the ticks that
// are drawn, the areas a position change repaints, the placement of the
// value hint, and the value and key rules. The control fills a
// TTrackBarMetrics from its properties and asks; nothing is cached.
//
// Rectangles are (Left, Top, Right, Bottom) with Right and Bottom exclusive;
// kNoRect (four -1) stands for no rectangle. Value arithmetic is done in 64
// bits, so the full int range works as Min..Max.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/editors/KelTrackBarTypes.h"

namespace kel::trackbar {

using TRect = kel::TIntRect;
inline constexpr TRect kNoRect{-1, -1, -1, -1};
inline bool IsNone(const TRect& r) { return r == kNoRect; }
inline bool Contains(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}
inline TRect Inflated(const TRect& r, int dx, int dy) { return {r.Left - dx, r.Top - dy, r.Right + dx, r.Bottom + dy}; }

// What the layout reads of the control.
struct TTrackBarMetrics {
    int ClientWidth = 150;
    int ClientHeight = 26;
    bool Vertical = false;
    int Min = 0;
    int Max = 10;
    int Position = 0;
    int FrameWidth = 1;
    int InnerMargin = 2;
    struct {
        bool Visible = true;
        int Size = 2;
        int Offset = 10;
        bool Border3D = true;
    } Slider;
    struct {
        TThumbShape Shape = tsPointer;
        int Size = 15;
        int Width = 10;
        TThumbPointer Pointer = tpCenter;
        bool PictureEmpty = true;
    } Thumb;
    struct {
        TTickStyle Style = tsAuto;
        TTickMark Position = tmBottomRight;
        int Size = 4;
        int Spacing = 8;
        bool ShowText = false;
    } Tick;
    int TickTextHeight = 0;
    struct {
        bool Visible = false;
        int Size = 20;
        int Spacing = 2;
    } Buttons;
    struct {
        bool Visible = false;
        TLabelPosition Position = lpTopCenter;
        int Spacing = 4;
        int TextWidth = 0;  // of the label text in the label font
        int TextHeight = 0;
    } Label;
};

// The completed and the remaining part of the slider bar.
struct TSliderParts {
    TRect Completed = kNoRect;
    TRect Rest = kNoRect;
};

// A tick to draw: its value and its distance along the band.
struct TTickPlacement {
    int64_t Value = 0;
    int Offset = 0;
    friend bool operator==(const TTickPlacement&, const TTickPlacement&) = default;
};

class TTrackBarLayout {
public:
    explicit TTrackBarLayout(const TTrackBarMetrics& metrics) : m_(metrics) {}
    const TTrackBarMetrics& Metrics() const { return m_; }

    // 0 for tpLeft, half the thumb width for tpCenter, the width for
    // tpRight; 0 whenever the width is not positive.
    int PointerOffset() const;
    TRect Inner() const;
    TRect MinButton() const;
    TRect MaxButton() const;
    // Vertically an aligned label has its Top (where the upward text
    // starts) below its Bottom.
    TRect Label(bool aligned) const;
    TRect Track() const;
    int TrackLength() const;
    TRect TopLeftTicks() const;
    TRect BottomRightTicks() const;
    TRect Slider() const;
    // The thumb at the current Position, or at another value.
    TRect Thumb() const { return ThumbAt(m_.Position); }
    TRect ThumbAt(int64_t position) const;
    // Pixels from the track's start to the thumb's (left or bottom) edge.
    int ThumbOffset(int64_t position) const;

    // The value for a pointer position (drag and click-to-move), clamped to
    // Min..Max; the current Position when the value is not valid or the
    // track leaves the thumb no room to travel.
    int ValueFromPoint(int x, int y) const;
    // A held click on the track: -1 to page down (Position - PageSize), +1
    // to page up, 0 when the thumb has reached the click point.
    int PageStepToward(int x, int y) const;

    // Completed part up to the middle of the thumb rectangle `thumb`.
    TSliderParts SliderParts(bool showsCompleted, const TRect& thumb) const;

    // The ticks DrawTickMarks draws: with a draw-tick event every value,
    // otherwise only ticks at least two pixels apart, up to the capped last
    // value.
    std::vector<TTickPlacement> TickMarks(bool hasDrawTickEvent) const;

    // Rate mode: the cell of a value (kNoRect for values up to Min and those
    // that do not fit), and the value whose cell holds a point.
    TRect RateCell(int64_t value, int cellWidth, int cellHeight) const;
    std::optional<int> RateValueAt(int x, int y, int cellWidth, int cellHeight) const;
    // The last value that has a cell (Min when none has).
    int LastRateValue(int cellWidth, int cellHeight) const;
    // What a click in rate mode sets: the value under the point, or Min for
    // a click up to four pixels left of the first cell (clearing the rating).
    std::optional<int> RateClickValue(int x, int y, int cellWidth, int cellHeight) const;

    // What a position change repaints: both thumbs grown by one pixel, the
    // slider when it shows a completed part, the track strips under both
    // thumbs when only the thumb's tick image shows.
    std::vector<TRect> PositionChangeAreas(const TRect& oldThumb, const TRect& newThumb, bool sliderShowsCompleted,
                                           bool imageAtThumbOnly) const;
    // The label's repaint area, upright even where the aligned vertical
    // label is stored upside down.
    TRect LabelRepaintArea(bool aligned) const;

private:
    bool LabelAtTop() const;
    TTrackBarMetrics m_;
};

// The rule of SetPosition: nothing for the current value; otherwise the
// value clamped to Min..Max (below Min gives Min, else above Max gives Max).
std::optional<int> ResolvePosition(int64_t requested, int current, int min, int max);

// A position one or more steps away, kept within the int range.
int OffsetPosition(int position, int64_t delta);

// The value SetPosition is called with for a key, or none. Shift blocks
// every key.
std::optional<int> KeyTarget(uint16_t key, bool shift, bool vertical, int position, int min, int max, int pageSize);

// The hint window's bounds for its text placed at (left, top): the text
// plus margins, pushed back inside the monitor at the right and bottom.
TRect PlaceTrackHint(int left, int top, int textWidth, int textHeight, const TRect& monitor);

// The label's text: each %d (with optional '-', '0' and width) becomes the
// value and %% a percent sign; anything else is kept as it stands, so no
// format string can read what is not there.
std::wstring FormatTrackLabel(const std::wstring& format, int value);

// Virtual keys the key rules look at (the Windows values).
namespace vk {
constexpr uint16_t Prior = 0x21, Next = 0x22, End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27,
                   Down = 0x28;
}

}  // namespace kel::trackbar
