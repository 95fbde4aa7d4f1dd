#include "widgets/drawing/PictureStoreRules.h"

#include <cstdint>

namespace kel {

std::wstring UpperAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    return text;
}

bool SameNameAscii(const std::wstring& a, const std::wstring& b) {
    return a.size() == b.size() && UpperAscii(a) == UpperAscii(b);
}

TPictureSource ParsePictureSource(const std::wstring& source) {
    static const std::wstring kResource = L"RES://", kFile = L"FILE://";
    const std::wstring upper = UpperAscii(source);
    if (upper.rfind(kResource, 0) == 0) return {TPictureSourceKind::Resource, source.substr(kResource.size())};
    if (upper.rfind(kFile, 0) == 0) return {TPictureSourceKind::File, source.substr(kFile.size())};
    return {TPictureSourceKind::Url, source};
}

int HimetricToPixels(int himetric, int dpi) {
    constexpr int64_t kHimetricPerInch = 2540;
    const int64_t product = static_cast<int64_t>(himetric) * dpi;
    const int64_t half = kHimetricPerInch / 2;
    const int64_t result = (product < 0 ? product - half : product + half) / kHimetricPerInch;
    if (result > INT32_MAX || result < -INT32_MAX) return -1;
    return static_cast<int>(result);
}

}  // namespace kel
