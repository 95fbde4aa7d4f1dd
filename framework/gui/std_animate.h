// TAnimate: Windows' animation control, playing a silent AVI clip from a
// resource of the program.
#pragma once

#include "framework/gui/controls.h"

namespace fw {

class TAnimate : public TWinControl {
public:
    explicit TAnimate(TComponent* owner);

    // Opens the clip with this resource id of the program; false (and no
    // clip) when it cannot be loaded.
    bool OpenClip(int resourceId);
    int ClipId() const { return clip_id_; }
    void Play();
    void Stop();
    bool Playing() const { return playing_; }

protected:
    void CreateParams(TCreateParams& params) override;

private:
    int clip_id_ = 0;
    bool playing_ = false;
};

}  // namespace fw
