// TKelProgressBar: a windowless progress bar whose fill colour follows the
// level reached (up to four levels split by two thresholds), as one colour
// or as stacked segments; gradient, solid or block fill; square or rounded
// frame; a centred percentage, position or formatted text; and an
// "infinite" mode with a moving marker.
#pragma once

#include <memory>
#include <string>

#include "Updater/KelProgressBarGauge.h"
#include "framework/gui/controls.h"

namespace fw {
class TTimer;
}

namespace oru {

class TKelProgressBar : public fw::TGraphicControl {
public:
    explicit TKelProgressBar(fw::TComponent* owner);
    ~TKelProgressBar() override;

#define KEL_BAR_PROPERTY(type, name, field) \
    type name() const { return field; }      \
    void Set##name(type v) {                 \
        field = v;                           \
        Invalidate();                        \
    }
    KEL_BAR_PROPERTY(fw::TColor, Level0Color, s_.Level0Color)
    KEL_BAR_PROPERTY(fw::TColor, Level0ColorTo, s_.Level0ColorTo)
    KEL_BAR_PROPERTY(fw::TColor, Level1Color, s_.Level1Color)
    KEL_BAR_PROPERTY(fw::TColor, Level1ColorTo, s_.Level1ColorTo)
    KEL_BAR_PROPERTY(fw::TColor, Level2Color, s_.Level2Color)
    KEL_BAR_PROPERTY(fw::TColor, Level2ColorTo, s_.Level2ColorTo)
    KEL_BAR_PROPERTY(fw::TColor, Level3Color, s_.Level3Color)
    KEL_BAR_PROPERTY(fw::TColor, Level3ColorTo, s_.Level3ColorTo)
    KEL_BAR_PROPERTY(int, Level1Perc, s_.Level1Perc)
    KEL_BAR_PROPERTY(int, Level2Perc, s_.Level2Perc)
    KEL_BAR_PROPERTY(fw::TColor, BorderColor, s_.BorderColor)
    KEL_BAR_PROPERTY(bool, ShowBorder, s_.ShowBorder)
    KEL_BAR_PROPERTY(bool, Stacked, s_.Stacked)
    KEL_BAR_PROPERTY(bool, ShowPercentage, s_.ShowPercentage)
    KEL_BAR_PROPERTY(bool, CompletionSmooth, s_.CompletionSmooth)
    KEL_BAR_PROPERTY(bool, ShowGradient, s_.ShowGradient)
    KEL_BAR_PROPERTY(int, Steps, s_.Steps)
    KEL_BAR_PROPERTY(fw::TColor, BackgroundColor, s_.BackgroundColor)
    KEL_BAR_PROPERTY(TGaugeOrientation, Orientation, s_.Orientation)
    KEL_BAR_PROPERTY(bool, ShowPosition, s_.ShowPosition)
    KEL_BAR_PROPERTY(bool, Rounded, s_.Rounded)
    KEL_BAR_PROPERTY(std::wstring, Format, s_.Format)
#undef KEL_BAR_PROPERTY

    fw::TColor Level0BkColor() const { return s_.Level0BkColor; }
    void SetLevel0BkColor(fw::TColor v) { SetLevelBk(s_.Level0BkColor, v); }
    fw::TColor Level1BkColor() const { return s_.Level1BkColor; }
    void SetLevel1BkColor(fw::TColor v) { SetLevelBk(s_.Level1BkColor, v); }
    fw::TColor Level2BkColor() const { return s_.Level2BkColor; }
    void SetLevel2BkColor(fw::TColor v) { SetLevelBk(s_.Level2BkColor, v); }
    // Assigns and repaints.
    void SetFont(const fw::TFont& font);

    int Position() const { return range_.Position(); }
    void SetPosition(int v);
    int Min() const { return range_.Min(); }
    void SetMin(int v);
    int Max() const { return range_.Max(); }
    void SetMax(int v);
    int Percentage() const { return range_.Percentage(); }

    bool Animated() const { return animated_; }
    void SetAnimated(bool v);
    bool Infinite() const { return s_.Infinite; }
    void SetInfinite(bool v);
    int InfiniteInterval() const { return interval_; }
    void SetInfiniteInterval(int ms);
    int MarkerPosition() const { return marker_.Position(); }
    bool AnimationRunning() const;

    // "1.2.0.1"; read-only.
    std::wstring Version() const;
    // Paints done so far (a paint builds the whole bar off-screen).
    int PaintCount() const { return paint_count_; }

    // The settings one paint uses.
    TGaugeSettings Settings() const;

protected:
    void Paint() override;

private:
    void SetLevelBk(uint32_t& field, fw::TColor v);
    void UpdateTimer();
    void TimerTick();

    TGaugeSettings s_;
    TBarRange range_;
    TBarMarker marker_;
    bool animated_ = false;
    int interval_ = 50;
    fw::TTimer* timer_ = nullptr;
    int paint_count_ = 0;
};

// Draws what BuildBarGauge worked out onto a canvas.
void DrawBarOps(fw::TCanvas& canvas, const std::vector<TBarOp>& ops, fw::TFont& font);

}  // namespace oru
