// Off-screen painting for the Windows drawing tests: a 32-bit bitmap filled
// white, pixels read back as 0xRRGGBB, and ink counts inside a box.
#pragma once

#include <windows.h>

#include <winternl.h>

#include <cstdint>
#include <cstdlib>

#include "framework/gui/graphics.h"
#include "framework/gui/image_list.h"

namespace kel::test {

inline void Fill(fw::TBitmap& bmp, fw::TColor color) {
    bmp.Canvas().Brush().SetColor(color);
    bmp.Canvas().Brush().SetStyle(fw::TBrushStyle::bsSolid);
    bmp.Canvas().FillRect(RECT{0, 0, bmp.Width(), bmp.Height()});
    GdiFlush();
}

inline void FillWhite(fw::TBitmap& bmp) { Fill(bmp, fw::clWhite); }

// Appends one image of a solid colour, the list's size.
inline void AddSolidImage(fw::TImageList& list, fw::TColor color) {
    fw::TBitmap image(list.Width(), list.Height());
    Fill(image, color);
    list.AddMasked(image, fw::clFuchsia);
}

// 0xRRGGBB of the pixel at (x, y).
inline uint32_t Px(fw::TBitmap& bmp, int x, int y) {
    GdiFlush();
    return bmp.ScanLine(y)[x] & 0xFFFFFF;
}

inline uint32_t Rgb(int r, int g, int b) { return (uint32_t(r) << 16) | (uint32_t(g) << 8) | uint32_t(b); }

// Every channel within `tolerance` of the expected colour.
inline bool Near(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// Pixels in [left, right) x [top, bottom) that are not white.
inline int InkIn(fw::TBitmap& bmp, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            if (Px(bmp, x, y) != 0xFFFFFF) ++n;
    return n;
}

// GDI objects of this process, counted in the GDI handle table that the
// process environment block maps (GetGuiResources is a stub under Wine).
// Entries are 24 bytes (Wine, and 64-bit Windows); stock objects, which
// belong to no process, are counted too and never change.
inline int LiveGdiObjects() {
    struct Entry {
        uint64_t object;
        uint16_t processId;
        uint16_t count;
        uint16_t unique;
        uint8_t type;
        uint8_t flags;
        uint64_t user;
    };
    static_assert(sizeof(Entry) == 24);
    using TQuery = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION info{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &info, sizeof info, nullptr) != 0) return -1;
    const auto* peb = reinterpret_cast<const char*>(info.PebBaseAddress);
    const auto* table = *reinterpret_cast<const Entry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    if (!table) return -1;
    const auto pid = static_cast<uint16_t>(GetCurrentProcessId());
    int n = 0;
    for (int i = 0; i < 0x10000; ++i)
        if (table[i].type && (table[i].processId == pid || table[i].processId == 0)) ++n;
    return n;
}

}  // namespace kel::test
