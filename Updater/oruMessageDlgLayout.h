// The message box's size and places worked out from its texts and the
// screen, and the answer a box gives when it is closed without a button.
#pragma once

#include <functional>

namespace oru {

struct TMessageDlgLayoutInput {
    int ScreenWidth = 0, ScreenHeight = 0;
    // The box's client size before the layout (the outer panel fills it).
    int ClientWidth = 340, ClientHeight = 160;
    // The main text's place in the content panel and its one-line extent.
    int MainLeft = 64, MainTop = 12, MainWidth = 0, MainHeight = 0;
    int CloseWidth = 22;
    int RightWidth = 100, RightHeight = 18, LeftWidth = 100, LeftHeight = 18;
    // The main text's height when it wraps at the given width.
    std::function<int(int width)> WrappedHeight;
};

struct TMessageDlgLayout {
    bool MainWraps = false;
    int MainWidth = 0, MainHeight = 0;
    int ClientWidth = 0, ClientHeight = 0;
    int CloseLeft = 0;
    int RightLeft = 0, RightTop = 0, LeftLeft = 0, LeftTop = 0;
    // The box centred on the screen.
    int FormLeft = 0, FormTop = 0;
};

TMessageDlgLayout LayoutMessageDialog(const TMessageDlgLayoutInput& in);

// The answer a box returns: the button's, or when it was closed another way
// (Esc, Alt+F4) the one that changes nothing: 0 for an information box, the
// left button (1) for a question.
int MessageDialogAnswer(int buttonResult, bool question);

}  // namespace oru
