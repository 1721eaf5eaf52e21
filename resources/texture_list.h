// The nine textures of the game, made at start-up from the images named in
// duomenys/teksturos.txt; a line's place in the list is its slot.
#pragma once

#include <cstdint>

constexpr int TEXTURE_SLOT_COUNT = 9;

enum TextureSlot : uint8_t
{
    TEX_SPLASH = 0,
    TEX_MENU = 1,
    TEX_PLAYER_MARKER = 2,
    TEX_EXIT_MARKER = 3,
    TEX_MAZE_FIRST = 4,
    TEX_MAZE_LAST = 8,
};

// Filled by LoadTextures at start-up; the textures are deleted by DestroyGLWindow.
extern uint32_t textureIds[TEXTURE_SLOT_COUNT];
extern uint32_t textureCount;

bool LoadTextures();
