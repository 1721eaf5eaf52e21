// The seven screens: the routines each installs and what entering it does.
#pragma once

#include <cstdint>

// Installs the routines of `screenState` and performs its entry actions, in their order.
void EnterScreen(int8_t state);
