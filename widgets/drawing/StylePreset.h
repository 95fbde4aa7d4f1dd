// The style-preset interface that the glow button, the smooth panel, the
// slider and the tab pager's office styler implement. Style numbers follow
// the pager's presets: 0 Office 2003 blue, 1 Office 2003 silver, 2 Office
// 2003 olive, 3 Office 2003 classic, 4 Office 2007 Luna, 5 Office 2007
// Obsidian, 6 Windows XP, 7 Whidbey, 8 custom, 9 Office 2007 silver,
// 10 Windows Vista, 11 Windows 7, 12 terminal, 13 Office 2010 blue,
// 14 Office 2010 silver, 15 Office 2010 black. 8 and numbers above 15
// change no colours.
#pragma once

namespace kel {

enum TStylePresetNumber : int {
    spOffice2003Blue = 0,
    spOffice2003Silver = 1,
    spOffice2003Olive = 2,
    spOffice2003Classic = 3,
    spOffice2007Luna = 4,
    spOffice2007Obsidian = 5,
    spWindowsXP = 6,
    spWhidbey = 7,
    spCustom = 8,
    spOffice2007Silver = 9,
    spWindowsVista = 10,
    spWindows7 = 11,
    spTerminal = 12,
    spOffice2010Blue = 13,
    spOffice2010Silver = 14,
    spOffice2010Black = 15,
};

// Implemented by components; not reference counted (the owner frees them).
class IStylePreset {
public:
    virtual void ApplyStylePreset(int style) = 0;

protected:
    ~IStylePreset() = default;
};

}  // namespace kel
