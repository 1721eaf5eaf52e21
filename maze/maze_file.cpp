#include "maze/maze_file.h"

bool LoadMazeFile(const char*)
{
    return false;
}
