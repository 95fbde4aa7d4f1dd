// The message box's layout rules.
#include "Updater/oruMessageDlgLayout.h"

namespace oru {

TMessageDlgLayout LayoutMessageDialog(const TMessageDlgLayoutInput& in) {
    TMessageDlgLayout out;
    out.MainWidth = in.MainWidth;
    out.MainHeight = in.MainHeight;
    out.ClientWidth = in.ClientWidth;
    out.ClientHeight = in.ClientHeight;
    // A main text wider than a fifth of the screen wraps at that width.
    const int fifth = in.ScreenWidth / 5;
    if (out.MainWidth > fifth) {
        out.MainWidth = fifth;
        out.MainWraps = true;
        if (in.WrappedHeight) out.MainHeight = in.WrappedHeight(fifth);
    }
    if (out.ClientWidth - in.MainLeft < out.MainWidth + 16) out.ClientWidth = in.MainLeft + out.MainWidth + 32;
    // Measured against the whole box: half the content panel is less than
    // one line of the main text plus its margins, so every box would grow.
    if (out.ClientHeight / 2 < out.MainHeight + in.MainTop + 32) out.ClientHeight += out.MainHeight;
    out.CloseLeft = out.ClientWidth - in.CloseWidth - 6;
    out.RightLeft = out.ClientWidth - in.RightWidth - 7;
    out.RightTop = out.ClientHeight - in.RightHeight - 8;
    out.LeftLeft = out.RightLeft - in.RightWidth - 7;
    out.LeftTop = out.ClientHeight - in.LeftHeight - 8;
    out.FormLeft = (in.ScreenWidth - out.ClientWidth) / 2;
    out.FormTop = (in.ScreenHeight - out.ClientHeight) / 2;
    return out;
}

int MessageDialogAnswer(int buttonResult, bool question) {
    if (buttonResult == 0 || buttonResult == 1) return buttonResult;
    return question ? 1 : 0;
}

}  // namespace oru
