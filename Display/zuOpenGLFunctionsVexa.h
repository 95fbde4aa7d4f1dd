// OpenGL helper routines of the display: pixel format, projection, viewport,
// the fixed lights and material, the blend function, and error texts.
#pragma once

#include <windows.h>

#include <string>

namespace kyn {

// Structure size 40, version 1, flags 0x25 (draw to window, OpenGL, double
// buffer), RGBA, 24 colour bits, 16 depth bits, main plane.
PIXELFORMATDESCRIPTOR DisplayPixelFormat();

// Chooses the closest format and sets it; throws fw::Exception with
// "Choose PFD Failed <code>" or "Setting PFD Failed <code>".
void SetupPixelFormat(HDC dc);
void SetOrthoProjection(double left, double right, double bottom, double top, double zNear, double zFar);
void SetViewport(int x, int y, int width, int height);
// GL_LIGHTING with lights 0 and 1; light 0 directional along +z.
void EnableLights();
void SetupMaterial();
void SetAlphaBlendFunc();
// The OpenGL utility library's text of an error code.
std::wstring GLErrorText(unsigned error);

}  // namespace kyn
