// Readable GoogleTest output for the GDI+ value records.
#pragma once

#include <ostream>

#include "widgets/drawing/KelGDIPColors.h"
#include "widgets/drawing/KelGDIPTypes.h"

namespace kel {

inline void PrintTo(const TGPFloatRect& r, std::ostream* os) {
    *os << "(" << r.X << ", " << r.Y << ", " << r.Width << " x " << r.Height << ")";
}
inline void PrintTo(const TGPFloatPoint& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
inline void PrintTo(const TIntRect& r, std::ostream* os) {
    *os << "[" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << "]";
}

}  // namespace kel
