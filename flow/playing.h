// The play screen: the marker moved by the arrow keys, the play keys, the camera under the mouse.
#pragma once

#include <cstdint>

void UpdatePlaying();
void OnPlayingKey(uint32_t key);
void UpdatePlayingMouse();
