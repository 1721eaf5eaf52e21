#include "resources/texture_list.h"

uint32_t textureIds[TEXTURE_SLOT_COUNT];
uint32_t textureCount;

bool LoadTextures()
{
    return true;
}
