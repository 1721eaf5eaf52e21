// The nine atlases of the game, drawn from nothing but our own patterns and the font.
#pragma once

#include "tools/assets/image_canvas.h"

constexpr int WALL_THEME_COUNT = 5;

// Wall atlases share the renderer's quadrants: top faces top left, faces toward -Y and +Y bottom
// left, faces toward -X and +X bottom right. The light is baked in: tops brightest, +-Y faces a
// step darker, +-X faces darker still.
enum FaceKind
{
    FACE_TOP,
    FACE_Y,
    FACE_X,
};

constexpr double LIGHT_TOP = 1.0;
constexpr double LIGHT_Y = 0.78;
constexpr double LIGHT_X = 0.58;

// Themes 0 .. 4: stone brick, hedge, metal panels, timber, ice. 256 x 256, 24 bits.
Canvas MakeWallAtlas(int theme);
// The pyramid's skin seen from above, apex at the centre. 128 x 128, 24 bits.
Canvas MakePlayerMarkerAtlas();
// The exit box's quadrants and, top right, the sign plate. 256 x 256, 24 bits.
Canvas MakeExitMarkerAtlas();
// Panel, highlight bar, emblem ring and centre, help hint. 512 x 512, 32 bits.
Canvas MakeMenuAtlas();
// Title banner over an illustration of a maze, drawn with the other atlases. 512 x 512, 32 bits.
Canvas MakeSplashAtlas(const Canvas& wall, const Canvas& marker, const Canvas& exit);
