// RenderHtmlTextGP: the mini-HTML markup laid out, drawn, measured and
// hit-tested on a GDI+ surface (smooth panel captions). The layout is
// HtmlLayout's with the GDI+ rules; this is its GDI+ surface: no page or
// paragraph painting, no rotation, no cache pictures, no dots-per-inch
// scaling of picture rooms.
#pragma once

#include <string>

#include "framework/gui/graphics.h"
#include "framework/gui/image_list.h"
#include "widgets/drawing/GDIPPictureContainer.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/HtmlLayout.h"
#include "widgets/drawing/HtmlRender.h"
#include "widgets/drawing/KelGDIP.h"
#include "widgets/drawing/PictureCache.h"

namespace kel {

struct THtmlGdipSources {
    fw::TImageList* Images = nullptr;              // "IDX:n"
    THTMLPictureCache* PictureCache = nullptr;     // accepted like the GDI renderer's; GDI+ shows no URL pictures
    TGDIPPictureContainer* PictureStore = nullptr; // names without ":"
};

// Starts in `font`, which is never changed; the graphics keep no state of
// the call.
bool RenderHtmlTextGP(TGPGraphics& graphics, fw::TFont& font, const THtmlParams& params, THtmlResults& results,
                      const THtmlGdipSources& sources = {});

}  // namespace kel
