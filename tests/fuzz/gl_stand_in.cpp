#include "tests/fuzz/gl_stand_in.h"

#include <GL/gl.h>
#include <cstdlib>

#include "tests/fuzz/fuzz_support.h"

GlStandIn glStandIn = {0, 0, 4, 0};

namespace
{

int64_t CountComponents(GLenum format)
{
    switch (format)
    {
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    default:
        std::abort(); // the texture list uploads nothing else
    }
}

} // namespace

void glGenTextures(GLsizei count, GLuint* names)
{
    for (GLsizei i = 0; i < count; ++i)
    {
        names[i] = ++glStandIn.texturesMade;
    }
}

void glBindTexture(GLenum, GLuint texture)
{
    glStandIn.boundTexture = texture;
}

void glGetIntegerv(GLenum name, GLint* value)
{
    if (name == GL_UNPACK_ALIGNMENT)
    {
        *value = glStandIn.unpackAlignment;
    }
}

void glPixelStorei(GLenum name, GLint value)
{
    if (name == GL_UNPACK_ALIGNMENT)
    {
        glStandIn.unpackAlignment = value;
    }
}

void glTexImage2D(GLenum, GLint, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels)
{
    if (width < 0 || height < 0 || border != 0 || type != GL_UNSIGNED_BYTE ||
        internalFormat != static_cast<GLint>(format) || glStandIn.boundTexture == 0)
    {
        std::abort(); // OpenGL would refuse this upload
    }
    ++glStandIn.uploads;
    if (width == 0 || height == 0)
    {
        return;
    }
    int64_t alignment = glStandIn.unpackAlignment;
    int64_t rowBytes = width * CountComponents(format);
    int64_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    TouchBytes(pixels, static_cast<size_t>(stride * (height - 1) + rowBytes));
}

void glTexParameteri(GLenum, GLenum, GLint) {}
