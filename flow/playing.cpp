#include "flow/playing.h"

void UpdatePlaying() {}

void OnPlayingKey(uint32_t) {}

void UpdatePlayingMouse() {}
