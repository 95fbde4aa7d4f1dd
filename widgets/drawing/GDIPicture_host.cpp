// The host build has no canvas: the pictures draw nothing there.
#include "widgets/drawing/GDIPicture.h"

namespace kel {

void TKelGDIPPicture::Draw(fw::TCanvas& /*canvas*/, const tagRECT& /*rect*/) {}

void TGDIPPicture::Draw(fw::TCanvas& /*canvas*/, const tagRECT& /*rect*/) {}

}  // namespace kel
