// The 3D scene of the menu and play screens.
#pragma once

#include <cstdint>

int32_t DrawScene();
