#include "present/flat_screens.h"

#include <GL/gl.h>

int32_t DrawSplash()
{
    return 1;
}

int32_t DrawCustomMaze()
{
    glClear(GL_COLOR_BUFFER_BIT);
    return 1;
}

int32_t DrawNameEntry()
{
    glClear(GL_COLOR_BUFFER_BIT);
    return 1;
}

int32_t DrawRecords()
{
    glClear(GL_COLOR_BUFFER_BIT);
    return 1;
}

int32_t DrawCredits()
{
    glClear(GL_COLOR_BUFFER_BIT);
    return 1;
}
