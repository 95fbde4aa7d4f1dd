// The host build has no resources.
#include "widgets/pager/KelPagerAppearance.h"

namespace kel::pager {

void TPageButtonSettings::LoadPictures(HINSTANCE__*) {}

}  // namespace kel::pager
