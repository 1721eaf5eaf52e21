// The options screen's picture: the scene going on behind, and over it a panel in the menu's
// colours with a line for each choice and for each action's keys and pad button.
#pragma once

#include <cstdint>

int32_t DrawOptions();
