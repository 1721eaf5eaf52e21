// The maze in 3D: a textured block per wall cell, the player's pyramid, the exit's sign.
// One cell is one world unit; Z is up, columns run along +X and rows along -Y, and the maze is
// centred on the origin. Every call reads mazeGrid, gameState's phaseClock and textureIds afresh;
// the walls at rest are kept in a GL list made for the maze they show.
#pragma once

#include <cstdint>

#include "maze/maze_grid.h"

// The edge of a wall block and the height of the walls. The walk's own steps assume it is 1.
constexpr float CELL_SIZE = 1.0f;

// The GL list of the walls at rest and the maze it was made from. Made by DrawMaze whenever the
// maze in memory differs; emptied by DeleteMazeLists, which runs when a replaced maze's successor
// first flies in and at the window's teardown, while the context is still there.
struct MazeLists
{
    uint32_t restList; // 0 when there is none
    float mazeLength;
    float mazeWidth;
    uint8_t cells[MAZE_MAX_SIZE][MAZE_MAX_SIZE];
};

extern MazeLists mazeLists;

// Gives the list back to GL; the next DrawMaze makes a new one.
void DeleteMazeLists();
// Expects the camera in the modelview, texturing on and the wall texture bound. Leaves the
// modelview moved by the maze's origin offset and the exit marker's texture bound.
void DrawMaze();
// The player's marker, spinning with phaseClock, and the exit's, from the maze's origin offset.
void DrawMazeMarkers();
// A see-through player's marker at cell (x, y), from the maze's origin offset, which hides
// nothing behind it.
void DrawGhostMarker(float x, float y);
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
