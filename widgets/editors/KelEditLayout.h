// The typed edit's geometry and look, worked out from its state without a
// window: where the attached label stands, the formatting rectangle, the
// flat underline or soft frame, which frame the border painting draws, the
// drop mark and the error marker's zig-zag. The Windows edit draws what
// these answer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/core/colors.h"
#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/editors/KelEditTypes.h"

namespace kel {

struct TEditPoint {
    int X = 0;
    int Y = 0;
    bool operator==(const TEditPoint&) const = default;
};

// The label's top-left corner for the edit's bounds (left, top, width,
// height), the label's size, the margin and the caption's text width.
TEditPoint LabelPlacement(TLabelPosition position, const TIntRect& edit, int labelWidth, int labelHeight, int margin,
                          int captionWidth);

// The formatting rectangle inside the client area.
TIntRect FormattingRect(bool flat, bool ctl3d, int fontPoints, int clientWidth, int clientHeight);

// The error marker: its start and end from the characters' positions (the
// answer of PosFromChar), then the zig-zag's points. `textHeight` is the
// height of "gh" in the edit's font.
void ErrorMarkerEnds(int pos, int length, int textLength, const std::function<TEditPoint(int)>& posFromChar,
                     TEditPoint& start, TEditPoint& end);
std::vector<TEditPoint> ErrorMarkerZigZag(TEditPoint start, TEditPoint end, int textHeight);

// Everything the painting decides on.
struct TEditLookState {
    bool Designing = false;
    bool Enabled = true;
    bool Focused = false;
    bool Hovering = false;
    // The edit is the screen's active control.
    bool Active = false;
    bool Flat = false;
    bool SoftBorder = false;
    bool FocusBorder = false;
    bool DisabledBorder = true;
    bool IsComCtl6 = false;
    fw::TColor FlatLineColor = fw::clBlack;
    fw::TColor FocusBorderColor = fw::clNone;
    fw::TColor ParentColor = fw::clBtnFace;
    int Width = 0;
    int Height = 0;
    TIntRect FormatRect;
    bool TextEmpty = true;
    bool HasEmptyText = false;
    int ErrorMarkerLength = 0;
    TEditPoint DropCaret{-1, -1};
    int FontHeight = 0;  // the font's Height (negative: character height)
};

// A frame drawn around a rectangle (Right and Bottom exclusive).
struct TFramePlan {
    enum class TKind {
        None,
        Single,  // a 1-pixel frame in Color
        Sunken,  // a sunken outer edge, then a 1-pixel frame in Color inside it
        Double,  // 1-pixel frames in Color around the rectangle and 1 pixel inside
    };
    TKind Kind = TKind::None;
    fw::TColor Color = fw::clNone;
};

bool IsHot(const TEditLookState& s);
// Whether the paint message ends with the border painting.
bool PaintEndsWithBorders(const TEditLookState& s);
// Whether a border painting draws a frame at all.
bool DrawsBorders(const TEditLookState& s);
// The frame of DrawBorder.
TFramePlan BorderFrame(const TEditLookState& s);

// What is drawn on the client area after the edit window painted.
struct TExtrasPlan {
    // DrawBorder on the client area (a focused flat edit with FocusBorder).
    bool ClientBorder = false;
    // The flat underline or soft frame: a polyline in LineColor.
    std::vector<TEditPoint> FlatLine;
    fw::TColor LineColor = fw::clNone;
    bool DropMark = false;
    TIntRect DropMarkRect;
    bool EmptyText = false;
    bool ErrorMarker = false;
};
TExtrasPlan PlanExtras(const TEditLookState& s);

}  // namespace kel
