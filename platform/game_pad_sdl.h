// SDL's game controllers to the game's pad messages.
#pragma once

#include <SDL2/SDL_events.h>

struct WindowMessage;

// Starts SDL's game controller support and reads gamecontrollerdb.txt from the working directory
// when there is one; a line SDL cannot read is skipped. Pads connected now arrive as device
// events, like those connected later. False when there is no controller support: the game goes
// on without pads.
bool OpenGamePads();
void CloseGamePads();
// Opens a pad that arrived, closes one that went away, and gives the message a pad event stands
// for; false for events that stand for none.
bool TranslatePadEvent(const SDL_Event& event, WindowMessage* message);
