// THTMLPictureCache: the pictures the GDI renderer loaded by source text
// ("RES://", "FILE://" or a URL), owned by the cache and freed with it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "widgets/drawing/HTMLPicture.h"

namespace kel {

class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    ~THTMLPictureCache() = default;
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    // A new, empty picture at the end of the cache.
    THTMLPicture* AddPicture();
    // The first picture whose source equals the text (case counts); nil
    // when none.
    THTMLPicture* FindPicture(const std::wstring& source) const;
    // nil for an index outside the cache.
    THTMLPicture* GetPicture(int index) const;
    int Count() const { return static_cast<int>(pictures_.size()); }
    // Frees every picture.
    void ClearPictures() { pictures_.clear(); }

private:
    std::vector<std::unique_ptr<THTMLPicture>> pictures_;
};

}  // namespace kel
