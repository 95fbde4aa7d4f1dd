// Test support: saves what the screen shows of a window (or the whole screen)
// as a 24-bit BMP in the artifacts folder, so a run leaves pictures of the
// windows it drove. The folder is KYN_ARTIFACT_DIR, else "artifacts" in the
// current directory.
#pragma once

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fw::test {

inline std::string ArtifactDir() {
    const char* dir = std::getenv("KYN_ARTIFACT_DIR");
    std::string path = dir && *dir ? dir : "artifacts";
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

// Copies `rect` (screen coordinates) from the screen into `name`.bmp; returns
// the file's path, or an empty string when nothing could be written.
inline std::string SaveScreenRect(const RECT& rect, const char* name) {
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return {};
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as BMP files store rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::string path;
    if (dib && bits) {
        HGDIOBJ old = SelectObject(mem, dib);
        BitBlt(mem, 0, 0, w, h, screen, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        SelectObject(mem, old);
        DWORD stride = (DWORD(w) * 3 + 3) & ~3u;
        DWORD image = stride * DWORD(h);
        BITMAPFILEHEADER fh{};
        fh.bfType = 0x4D42;
        fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
        fh.bfSize = fh.bfOffBits + image;
        path = ArtifactDir() + "\\" + name + ".bmp";
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 &&
                      std::fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
                      std::fwrite(bits, 1, image, f) == image;
            if (std::fclose(f) != 0 || !ok) path.clear();
        } else {
            path.clear();
        }
    }
    if (dib) DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return path;
}

// The window as it shows on the screen (frame included); call after it painted.
inline std::string SaveWindowShot(HWND wnd, const char* name) {
    RECT r{};
    if (!GetWindowRect(wnd, &r)) return {};
    return SaveScreenRect(r, name);
}

}  // namespace fw::test
