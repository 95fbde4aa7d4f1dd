// Tab layout hooks of the pager that the page switch and the page bodies
// use. Without a laid-out strip every tab counts as out of view and the
// button area starts at the strip's end.
#include "widgets/pager/KelOfficePager.h"

namespace kel::pager {

RECT TKelOfficePager::TabRect(int /*index*/) const { return RECT{-1, -1, -1, -1}; }

int TKelOfficePager::ButtonAreaStart() const {
    const RECT strip = StripRect();
    return tabPosition_ == tpLeft || tabPosition_ == tpRight ? strip.bottom : strip.right;
}

void TKelOfficePager::UpdateTabScroller() {}

void TKelOfficePager::UpdateButtons() {}

}  // namespace kel::pager
