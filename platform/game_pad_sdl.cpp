#include "platform/game_pad_sdl.h"

#include <SDL2/SDL.h>

#include "platform/platform.h"

// The game numbers buttons and axes as SDL does.
static_assert(int{PAD_TOUCHPAD} == int{SDL_CONTROLLER_BUTTON_TOUCHPAD} &&
              int{PAD_BUTTON_COUNT} == int{SDL_CONTROLLER_BUTTON_MAX});
static_assert(int{PAD_RIGHT_TRIGGER} == int{SDL_CONTROLLER_AXIS_TRIGGERRIGHT} &&
              int{PAD_AXIS_COUNT} == int{SDL_CONTROLLER_AXIS_MAX});

namespace
{

constexpr const char* MAPPINGS_FILE = "gamecontrollerdb.txt";

// Whether the controller subsystem is up: set by OpenGamePads, cleared by CloseGamePads. The
// pads themselves are SDL's to keep, found again by their instance ids.
bool padsOpen;

} // namespace

bool OpenGamePads()
{
    padsOpen = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (padsOpen)
    {
        // SDL adds the file's mappings line by line and goes past those it cannot read.
        SDL_GameControllerAddMappingsFromFile(MAPPINGS_FILE);
    }
    return padsOpen;
}

void CloseGamePads()
{
    if (padsOpen)
    {
        // Closes every pad still open.
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
        padsOpen = false;
    }
}

bool TranslatePadEvent(const SDL_Event& event, WindowMessage* message)
{
    switch (event.type)
    {
    case SDL_CONTROLLERDEVICEADDED:
        SDL_GameControllerOpen(event.cdevice.which);
        return false;
    case SDL_CONTROLLERDEVICEREMOVED:
    {
        // SDL has let go of its buttons and centred its sticks before it tells.
        SDL_GameController* pad = SDL_GameControllerFromInstanceID(event.cdevice.which);
        if (pad != nullptr)
        {
            SDL_GameControllerClose(pad);
        }
        return false;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        if (event.cbutton.button >= PAD_BUTTON_COUNT)
        {
            return false;
        }
        *message = {event.type == SDL_CONTROLLERBUTTONDOWN ? WM_PADBUTTONDOWN : WM_PADBUTTONUP,
                    event.cbutton.button, 0};
        return true;
    case SDL_CONTROLLERAXISMOTION:
        if (event.caxis.axis >= PAD_AXIS_COUNT)
        {
            return false;
        }
        *message = {WM_PADAXIS, event.caxis.axis,
                    static_cast<uint32_t>(static_cast<int32_t>(event.caxis.value))};
        return true;
    default:
        return false;
    }
}
