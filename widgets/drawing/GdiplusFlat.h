// The GDI+ flat API for this layer's implementation files. Only the flat
// functions (Gdiplus::DllExports) and their value types are used; the C++
// classes of the header are not.
#pragma once

#include <windows.h>

#include <objidl.h>

#include <algorithm>
// The GDI+ header expects unqualified min and max.
using std::max;
using std::min;
#include <gdiplus.h>

namespace kel::gdip {
using namespace Gdiplus::DllExports;
using Gdiplus::GpStatus;
}  // namespace kel::gdip
