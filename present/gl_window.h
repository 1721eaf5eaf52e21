// The game window and its OpenGL context: creation in the configured mode, the fixed GL state,
// the centred 4:3 viewport (or the whole window for the 3D scene), and the teardown at exit.
#pragma once

#include <cstdint>

struct ViewportBox
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
};

// What exists of the window system's objects; set by CreateGLWindow, cleared by
// DestroyGLWindow.
struct GlWindow
{
    bool windowCreated;
    bool renderingContextCreated;
    int32_t clientWidth; // as the last resize left it
    int32_t clientHeight;
};

extern GlWindow glWindow;

bool CreateGLWindow(const char* title, int32_t width, int32_t height, int32_t colorBits,
                    int32_t refreshRate, uint8_t depthBits, bool fullscreen);
// The screen the mouse and the frame-rate line count with: the desktop's mode, or, where the game
// is in a window or at a mode of its own, that mode.
void MeasureScreen(bool atDesktopMode, int32_t width, int32_t height, int32_t refreshRate);
bool InitGL();
// Sets the largest centred 4:3 viewport the client area allows, the projection, and the letters'
// height for that picture.
void ResizeViewport(int32_t width, int32_t height);
// The 3D scene's viewport and projection: with the wide screen preferred the whole window, the
// 4:3 picture's view carried out to its edges (a wider window keeps the 45-degree vertical field
// of view); else the 4:3 picture.
void SetSceneView();
// The centred 4:3 picture, in which the flat screens and the overlays are placed; the model view
// is current after either.
void SetPictureView();
// The viewport ResizeViewport chooses for a client area.
ViewportBox ComputeViewport(int32_t width, int32_t height);
void DestroyGLWindow();
