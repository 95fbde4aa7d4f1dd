// RenderHtmlText: the mini-HTML markup laid out, drawn, measured and
// hit-tested on a GDI canvas (check boxes, radio buttons, the emulated task
// dialog). The layout is HtmlLayout's; this is its GDI surface.
#pragma once

#include <windows.h>

#include <string>

#include "framework/gui/graphics.h"
#include "framework/gui/image_list.h"
#include "widgets/drawing/HtmlLayout.h"
#include "widgets/drawing/PictureCache.h"
#include "widgets/drawing/PictureContainer.h"

namespace kel {

struct THtmlGdiSources {
    fw::TImageList* Images = nullptr;            // "IDX:n"
    THTMLPictureCache* PictureCache = nullptr;   // sources with "://", loaded on first use
    TPictureContainer* PictureStore = nullptr;   // names without ":"
};

// The markup's font description of a framework font.
THtmlFont HtmlFontOf(const fw::TFont& font);
// True for an "IDX:" reference to an image the list has.
bool HasListImage(const THtmlImageRef& ref, const fw::TImageList* images);
// The own size of an image-list image or a shell icon; nothing present for
// any other source.
THtmlImageInfo OwnSizedImage(const THtmlImageRef& ref, const fw::TImageList* images);

// Starts in the canvas font. On return the canvas font, pen and brush and
// the device context's text colours and background mode are as they were,
// and no rotated font is left selected. A picture that fails to load is
// not drawn and takes no room.
bool RenderHtmlText(fw::TCanvas& canvas, const THtmlParams& params, THtmlResults& results,
                    const THtmlGdiSources& sources = {});

}  // namespace kel
