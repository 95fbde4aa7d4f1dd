// The button pictures from the program's resources, else drawn here.
#include <windows.h>

#include "framework/gui/graphics.h"
#include "widgets/pager/KelPagerAppearance.h"

namespace kel::pager {

namespace {

// Small monochrome glyphs of the strip buttons, one row a line, '#' ink.
struct TGlyph {
    const wchar_t* Name;
    const char* Rows[8];
};

const TGlyph kGlyphs[] = {
    {L"KELMAOCLOSE", {"##....##", "###..###", ".######.", "..####..", "..####..", ".######.", "###..###", "##....##"}},
    {L"KELMAONEXT", {"..#.....", "..##....", "..###...", "..####..", "..####..", "..###...", "..##....", "..#....."}},
    {L"KELMAOPREV", {".....#..", "....##..", "...###..", "..####..", "..####..", "...###..", "....##..", ".....#.."}},
    {L"KELMAOFIRST", {".#...#..", ".#..##..", ".#.###..", ".#####..", ".#####..", ".#.###..", ".#..##..", ".#...#.."}},
    {L"KELMAOLAST", {"..#...#.", "..##..#.", "..###.#.", "..#####.", "..#####.", "..###.#.", "..##..#.", "..#...#."}},
    {L"KELMAOLIST", {"........", "########", "........", "########", ".######.", "..####..", "...##...", "........"}},
    {L"KELMAODOWN", {"........", "........", "########", ".######.", "..####..", "...##...", "........", "........"}},
    {L"KELMAOUP", {"........", "........", "...##...", "..####..", ".######.", "########", "........", "........"}},
    {L"KELMAODOWNLAST", {"........", "########", ".######.", "..####..", "...##...", "........", "########", "........"}},
    {L"KELMAOUPFIRST", {"........", "########", "........", "...##...", "..####..", ".######.", "########", "........"}},
};

// The glyph of that name on a magenta ground with a free rim, so its
// bottom-left pixel (the key of a bitmap picture) is the ground.
void DrawGlyph(TGDIPPicture& picture, const wchar_t* name) {
    for (const TGlyph& g : kGlyphs) {
        if (wcscmp(g.Name, name) != 0) continue;
        fw::TBitmap bitmap(10, 10);
        if (bitmap.Empty()) return;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x) {
                const bool ink = y >= 1 && y <= 8 && x >= 1 && x <= 8 && g.Rows[y - 1][x - 1] == '#';
                bitmap.ScanLine(y)[x] = ink ? 0x00303030u : 0x00FF00FFu;
            }
        picture.Assign(bitmap);
        return;
    }
}

void LoadOrDraw(TGDIPPicture& picture, HINSTANCE__* module, const wchar_t* name) {
    picture.LoadFromResourceName(module, name);
    if (picture.Empty()) DrawGlyph(picture, name);
}

}  // namespace

void TPageButtonSettings::LoadPictures(HINSTANCE__* module) {
    static const wchar_t* const kPictures[piCount] = {L"KELMAONEXT", L"KELMAOPREV",  L"KELMAOFIRST", L"KELMAOLAST",
                                                      L"KELMAOLIST", L"KELMAOCLOSE", L"KELMAOLIST"};
    static const wchar_t* const kSide[spCount] = {L"KELMAODOWN", L"KELMAOUP", L"KELMAODOWNLAST", L"KELMAOUPFIRST"};
    // Loading is not a change of the user's pictures: keep the flags clear.
    const bool flags[piCount] = {flags_[0], flags_[1], flags_[2], flags_[3], flags_[4], flags_[5], flags_[6]};
    const TChangeEvent onChange = OnChange;
    OnChange = nullptr;
    for (int i = 0; i < piCount; ++i) LoadOrDraw(*pictures_[i], module, kPictures[i]);
    for (int i = 0; i < spCount; ++i) LoadOrDraw(*side_[i], module, kSide[i]);
    for (int i = 0; i < piCount; ++i) flags_[i] = flags[i];
    OnChange = onChange;
}

}  // namespace kel::pager
