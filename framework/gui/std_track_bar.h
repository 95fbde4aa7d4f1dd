// TTrackBar: Windows' trackbar class: a range, a position, and OnChange
// whenever the position changes (by the user or by SetPosition).
#pragma once

#include "framework/gui/win_control.h"

namespace fw {

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* owner);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetRange(int min, int max);
    int Position() const { return position_; }
    // Brought into the range.
    void SetPosition(int position);

    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateHandleDone() override;
    bool ScrollReflect(UINT msg, WORD code, int position) override;

private:
    int min_ = 0;
    int max_ = 10;
    int position_ = 0;
};

}  // namespace fw
