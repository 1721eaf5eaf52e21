// The nine textures of the game, made at start-up from the images named in
// duomenys/teksturos.txt; a line's place in the list is its slot.
#pragma once

#include <cstdint>

constexpr int TEXTURE_SLOT_COUNT = 9;
// The longest path a list line gives; longer lines go on as the next entry.
constexpr int TEXTURE_PATH_SIZE = 80;

enum TextureSlot : uint8_t
{
    TEX_SPLASH = 0,
    TEX_MENU = 1,
    TEX_PLAYER_MARKER = 2,
    TEX_EXIT_MARKER = 3,
    TEX_MAZE_FIRST = 4,
    TEX_MAZE_LAST = 8,
};

// A slot whose image cannot be used shows this small magenta and black check instead, so the
// fault is plain to see and the slot numbers after it stay as the list gives them.
constexpr int PLACEHOLDER_SIDE = 8;

// Filled by LoadTextures at start-up and never reset; the textures are deleted by
// DestroyGLWindow.
extern uint32_t textureIds[TEXTURE_SLOT_COUNT];
extern uint32_t textureCount;

// Creates one texture per list line, at most TEXTURE_SLOT_COUNT. False only when the list file
// cannot be opened. Needs a current GL context; leaves texture 0 bound.
bool LoadTextures();
// Makes the textures again, each from its language's picture where it has one: the player chose
// another language. False, with the textures as they were, when the list cannot be opened.
bool ReloadTextures();
