// The host build has no OLE picture loader, no resources and no canvas:
// pictures keep their bytes and frames but decode and draw nothing.
#include "widgets/drawing/HTMLPicture.h"

namespace kel {

class TOlePicture {};

void TOlePictureDeleter::operator()(TOlePicture* picture) const { delete picture; }

TOlePicturePtr DecodeOlePicture(const TBytes& /*bytes*/) { return nullptr; }

void OlePictureHimetricSize(const TOlePicture& /*picture*/, int& width, int& height) { width = height = 0; }

void THTMLPicture::Draw(fw::TCanvas& /*canvas*/, const tagRECT& /*rect*/) {}

void THTMLPicture::LoadFromResourceName(HINSTANCE__* /*module*/, const std::wstring& /*name*/) {}

}  // namespace kel
