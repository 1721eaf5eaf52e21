// The maze in 3D: a textured block per wall cell, the player's pyramid, the exit's sign.
// One cell is one world unit; Z is up, columns run along +X and rows along -Y, and the maze is
// centred on the origin. The renderer keeps no state: every call reads mazeGrid, gameState's
// phaseClock and textureIds afresh.
#pragma once

// The edge of a wall block and the height of the walls. The walk's own steps assume it is 1.
constexpr float CELL_SIZE = 1.0f;

// Expects the camera in the modelview, texturing on and the wall texture bound. Leaves the
// modelview moved by the maze's origin offset and the exit marker's texture bound.
void DrawMaze();
// The walls flying into place during the intro (phaseClock 0 .. 3), no markers.
void DrawMazeAssembling();
// The walls flying apart during the outro (phaseClock 0 .. 5), no markers.
void DrawMazeScattering();
// One unit block at the local frame's origin corner, with the bound texture.
void DrawWallBlock();
// The spinning pyramid, centred on the local origin.
void DrawPlayerMarker();
// The exit box with its sign plate, in the exit cell's local frame.
void DrawExitMarker();
// A square of this edge in the plane z = 0, centred on the local origin, the whole texture on it.
void DrawTexturedSquare(float edge);
