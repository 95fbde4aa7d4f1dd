#include "widgets/drawing/PictureCache.h"

namespace kel {

THTMLPicture* THTMLPictureCache::AddPicture() {
    pictures_.push_back(std::make_unique<THTMLPicture>());
    return pictures_.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const std::wstring& source) const {
    for (const auto& p : pictures_)
        if (p->SourceId() == source) return p.get();
    return nullptr;
}

THTMLPicture* THTMLPictureCache::GetPicture(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return pictures_[static_cast<size_t>(index)].get();
}

}  // namespace kel
