// The common-controls library is registered once for every class the
// framework and the widgets use, before the first window of such a class.
#pragma once

namespace fw {

void InitCommonControlsOnce();

}  // namespace fw
