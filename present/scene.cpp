#include "present/scene.h"

#include <GL/gl.h>

int32_t DrawScene()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return 1;
}
