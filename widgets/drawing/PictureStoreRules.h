// The platform-free rules of the picture stores: what a picture source text
// names, how picture names compare, and the HIMETRIC to pixel conversion of
// OLE picture sizes.
#pragma once

#include <string>

namespace kel {

enum class TPictureSourceKind {
    Resource,  // "RES://name": an RT_RCDATA resource of the program
    File,      // "FILE://path"
    Url        // anything else: never fetched
};

struct TPictureSource {
    TPictureSourceKind Kind = TPictureSourceKind::Url;
    // The text after the prefix (the whole text for a URL).
    std::wstring Name;
};

// The prefixes count in any case ("res://Logo" names the resource "Logo").
TPictureSource ParsePictureSource(const std::wstring& source);

// The text with the ASCII letters upper-cased; other characters stay.
std::wstring UpperAscii(std::wstring text);
// Equal after upper-casing ASCII letters (picture names of the containers).
bool SameNameAscii(const std::wstring& a, const std::wstring& b);

// HIMETRIC units (0.01 mm) to pixels at `dpi` dots per inch, rounded as
// Windows' MulDiv rounds (halves away from zero); -1 when it overflows.
int HimetricToPixels(int himetric, int dpi);

}  // namespace kel
