// TProgressBar: Windows' progress bar, with a marquee mode for a total that
// is not known.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* owner);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    int Position() const { return position_; }
    // Clamped to the range.
    void SetPosition(int position);
    // A marquee shows activity without a position.
    bool Marquee() const { return marquee_; }
    void SetMarquee(bool on);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;

private:
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    bool marquee_ = false;
};

}  // namespace fw
