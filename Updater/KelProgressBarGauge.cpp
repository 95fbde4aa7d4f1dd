// The progress bar's geometry, range rules and text.
#include "Updater/KelProgressBarGauge.h"

#include <algorithm>
#include <cmath>

#include "Updater/NetCopyHelpers.h"

namespace oru {
namespace {

int Round(double x) { return static_cast<int>(NcRound(x)); }

uint8_t Channel(uint32_t c, int shift) { return static_cast<uint8_t>((c >> shift) & 0xFF); }

bool Empty(const TBarRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

void AddFill(std::vector<TBarOp>& ops, const TBarRect& r, uint32_t color) {
    if (Empty(r)) return;
    TBarOp op;
    op.What = TBarOp::Fill;
    op.Rect = r;
    op.Color = color;
    ops.push_back(op);
}

// A segment or block: two gradient halves meeting in the middle, or solid.
void AddPiece(std::vector<TBarOp>& ops, const TBarRect& r, uint32_t color, uint32_t colorTo, const TGaugeSettings& s) {
    if (Empty(r)) return;
    if (!s.ShowGradient) {
        AddFill(ops, r, color);
        return;
    }
    if (s.Orientation == TGaugeOrientation::goHorizontal) {
        int half = (r.Bottom - r.Top) / 2;
        AddBarGradient(ops, colorTo, color, false, {r.Left, r.Top, r.Right, r.Top + half}, s.Steps);
        AddBarGradient(ops, color, colorTo, false, {r.Left, r.Top + half, r.Right, r.Bottom}, s.Steps);
    } else {
        int half = (r.Right - r.Left) / 2;
        AddBarGradient(ops, colorTo, color, true, {r.Left, r.Top, r.Left + half, r.Bottom}, s.Steps);
        AddBarGradient(ops, color, colorTo, true, {r.Left + half, r.Top, r.Right, r.Bottom}, s.Steps);
    }
}

TBarRect Intersect(const TBarRect& a, const TBarRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

void AddLevelBackgrounds(std::vector<TBarOp>& ops, const TBarRect& r, const TGaugeSettings& s, int t1, int t2, int L) {
    if (s.Level0BkColor == kBarNoColor && s.Level1BkColor == kBarNoColor && s.Level2BkColor == kBarNoColor) return;
    int z0 = Round(t1 / 100.0 * L);
    int z1 = Round(L * (t2 - t1) / 100.0);
    int z2 = L - z0 - z1;
    TBarRect zones[3];
    if (s.Orientation == TGaugeOrientation::goHorizontal) {
        zones[0] = {r.Left + 2, r.Top + 1, r.Left + z0, r.Bottom - 1};
        zones[1] = {r.Left + z0, r.Top + 1, r.Left + z0 + z1, r.Bottom - 1};
        zones[2] = {r.Left + z0 + z1, r.Top + 1, r.Left + z0 + z1 + z2, r.Bottom - 1};
    } else {
        zones[0] = {r.Left + 1, r.Bottom - z0 + 1, r.Right - 1, r.Bottom - 2};
        zones[1] = {r.Left + 1, r.Bottom - z0 - z1 + 1, r.Right - 1, r.Bottom - z0 + 1};
        zones[2] = {r.Left + 1, zones[1].Top - 1 - z2, r.Right - 1, zones[1].Top - 1};
    }
    // Thresholds past 100 (the infinite mode) would reach over the frame.
    const TBarRect inside{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    const uint32_t colors[3] = {s.Level0BkColor, s.Level1BkColor, s.Level2BkColor};
    for (int i = 0; i < 3; ++i)
        if (colors[i] != kBarNoColor) AddFill(ops, Intersect(zones[i], inside), colors[i]);
}

void AddStacked(std::vector<TBarOp>& ops, const TBarRect& r, const TGaugeSettings& s, int p, int t1, int t2, int L) {
    const bool horz = s.Orientation == TGaugeOrientation::goHorizontal;
    int len0 = Round(std::min(p, t1) / 100.0 * L);
    TBarRect seg0 = horz ? TBarRect{r.Left + 2, r.Top + 1, r.Left + len0, r.Bottom - 1}
                         : TBarRect{r.Left + 1, r.Bottom - len0 + 1, r.Right - 1, r.Bottom - 2};
    AddPiece(ops, seg0, s.Level0Color, s.Level0ColorTo, s);
    if (p < t1) return;
    int len1 = Round(L * (std::min(p, t2) - t1) / 100.0);
    TBarRect seg1 = horz ? TBarRect{r.Left + len0, r.Top + 1, r.Left + len0 + len1, r.Bottom - 1}
                         : TBarRect{r.Left + 1, r.Bottom - len0 - len1 + 1, r.Right - 1, r.Bottom - len0 + 1};
    AddPiece(ops, seg1, s.Level1Color, s.Level1ColorTo, s);
    if (p < t2) return;
    int len2 = p == 100 ? L - len0 - len1 : Round(L * (p - t2) / 100.0);
    TBarRect seg2 = horz ? TBarRect{r.Left + len0 + len1, r.Top + 1, r.Left + len0 + len1 + len2, r.Bottom - 1}
                         : TBarRect{r.Left + 1, seg1.Top - 1 - len2, r.Right - 1, seg1.Top - 1};
    AddPiece(ops, seg2, s.Level2Color, s.Level2ColorTo, s);
}

void AddBlocks(std::vector<TBarOp>& ops, const TBarRect& r, const TGaugeSettings& s, int p, int L, uint32_t c,
               uint32_t cTo) {
    const bool horz = s.Orientation == TGaugeOrientation::goHorizontal;
    int F = Round(L * p / 100.0);
    // A block from `from` for `len` pixels along the bar (upwards when vertical).
    auto block = [&](int from, int len) {
        if (horz) {
            AddPiece(ops, {from, r.Top + 2, from + len, r.Bottom - 2}, c, cTo, s);
        } else {
            AddPiece(ops, {r.Left + 2, std::max(from - len, r.Top + 2), r.Right - 2, from}, c, cTo, s);
        }
    };
    const int dir = horz ? 1 : -1;
    const int start = horz ? r.Left + 2 : r.Bottom - 2;
    if (F < 10) {
        if (F > 1) block(start, F - 1);
        return;
    }
    int at = start;
    for (int i = 0; i < F / 9; ++i) {
        block(at, 7);
        at += dir * 9;
    }
    if (F % 9 > 2) block(at, F % 9 - 1);
}

void AddMarker(std::vector<TBarOp>& ops, const TBarRect& r, const TGaugeSettings& s) {
    const bool horz = s.Orientation == TGaugeOrientation::goHorizontal;
    int outer = horz ? r.Right - r.Left : r.Bottom - r.Top;
    int travel = outer < 5 ? 0 : outer - 4;
    int pos = Round(s.MarkerPosition / 100.0 * travel);
    if (horz) {
        AddFill(ops, {r.Left + 2, r.Top + 1, std::max(r.Left + 2, r.Left + 2 + pos - 12), r.Bottom - 1}, s.BackgroundColor);
        AddFill(ops, {std::min(r.Right - 2, r.Left + pos + 12), r.Top + 2, r.Right - 2, r.Bottom - 2}, s.BackgroundColor);
    } else {
        AddFill(ops, {r.Left + 1, r.Top + 2, r.Right - 1, std::max(r.Top + 2, r.Top + 2 + pos - 12)}, s.BackgroundColor);
        AddFill(ops, {r.Left + 2, std::min(r.Bottom - 2, r.Top + pos + 12), r.Right - 2, r.Bottom - 2}, s.BackgroundColor);
    }
}

}  // namespace

int BarPercentage(int position, int min, int max) {
    if (max == min) return 0;
    int pct = Round((static_cast<double>(position) - min) / (static_cast<double>(max) - min) * 100.0);
    return std::clamp(pct, 0, 100);
}

void AddBarGradient(std::vector<TBarOp>& ops, uint32_t c1, uint32_t c2, bool across, const TBarRect& r, int steps) {
    int n = steps <= 0 ? 1 : steps;
    int extent = across ? r.Right - r.Left : r.Bottom - r.Top;
    if (extent <= 0) return;
    double size = static_cast<double>(extent) / n;
    for (int i = 0; i < n; ++i) {
        uint32_t color = 0;
        for (int shift : {0, 8, 16}) {
            int a = Channel(c1, shift), b = Channel(c2, shift);
            int v = std::clamp(a + Round(static_cast<double>(i) * (b - a) / n), 0, 255);
            color |= static_cast<uint32_t>(v) << shift;
        }
        int from = Round(i * size);
        int to = std::min(from + static_cast<int>(std::trunc(size)) + 1, extent);
        if (across) {
            AddFill(ops, {r.Left + from, r.Top, r.Left + to, r.Bottom}, color);
        } else {
            AddFill(ops, {r.Left, r.Top + from, r.Right, r.Top + to}, color);
        }
    }
}

std::vector<TBarOp> BuildBarGauge(const TBarRect& r, const TGaugeSettings& s) {
    std::vector<TBarOp> ops;
    const bool horz = s.Orientation == TGaugeOrientation::goHorizontal;
    int L = horz ? r.Right - r.Left : r.Bottom - r.Top;
    if (s.Rounded) AddFill(ops, r, kBarTransparentKey);
    int p = s.Percentage, t1 = s.Level1Perc, t2 = s.Level2Perc;
    if (s.Infinite) {
        p = 100;
        t1 = t2 = 101;
    }
    TBarOp frame;
    frame.What = s.Rounded ? TBarOp::RoundFrame : TBarOp::Frame;
    frame.Rect = r;
    frame.Color = s.BackgroundColor;
    frame.PenColor = s.ShowBorder ? s.BorderColor : s.BackgroundColor;
    ops.push_back(frame);
    L -= 2;
    AddLevelBackgrounds(ops, r, s, t1, t2, L);
    if (p > 0) {
        if (s.Stacked) {
            AddStacked(ops, r, s, p, t1, t2, L);
        } else {
            uint32_t c = s.Level2Color, cTo = s.Level2ColorTo;
            if (p < t1) {
                c = s.Level0Color, cTo = s.Level0ColorTo;
            } else if (p < t2) {
                c = s.Level1Color, cTo = s.Level1ColorTo;
            } else if (p > 99) {
                c = s.Level3Color, cTo = s.Level3ColorTo;
            }
            if (s.CompletionSmooth) {
                int len = Round(p / 100.0 * L);
                AddPiece(ops,
                         horz ? TBarRect{r.Left + 2, r.Top + 2, r.Left + len, r.Bottom - 2}
                              : TBarRect{r.Left + 2, r.Bottom - len, r.Right - 2, r.Bottom - 2},
                         c, cTo, s);
            } else {
                AddBlocks(ops, r, s, p, L, c, cTo);
            }
        }
    }
    if (s.Infinite) AddMarker(ops, r, s);
    if (s.ShowPosition) {
        TBarOp text;
        text.What = TBarOp::Text;
        text.Rect = r;
        text.Vertical = !horz;
        if (!s.Format.empty()) {
            text.Caption = FormatBarText(s.Format, s.Position, s.Max);
        } else if (s.ShowPercentage) {
            text.Caption = std::to_wstring(p) + L"%";
        } else {
            text.Caption = std::to_wstring(s.Position);
        }
        ops.push_back(text);
    }
    return ops;
}

void BarTextOrigin(const TBarRect& r, int w, int h, bool vertical, int& x, int& y) {
    if (!vertical) {
        x = r.Left + (r.Right - r.Left) / 2 - w / 2;
        y = r.Top + (r.Bottom - r.Top) / 2 - h / 2;
    } else {
        x = r.Left + (r.Right - r.Left) / 2 - h / 2;
        y = r.Top + (r.Bottom - r.Top) / 2 + w / 2;
    }
}

std::wstring FormatBarText(const std::wstring& format, int position, int max) {
    std::wstring out;
    const int args[2] = {position, max};
    int used = 0;
    size_t i = 0;
    while (i < format.size()) {
        wchar_t c = format[i];
        if (c != L'%') {
            out += c;
            ++i;
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == L'%') {
            out += L'%';
            i += 2;
            continue;
        }
        // %[-][0][width]d|u|x|X
        size_t j = i + 1;
        bool left = false, zero = false;
        if (j < format.size() && format[j] == L'-') left = true, ++j;
        if (j < format.size() && format[j] == L'0') zero = true, ++j;
        int width = 0;
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9' && width < 100) width = width * 10 + (format[j++] - L'0');
        while (j < format.size() && format[j] >= L'0' && format[j] <= L'9') ++j;
        wchar_t conv = j < format.size() ? format[j] : 0;
        if (used >= 2 || (conv != L'd' && conv != L'u' && conv != L'x' && conv != L'X')) {
            out += c;
            ++i;
            continue;
        }
        int v = args[used++];
        std::wstring digits;
        if (conv == L'd') {
            digits = std::to_wstring(v);
        } else {
            uint32_t u = static_cast<uint32_t>(v);
            if (conv == L'u') {
                digits = std::to_wstring(u);
            } else {
                const wchar_t* hex = conv == L'x' ? L"0123456789abcdef" : L"0123456789ABCDEF";
                do {
                    digits.insert(digits.begin(), hex[u & 15]);
                    u >>= 4;
                } while (u);
            }
        }
        while (static_cast<int>(digits.size()) < width) {
            if (left) {
                digits += L' ';
            } else if (zero) {
                size_t at = !digits.empty() && digits[0] == L'-' ? 1 : 0;
                digits.insert(digits.begin() + static_cast<std::ptrdiff_t>(at), L'0');
            } else {
                digits.insert(digits.begin(), L' ');
            }
        }
        out += digits;
        i = j + 1;
    }
    return out;
}

bool TBarRange::SetPosition(int v) {
    if (v < min_ || v > max_) {
        position_ = v < min_ ? min_ : max_;
        return false;
    }
    position_ = v;
    int pct = BarPercentage(v, min_, max_);
    bool repaint = step_ == 0 || v % step_ == 0 || v / step_ != last_step_index_ || pct != last_percentage_;
    last_percentage_ = pct;
    if (step_ != 0) last_step_index_ = v / step_;
    return repaint;
}

void TBarRange::SetMin(int v) {
    min_ = v;
    RangeChanged();
}

void TBarRange::SetMax(int v) {
    max_ = v;
    RangeChanged();
}

void TBarRange::RangeChanged() {
    // Wide ranges overflow a plain int subtraction.
    long long span = static_cast<long long>(max_) - min_;
    step_ = static_cast<int>(std::clamp<long long>(span / 100, INT32_MIN, INT32_MAX));
    // A position left outside the new range would paint past the bar's end.
    if (position_ > max_) position_ = max_;
    if (position_ < min_) position_ = min_;
}

void TBarMarker::Tick() {
    position_ += forward_ ? 4 : -4;
    if (position_ >= 100) {
        position_ = 100;
        forward_ = false;
    } else if (position_ <= 0) {
        position_ = 0;
        forward_ = true;
    }
}

}  // namespace oru
