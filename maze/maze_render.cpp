#include "maze/maze_render.h"

void DrawMaze() {}

void DrawMazeAssembling() {}

void DrawMazeScattering() {}

void DrawWallBlock() {}

void DrawPlayerMarker() {}

void DrawExitMarker() {}

void DrawTexturedSquare(float) {}
