// One InitCommonControlsEx for all classes.
#include "framework/gui/common_controls.h"

#include <windows.h>

#include <commctrl.h>

namespace fw {

void InitCommonControlsOnce() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_ANIMATE_CLASS |
                                                  ICC_PROGRESS_CLASS | ICC_BAR_CLASSES | ICC_TAB_CLASSES |
                                                  ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_UPDOWN_CLASS};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

}  // namespace fw
