// The style interface of the glossy widgets: style numbers 0 to 15 (0 Office
// 2003 blue ... 15 Office 2010 black); 8 and numbers above 15 change no
// colours.
#pragma once

namespace kel {

class IStylePreset {
public:
    virtual ~IStylePreset() = default;
    virtual void ApplyStylePreset(int style) = 0;
};

}  // namespace kel
