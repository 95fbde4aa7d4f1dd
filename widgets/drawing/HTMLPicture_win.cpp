// The Windows half of THTMLPicture: OleLoadPicture, rendering and resources.
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include "framework/core/exceptions.h"
#include "framework/gui/graphics.h"
#include "widgets/drawing/GDIPicture.h"
#include "widgets/drawing/GlobalMemoryStream.h"
#include "widgets/drawing/HTMLPicture.h"
#include "widgets/drawing/PictureStoreRules.h"

namespace kel {

class TOlePicture {
public:
    explicit TOlePicture(IPicture* picture) : picture_(picture) {}
    ~TOlePicture() { picture_->Release(); }
    TOlePicture(const TOlePicture&) = delete;
    TOlePicture& operator=(const TOlePicture&) = delete;
    IPicture* Get() const { return picture_; }

private:
    IPicture* picture_;
};

void TOlePictureDeleter::operator()(TOlePicture* picture) const { delete picture; }

TOlePicturePtr DecodeOlePicture(const TBytes& bytes) {
    TGlobalMemoryStream stream(bytes);
    IPicture* picture = nullptr;
    const HRESULT hr = OleLoadPicture(stream.Stream(), static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                      reinterpret_cast<void**>(&picture));
    if (FAILED(hr)) throw fw::Exception(L"Could not load image. Invalid format");
    if (!picture) throw fw::Exception(L"Could not load image");
    return TOlePicturePtr(new TOlePicture(picture));
}

void OlePictureHimetricSize(const TOlePicture& picture, int& width, int& height) {
    OLE_XSIZE_HIMETRIC w = 0;
    OLE_YSIZE_HIMETRIC h = 0;
    picture.Get()->get_Width(&w);
    picture.Get()->get_Height(&h);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

void THTMLPicture::Draw(fw::TCanvas& canvas, const RECT& rect) {
    if (empty_ || !picture_) return;
    int w = 0, h = 0;
    OlePictureHimetricSize(*picture_, w, h);
    HDC dc = canvas.Handle();
    // OLE pictures measure their source bottom-up in HIMETRIC: reading from
    // (0, h) with a negative height draws them upright. (Flipping the
    // destination instead, which Windows also accepts, draws a fraction of
    // the picture under Wine.)
    if (stretch_) {
        picture_->Get()->Render(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, h, w, -h,
                                &rect);
        return;
    }
    const int pw = HimetricToPixels(w, GetDeviceCaps(dc, LOGPIXELSX));
    const int ph = HimetricToPixels(h, GetDeviceCaps(dc, LOGPIXELSY));
    picture_->Get()->Render(dc, rect.left, rect.top, pw, ph, 0, h, w, -h, nullptr);
}

void THTMLPicture::LoadFromResourceName(HMODULE module, const std::wstring& name) {
    LoadGraphicFromResource(*this, module, name);
}

}  // namespace kel
