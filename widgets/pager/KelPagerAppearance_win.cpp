// The button pictures from the program's resources.
#include "widgets/pager/KelPagerAppearance.h"

namespace kel::pager {

void TPageButtonSettings::LoadPictures(HINSTANCE__* module) {
    static const wchar_t* const kPictures[piCount] = {L"KELMAONEXT", L"KELMAOPREV",  L"KELMAOFIRST", L"KELMAOLAST",
                                                      L"KELMAOLIST", L"KELMAOCLOSE", L"KELMAOLIST"};
    static const wchar_t* const kSide[spCount] = {L"KELMAODOWN", L"KELMAOUP", L"KELMAODOWNLAST", L"KELMAOUPFIRST"};
    // Loading is not a change of the user's pictures: keep the flags clear.
    const bool flags[piCount] = {flags_[0], flags_[1], flags_[2], flags_[3], flags_[4], flags_[5], flags_[6]};
    const TChangeEvent onChange = OnChange;
    OnChange = nullptr;
    for (int i = 0; i < piCount; ++i) pictures_[i]->LoadFromResourceName(module, kPictures[i]);
    for (int i = 0; i < spCount; ++i) side_[i]->LoadFromResourceName(module, kSide[i]);
    for (int i = 0; i < piCount; ++i) flags_[i] = flags[i];
    OnChange = onChange;
}

}  // namespace kel::pager
