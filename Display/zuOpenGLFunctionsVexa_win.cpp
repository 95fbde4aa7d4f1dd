// OpenGL helper routines of the display.
#include "Display/zuOpenGLFunctionsVexa.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include "framework/core/exceptions.h"
#include "framework/core/text_codec.h"

namespace kyn {

PIXELFORMATDESCRIPTOR DisplayPixelFormat() {
    PIXELFORMATDESCRIPTOR pfd{};
    pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    pfd.nVersion = 1;
    pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    pfd.iPixelType = PFD_TYPE_RGBA;
    pfd.cColorBits = 24;
    pfd.cDepthBits = 16;
    pfd.iLayerType = PFD_MAIN_PLANE;
    return pfd;
}

void SetupPixelFormat(HDC dc) {
    PIXELFORMATDESCRIPTOR pfd = DisplayPixelFormat();
    int format = ChoosePixelFormat(dc, &pfd);
    if (format == 0) throw fw::Exception(L"Choose PFD Failed " + std::to_wstring(GetLastError()));
    if (!SetPixelFormat(dc, format, &pfd)) throw fw::Exception(L"Setting PFD Failed " + std::to_wstring(GetLastError()));
}

void SetOrthoProjection(double left, double right, double bottom, double top, double zNear, double zFar) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(left, right, bottom, top, zNear, zFar);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void SetViewport(int x, int y, int width, int height) { glViewport(x, y, width, height); }

void EnableLights() {
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    const GLfloat position[] = {0.0f, 0.0f, 400.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
}

void SetupMaterial() {
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    const GLfloat specular[] = {0.1f, 0.1f, 0.1f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 24.0f);
    glMaterialfv(GL_FRONT, GL_AMBIENT, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE);
    glShadeModel(GL_SMOOTH);
}

void SetAlphaBlendFunc() { glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA); }

std::wstring GLErrorText(unsigned error) {
    const GLubyte* text = gluErrorString(static_cast<GLenum>(error));
    if (!text) return L"Unknown OpenGL error " + std::to_wstring(error);
    return fw::AnsiToWide(reinterpret_cast<const char*>(text));
}

}  // namespace kyn
