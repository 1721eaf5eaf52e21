// The few OpenGL calls the texture list makes, answered without a driver: each upload reads the
// pixel bytes exactly as OpenGL would (rows padded to the unpack alignment), so the address
// sanitizer sees a buffer that is too short.
#pragma once

#include <cstdint>

struct GlStandIn
{
    uint32_t texturesMade;
    uint32_t uploads;
    int32_t unpackAlignment;
    uint32_t boundTexture;
};

extern GlStandIn glStandIn;
