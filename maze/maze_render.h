// The maze in 3D: a textured block per wall cell, the player's pyramid, the exit's sign.
#pragma once

void DrawMaze();
void DrawMazeAssembling();
void DrawMazeScattering();
void DrawWallBlock();
void DrawPlayerMarker();
void DrawExitMarker();
void DrawTexturedSquare(float edge);
