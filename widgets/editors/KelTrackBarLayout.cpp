// The trackbar's layout and value rules.
#include "widgets/editors/KelTrackBarLayout.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace kel::trackbar {
namespace {

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// The band's extent across the track: its start (Top, or Left vertically)
// and end.
int AcrossStart(const TRect& r, bool vertical) { return vertical ? r.Left : r.Top; }
int AcrossEnd(const TRect& r, bool vertical) { return vertical ? r.Right : r.Bottom; }

}  // namespace

int TTrackBarLayout::PointerOffset() const {
    if (m_.Thumb.Width <= 0) return 0;
    switch (m_.Thumb.Pointer) {
        case tpLeft: return 0;
        case tpCenter: return m_.Thumb.Width / 2;
        case tpRight: return m_.Thumb.Width;
    }
    return 0;
}

TRect TTrackBarLayout::Inner() const {
    const int d = m_.FrameWidth + m_.InnerMargin;
    return {d, d, m_.ClientWidth - d, m_.ClientHeight - d};
}

TRect TTrackBarLayout::MinButton() const {
    TRect r = Inner();
    if (m_.Vertical) {
        r.Top = r.Bottom - m_.Buttons.Size;
    } else {
        r.Right = r.Left + m_.Buttons.Size;
    }
    return r;
}

TRect TTrackBarLayout::MaxButton() const {
    TRect r = Inner();
    if (m_.Vertical) {
        r.Bottom = r.Top + m_.Buttons.Size;
    } else {
        r.Left = r.Right - m_.Buttons.Size;
    }
    return r;
}

bool TTrackBarLayout::LabelAtTop() const {
    return m_.Label.Position == lpTopCenter || m_.Label.Position == lpTopLeft || m_.Label.Position == lpTopRight;
}

TRect TTrackBarLayout::Label(bool aligned) const {
    if (!m_.Label.Visible) return kNoRect;
    const int h = m_.Label.TextHeight;
    const int w = m_.Label.TextWidth;
    const int extent = h + m_.Label.Spacing;
    TRect r = Inner();
    if (LabelAtTop()) {
        if (m_.Vertical) {
            r.Left = r.Left + m_.Slider.Offset;
            r.Right = r.Left + extent;
        } else {
            r.Top = r.Top + m_.Slider.Offset;
            r.Bottom = r.Top + extent;
        }
    } else {
        const TRect b = BottomRightTicks();
        if (m_.Vertical) {
            r.Left = b.Right + 1;
            r.Right = r.Left + extent;
        } else {
            r.Top = b.Bottom + 1;
            r.Bottom = r.Top + extent;
        }
    }
    if (!aligned) return r;
    const bool centre = m_.Label.Position == lpTopCenter || m_.Label.Position == lpBottomCenter;
    const bool left = m_.Label.Position == lpTopLeft || m_.Label.Position == lpBottomLeft;
    if (!m_.Vertical) {
        if (centre) {
            r.Left += (r.Right - r.Left - w) / 2;
            r.Right = r.Left + w + 5;
        } else if (left) {
            r.Right = r.Left + w + 5;
        } else {
            r.Left = r.Right - w - 5;
        }
        return r;
    }
    // The text runs upward; Top holds its lower (starting) end.
    const int top = r.Top, bottom = r.Bottom;
    if (centre) {
        const int e = top + (bottom - top - w) / 2;
        r.Bottom = e;
        r.Top = e + w + 5;
    } else if (left) {
        r.Top = bottom;
        r.Bottom = bottom - w - 5;
    } else {
        r.Bottom = top;
        r.Top = top + w + 5;
    }
    return r;
}

TRect TTrackBarLayout::Track() const {
    TRect t = Inner();
    const bool labelTop = m_.Label.Visible && LabelAtTop();
    if (m_.Vertical) {
        t.Left += m_.Slider.Offset;
        if (labelTop) {
            const TRect l = Label(false);
            t.Left += (l.Right - l.Left) + 1;
        }
    } else {
        t.Top += m_.Slider.Offset;
        if (labelTop) {
            const TRect l = Label(false);
            t.Top += (l.Bottom - l.Top) + 1;
        }
    }
    if (m_.Buttons.Visible) {
        if (m_.Vertical) {
            t.Bottom = MinButton().Top - m_.Buttons.Spacing;
            t.Top = MaxButton().Bottom + m_.Buttons.Spacing;
        } else {
            t.Left = MinButton().Right + m_.Buttons.Spacing;
            t.Right = MaxButton().Left - m_.Buttons.Spacing;
        }
    }
    return t;
}

int TTrackBarLayout::TrackLength() const {
    const TRect t = Track();
    return m_.Vertical ? t.Bottom - t.Top : t.Right - t.Left;
}

TRect TTrackBarLayout::TopLeftTicks() const {
    if (m_.Tick.Style == tsNone || m_.Tick.Position == tmBottomRight) return kNoRect;
    const TRect t = Track();
    const int p = PointerOffset();
    const int d = (m_.Tick.ShowText ? m_.TickTextHeight : 0) + m_.Tick.Size;
    if (m_.Vertical) return {t.Left, t.Top + p, t.Left + d, t.Bottom - p};
    return {t.Left + p, t.Top, t.Right - p, t.Top + d};
}

TRect TTrackBarLayout::BottomRightTicks() const {
    if (m_.Tick.Style == tsNone || m_.Tick.Position == tmTopLeft) return kNoRect;
    const TRect t = Track();
    const int p = PointerOffset();
    const int d = (m_.Tick.ShowText ? m_.TickTextHeight : 0) + m_.Tick.Size;
    int s;
    if (m_.Slider.Visible && m_.Slider.Size > 0) {
        s = AcrossEnd(Slider(), m_.Vertical) - (m_.Slider.Border3D ? 1 : 0) + m_.Tick.Spacing;
    } else if (const TRect tl = TopLeftTicks(); !IsNone(tl)) {
        s = AcrossEnd(tl, m_.Vertical) + 2 * m_.Tick.Spacing;
    } else {
        s = AcrossStart(t, m_.Vertical);
    }
    if (m_.Vertical) return {s, t.Top + p, s + d, t.Bottom - p};
    return {t.Left + p, s, t.Right - p, s + d};
}

TRect TTrackBarLayout::Slider() const {
    if (m_.Slider.Size <= 0 || !m_.Slider.Visible) return kNoRect;
    TRect s = Track();
    const TRect tl = TopLeftTicks();
    if (m_.Vertical) {
        s.Left = IsNone(tl) ? s.Left : tl.Right + m_.Tick.Spacing;
        s.Right = s.Left + m_.Slider.Size;
    } else {
        s.Top = IsNone(tl) ? s.Top : tl.Bottom + m_.Tick.Spacing;
        s.Bottom = s.Top + m_.Slider.Size;
    }
    return s;
}

int TTrackBarLayout::ThumbOffset(int64_t position) const {
    if (m_.Max == m_.Min) return 0;
    const int64_t room = static_cast<int64_t>(TrackLength()) - m_.Thumb.Width;
    const int64_t range = static_cast<int64_t>(m_.Max) - m_.Min;
    const int64_t from = position - m_.Min;
    // |from| <= 2^32 and pixel lengths stay far below 2^30: the product fits.
    return ClampToInt(from * room / range);
}

TRect TTrackBarLayout::ThumbAt(int64_t position) const {
    const TRect t = Track();
    const bool v = m_.Vertical;
    int c;
    if (m_.Slider.Visible && m_.Slider.Size > 0) {
        const TRect s = Slider();
        c = AcrossStart(s, v) + (AcrossEnd(s, v) - AcrossStart(s, v)) / 2 - m_.Thumb.Size / 2;
    } else if (m_.Tick.Style == tsNone) {
        c = AcrossStart(t, v);
    } else if (m_.Tick.Position == tmBottomRight) {
        c = AcrossStart(BottomRightTicks(), v);
    } else {
        c = AcrossStart(TopLeftTicks(), v) + m_.Tick.Spacing - m_.Thumb.Size / 2;
    }
    int acrossStart = c, acrossEnd = c + m_.Thumb.Size;
    if (m_.Thumb.Shape == tsLine && m_.Thumb.PictureEmpty) {
        // A line thumb spans the whole inner height (width).
        acrossStart = AcrossStart(Inner(), v);
        acrossEnd = (v ? m_.ClientWidth : m_.ClientHeight) - m_.FrameWidth;
    }
    const int a = ThumbOffset(position);
    if (v) {
        const int bottom = t.Bottom - a;
        return {acrossStart, bottom - m_.Thumb.Width, acrossEnd, bottom};
    }
    const int left = t.Left + a;
    return {left, acrossStart, left + m_.Thumb.Width, acrossEnd};
}

int TTrackBarLayout::ValueFromPoint(int x, int y) const {
    const TRect t = Track();
    const double range = static_cast<double>(m_.Max) - m_.Min;
    double room, along;
    if (m_.Vertical) {
        room = static_cast<double>(t.Bottom) - t.Top - m_.Thumb.Width;
        along = static_cast<double>(t.Bottom) - m_.Thumb.Width - y;
    } else {
        room = static_cast<double>(t.Right) - t.Left - m_.Thumb.Width;
        along = static_cast<double>(x) - t.Left - PointerOffset();
    }
    // A track no longer than the thumb leaves the thumb nowhere to go.
    if (room <= 0) return m_.Position;
    int64_t v = RoundHalfEven(along / room * range + m_.Min);
    if (v > m_.Max) v = m_.Max;
    if (v < m_.Min) v = m_.Min;
    if (v < m_.Min || v > m_.Max) return m_.Position;
    return static_cast<int>(v);
}

int TTrackBarLayout::PageStepToward(int x, int y) const {
    const TRect t = Track();
    const double range = static_cast<double>(m_.Max) - m_.Min;
    const double scale = range == 0 ? 0.0 : (static_cast<double>(TrackLength()) - m_.Thumb.Width) / range;
    const int64_t moved = RoundHalfEven((static_cast<double>(m_.Position) - m_.Min) * scale);
    const int p = PointerOffset();
    if (m_.Vertical) {
        const int64_t thumb = t.Bottom - moved;
        const int64_t r = thumb > y ? y : static_cast<int64_t>(y) + p;
        if (std::fabs(static_cast<double>(r - thumb)) < scale) return 0;
        return thumb > y ? 1 : -1;
    }
    const int64_t thumb = moved + t.Left;
    const int64_t r = thumb > x ? static_cast<int64_t>(x) - p : x;
    if (std::fabs(static_cast<double>(r - thumb)) < scale) return 0;
    return thumb > x ? -1 : 1;
}

TSliderParts TTrackBarLayout::SliderParts(bool showsCompleted, const TRect& thumb) const {
    const TRect s = Slider();
    TSliderParts parts;
    if (!showsCompleted) {
        parts.Rest = s;
        return parts;
    }
    if (m_.Position == m_.Min) {
        parts.Rest = s;
    } else if (m_.Position == m_.Max) {
        parts.Completed = s;
    } else if (m_.Vertical) {
        const int m = thumb.Top + m_.Thumb.Width / 2;
        parts.Completed = {s.Left, m, s.Right, s.Bottom};
        parts.Rest = {s.Left, s.Top, s.Right, m + 1};
    } else {
        const int m = thumb.Left + m_.Thumb.Width / 2;
        parts.Completed = {s.Left, s.Top, m, s.Bottom};
        parts.Rest = {m - 1, s.Top, s.Right, s.Bottom};
    }
    return parts;
}

std::vector<TTickPlacement> TTrackBarLayout::TickMarks(bool hasDrawTickEvent) const {
    std::vector<TTickPlacement> ticks;
    if (m_.Tick.Size <= 0 || m_.Tick.Style != tsAuto) return ticks;
    const bool v = m_.Vertical;
    const bool bottomBand = m_.Tick.Position == tmBottomRight || m_.Tick.Position == tmBoth;
    const TRect band = bottomBand ? BottomRightTicks() : TopLeftTicks();
    const int s = v ? band.Top : band.Left;
    const int longer = std::max(m_.ClientWidth, m_.ClientHeight);
    const int64_t cap = (static_cast<int64_t>(longer) - 2 * static_cast<int64_t>(s)) / 2;
    const int64_t last = hasDrawTickEvent || m_.Tick.ShowText ? m_.Max : std::min<int64_t>(m_.Max, cap);
    const double span = static_cast<double>(last) - m_.Min;
    const double scale = span == 0 ? 0.0 : (static_cast<double>(TrackLength()) - m_.Thumb.Width) / span;
    int64_t previous = -100;
    for (int64_t i = m_.Min; i <= last; ++i) {
        const int64_t d = static_cast<int64_t>(std::trunc(static_cast<double>(i - m_.Min) * scale));
        if (!hasDrawTickEvent && d <= previous + 1) {
            // Values that would land within a pixel of the last tick are
            // skipped; on long ranges jump close to the next one at once.
            if (scale > 0) {
                const auto next = m_.Min + static_cast<int64_t>(std::floor((previous + 2) / scale)) - 1;
                if (next > i) i = next;
            }
            continue;
        }
        previous = d;
        ticks.push_back({i, ClampToInt(d)});
    }
    return ticks;
}

TRect TTrackBarLayout::RateCell(int64_t value, int cellWidth, int cellHeight) const {
    // Pictures without a size give no cells (the walk would never end).
    if (value <= m_.Min || cellWidth <= 0 || cellHeight <= 0) return kNoRect;
    const TRect t = Track();
    int64_t x = t.Left, y = t.Top;
    for (int64_t v = static_cast<int64_t>(m_.Min) + 1;; ++v) {
        if (y > t.Bottom) return kNoRect;
        if (v == value) return {ClampToInt(x), ClampToInt(y), ClampToInt(x + cellWidth), ClampToInt(y + cellHeight)};
        x += cellWidth;
        if (x + cellWidth > t.Right) {
            x = t.Left;
            y += cellHeight;
        }
    }
}

std::optional<int> TTrackBarLayout::RateValueAt(int x, int y, int cellWidth, int cellHeight) const {
    if (cellWidth <= 0 || cellHeight <= 0) return std::nullopt;
    const TRect t = Track();
    int64_t cx = t.Left, cy = t.Top;
    for (int64_t v = static_cast<int64_t>(m_.Min) + 1; v <= m_.Max; ++v) {
        if (cy > t.Bottom) break;
        if (x >= cx && x < cx + cellWidth && y >= cy && y < cy + cellHeight) return static_cast<int>(v);
        cx += cellWidth;
        if (cx + cellWidth > t.Right) {
            cx = t.Left;
            cy += cellHeight;
        }
    }
    return std::nullopt;
}

int TTrackBarLayout::LastRateValue(int cellWidth, int cellHeight) const {
    if (cellWidth <= 0 || cellHeight <= 0) return m_.Min;
    const TRect t = Track();
    int64_t x = t.Left, y = t.Top, last = m_.Min;
    for (int64_t v = static_cast<int64_t>(m_.Min) + 1; v <= m_.Max && y <= t.Bottom; ++v) {
        last = v;
        x += cellWidth;
        if (x + cellWidth > t.Right) {
            x = t.Left;
            y += cellHeight;
        }
    }
    return static_cast<int>(last);
}

std::optional<int> TTrackBarLayout::RateClickValue(int x, int y, int cellWidth, int cellHeight) const {
    if (auto v = RateValueAt(x, y, cellWidth, cellHeight)) return v;
    const TRect k = RateCell(static_cast<int64_t>(m_.Min) + 1, cellWidth, cellHeight);
    if (!IsNone(k) && k.Left - 4 <= x && x < k.Left && k.Top <= y && y <= k.Bottom) return m_.Min;
    return std::nullopt;
}

std::vector<TRect> TTrackBarLayout::PositionChangeAreas(const TRect& oldThumb, const TRect& newThumb,
                                                        bool sliderShowsCompleted, bool imageAtThumbOnly) const {
    const TRect o = Inflated(oldThumb, 1, 1), n = Inflated(newThumb, 1, 1);
    std::vector<TRect> areas{{std::min(o.Left, n.Left), std::min(o.Top, n.Top), std::max(o.Right, n.Right),
                              std::max(o.Bottom, n.Bottom)}};
    if (sliderShowsCompleted && !IsNone(Slider())) areas.push_back(Slider());
    if (imageAtThumbOnly) {
        const TRect t = Track();
        for (const TRect& r : {n, o}) {
            areas.push_back(m_.Vertical ? TRect{t.Left, r.Top, t.Right, r.Bottom}
                                        : TRect{r.Left, t.Top, r.Right, t.Bottom});
        }
    }
    return areas;
}

TRect TTrackBarLayout::LabelRepaintArea(bool aligned) const {
    TRect r = Label(aligned);
    if (IsNone(r)) return r;
    r = m_.Vertical ? Inflated(r, 0, -10) : Inflated(r, 5, 0);
    if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
    if (r.Left > r.Right) std::swap(r.Left, r.Right);
    return r;
}

std::optional<int> ResolvePosition(int64_t requested, int current, int min, int max) {
    if (requested == current) return std::nullopt;
    if (requested < min) return min;
    if (requested > max) return max;
    return static_cast<int>(requested);
}

int OffsetPosition(int position, int64_t delta) { return ClampToInt(position + delta); }

std::optional<int> KeyTarget(uint16_t key, bool shift, bool vertical, int position, int min, int max,
                             int pageSize) {
    if (shift) return std::nullopt;
    switch (key) {
        case vk::Prior: return OffsetPosition(position, pageSize);
        case vk::Next: return OffsetPosition(position, -static_cast<int64_t>(pageSize));
        case vk::End: return vertical ? min : max;
        case vk::Home: return vertical ? max : min;
        case vk::Left:
        case vk::Down:
            if (position > min) return position - 1;
            return std::nullopt;
        case vk::Up:
        case vk::Right:
            if (position < max) return position + 1;
            return std::nullopt;
        default: return std::nullopt;
    }
}

TRect PlaceTrackHint(int left, int top, int textWidth, int textHeight, const TRect& monitor) {
    TRect r{left, top, left + textWidth + 16, top + textHeight + 4};
    const int monitorWidth = monitor.Right - monitor.Left;
    const int monitorHeight = monitor.Bottom - monitor.Top;
    if (r.Right - monitor.Left > monitorWidth) {
        r.Left = monitor.Left + monitorWidth - (r.Right - r.Left) - 2;
        r.Right = r.Left + textWidth + 16;
    }
    if (r.Bottom - monitor.Top > monitorHeight) {
        r.Bottom = monitor.Top + monitorHeight - 2;
        r.Top = r.Bottom - textHeight - 4;
    }
    return r;
}

std::wstring FormatTrackLabel(const std::wstring& format, int value) {
    std::wstring out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            out += L'%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        bool leftAlign = false, zeroPad = false;
        for (; j < format.size() && (format[j] == L'-' || format[j] == L'0'); ++j) {
            (format[j] == L'-' ? leftAlign : zeroPad) = true;
        }
        size_t width = 0;
        for (; j < format.size() && format[j] >= L'0' && format[j] <= L'9' && width < 1000; ++j) {
            width = width * 10 + static_cast<size_t>(format[j] - L'0');
        }
        if (j >= format.size() || (format[j] != L'd' && format[j] != L'D')) {
            out += format[i];  // not a %d: kept as text
            continue;
        }
        std::wstring digits = std::to_wstring(std::llabs(static_cast<long long>(value)));
        const std::wstring sign = value < 0 ? L"-" : L"";
        std::wstring text;
        if (zeroPad && !leftAlign && sign.size() + digits.size() < width) {
            text = sign + std::wstring(width - sign.size() - digits.size(), L'0') + digits;
        } else {
            text = sign + digits;
            if (text.size() < width) {
                text = leftAlign ? text + std::wstring(width - text.size(), L' ')
                                 : std::wstring(width - text.size(), L' ') + text;
            }
        }
        out += text;
        i = j;
    }
    return out;
}

}  // namespace kel::trackbar
