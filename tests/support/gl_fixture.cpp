#include "tests/support/gl_fixture.h"

#include <GL/gl.h>
#include <cstdio>

#include "present/gl_window.h"
#include "present/settings.h"

bool OpenTestWindow(int32_t width, int32_t height)
{
    settings = Settings{};
    return CreateGLWindow("Vortanai test", width, height, 32, 60, 32, false);
}

void CloseTestWindow()
{
    DestroyGLWindow();
}

std::vector<uint8_t> ReadFramebuffer(int32_t width, int32_t height)
{
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

bool SaveFramebuffer(const std::string& path, int32_t width, int32_t height)
{
    std::vector<uint8_t> pixels = ReadFramebuffer(width, height);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
    {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    for (int32_t row = height - 1; row >= 0; --row)
    {
        std::fwrite(pixels.data() + static_cast<size_t>(row) * static_cast<size_t>(width) * 3, 1,
                    static_cast<size_t>(width) * 3, file);
    }
    return std::fclose(file) == 0;
}
