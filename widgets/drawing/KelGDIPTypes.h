// Value types and enumerations of the GDI+ object layer that do not need the
// platform: points, rectangles, ARGB colours, status values and the shared
// enumerations of the widgets. Ordinal values follow the list order from 0.
#pragma once

#include <cstdint>

namespace kel {

// A GDI+ colour: alpha in bits 24-31, red 16-23, green 8-15, blue 0-7.
using TARGB = uint32_t;

// GDI+ status values, in GDI+'s own numbering.
enum TGPStatus : int {
    stOk = 0,
    stGenericError = 1,
    stInvalidParameter = 2,
    stOutOfMemory = 3,
    stObjectBusy = 4,
    stInsufficientBuffer = 5,
    stNotImplemented = 6,
    stWin32Error = 7,
    stWrongState = 8,
    stAborted = 9,
    stFileNotFound = 10,
    stValueOverflow = 11,
    stAccessDenied = 12,
    stUnknownImageFormat = 13,
    stFontFamilyNotFound = 14,
    stFontStyleNotFound = 15,
    stNotTrueTypeFont = 16,
    stUnsupportedGdiplusVersion = 17,
    stGdiplusNotInitialized = 18,
    stPropertyNotFound = 19,
    stPropertyNotSupported = 20,
};

struct TGPIntPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TGPFloatPoint {
    float X = 0;
    float Y = 0;
    friend bool operator==(const TGPFloatPoint&, const TGPFloatPoint&) = default;
};

struct TGPFloatRect {
    float X = 0;
    float Y = 0;
    float Width = 0;
    float Height = 0;
    friend bool operator==(const TGPFloatRect&, const TGPFloatRect&) = default;
};

inline TGPIntPoint IntPoint(int32_t x, int32_t y) { return TGPIntPoint{x, y}; }
inline TGPFloatPoint FloatPoint(float x, float y) { return TGPFloatPoint{x, y}; }
inline TGPFloatRect FloatRect(float x, float y, float width, float height) { return TGPFloatRect{x, y, width, height}; }

enum TAntiAlias { aaNone, aaClearType, aaAntiAlias };

enum TKelGradientType {
    gtSolid,
    gtRadial,
    gtVertical,
    gtHorizontal,
    gtForwardDiagonal,
    gtBackwardDiagonal,
    gtAngle,
    gtHatch,
    gtPath,
    gtTexture,
    gtNone
};

// The 53 GDI+ hatch styles in GDI+'s order, then the count.
enum HatchStyle {
    HatchStyleHorizontal,
    HatchStyleVertical,
    HatchStyleForwardDiagonal,
    HatchStyleBackwardDiagonal,
    HatchStyleCross,
    HatchStyleDiagonalCross,
    HatchStyle05Percent,
    HatchStyle10Percent,
    HatchStyle20Percent,
    HatchStyle25Percent,
    HatchStyle30Percent,
    HatchStyle40Percent,
    HatchStyle50Percent,
    HatchStyle60Percent,
    HatchStyle70Percent,
    HatchStyle75Percent,
    HatchStyle80Percent,
    HatchStyle90Percent,
    HatchStyleLightDownwardDiagonal,
    HatchStyleLightUpwardDiagonal,
    HatchStyleDarkDownwardDiagonal,
    HatchStyleDarkUpwardDiagonal,
    HatchStyleWideDownwardDiagonal,
    HatchStyleWideUpwardDiagonal,
    HatchStyleLightVertical,
    HatchStyleLightHorizontal,
    HatchStyleNarrowVertical,
    HatchStyleNarrowHorizontal,
    HatchStyleDarkVertical,
    HatchStyleDarkHorizontal,
    HatchStyleDashedDownwardDiagonal,
    HatchStyleDashedUpwardDiagonal,
    HatchStyleDashedHorizontal,
    HatchStyleDashedVertical,
    HatchStyleSmallConfetti,
    HatchStyleLargeConfetti,
    HatchStyleZigZag,
    HatchStyleWave,
    HatchStyleDiagonalBrick,
    HatchStyleHorizontalBrick,
    HatchStyleWeave,
    HatchStylePlaid,
    HatchStyleDivot,
    HatchStyleDottedGrid,
    HatchStyleDottedDiamond,
    HatchStyleShingle,
    HatchStyleTrellis,
    HatchStyleSphere,
    HatchStyleSmallGrid,
    HatchStyleSmallCheckerBoard,
    HatchStyleLargeCheckerBoard,
    HatchStyleOutlinedDiamond,
    HatchStyleSolidDiamond,
    HatchStyleTotal
};

enum StringTrimming {
    StringTrimmingNone,
    StringTrimmingCharacter,
    StringTrimmingWord,
    StringTrimmingEllipsisCharacter,
    StringTrimmingEllipsisWord,
    StringTrimmingEllipsisPath
};

// The image formats GetFormatKind tells apart.
enum TGPImageFormatKind {
    ifUnknown = 0,
    ifMemoryBMP = 1,
    ifBMP = 2,
    ifEMF = 3,
    ifWMF = 4,
    ifJPEG = 5,
    ifPNG = 6,
    ifGIF = 7,
    ifTIFF = 8,
    ifEXIF = 9,
    ifIcon = 10
};

}  // namespace kel
