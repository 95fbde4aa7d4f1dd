// Base64 of the transfer component.
#include "Updater/NcBase64.h"

#include <gtest/gtest.h>

namespace oru {
namespace {

TEST(NcBase64, TextIsEncodedAsUtf8First) {
    std::wstring astral;
    if constexpr (sizeof(wchar_t) == 2) {
        astral = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE00)};
    } else {
        astral = {static_cast<wchar_t>(0x1F600)};
    }
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"Aladdin:open sesame", L"QWxhZGRpbjpvcGVuIHNlc2FtZQ=="},
        {L"j\u00fcrgen:\u20ac", L"asO8cmdlbjrigqw="},  // not the low bytes "anxyZ2VuOqw="
        {astral, L"8J+YgA=="},
        {std::wstring(1, static_cast<wchar_t>(0xD800)), L"77+9"},  // a lone surrogate
    };
    for (const auto& [in, out] : rows) EXPECT_EQ(NcBase64Encode(std::wstring_view(in)), out);
}

}  // namespace
}  // namespace oru
