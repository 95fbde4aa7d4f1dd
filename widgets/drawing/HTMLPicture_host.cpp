// The host build has no OLE picture loader and no resources: pictures keep
// their bytes and frames but decode to nothing.
#include "widgets/drawing/HTMLPicture.h"

namespace kel {

class TOlePicture {};

void TOlePictureDeleter::operator()(TOlePicture* picture) const { delete picture; }

TOlePicturePtr DecodeOlePicture(const TBytes& /*bytes*/) { return nullptr; }

void OlePictureHimetricSize(const TOlePicture& /*picture*/, int& width, int& height) { width = height = 0; }

void THTMLPicture::LoadFromResourceName(HINSTANCE__* /*module*/, const std::wstring& /*name*/) {}

}  // namespace kel
