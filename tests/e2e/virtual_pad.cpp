// A game pad for the end-to-end tests, put into the game's process with LD_PRELOAD: SDL's virtual
// joystick, worked from the lines of the FIFO that VORTANAI_E2E_PAD names: "attach", "detach",
// "button N 0|1" and "axis N VALUE", with SDL's game controller numbers. The game finds the pad as
// it finds a real one, through its own SDL events.
#include <SDL2/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{

SDL_JoystickID padInstance = -1;

int FindPadDevice()
{
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
    {
        if (SDL_JoystickGetDeviceInstanceID(i) == padInstance)
        {
            return i;
        }
    }
    return -1;
}

// The joystick of the pad once the game has opened it; the game opens it when it sees it arrive.
SDL_Joystick* WaitForPad()
{
    for (int tries = 0; tries < 500; ++tries)
    {
        if (SDL_Joystick* joystick = SDL_JoystickFromInstanceID(padInstance))
        {
            return joystick;
        }
        SDL_Delay(10);
    }
    return nullptr;
}

void RunCommand(const char* line)
{
    int number = 0;
    int value = 0;
    if (std::strncmp(line, "attach", 6) == 0)
    {
        // The game starts the joystick support while it makes its window.
        while (SDL_WasInit(SDL_INIT_JOYSTICK) == 0)
        {
            SDL_Delay(10);
        }
        int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
        padInstance = device >= 0 ? SDL_JoystickGetDeviceInstanceID(device) : -1;
        std::fprintf(stderr, "virtual pad: attached as %d\n", padInstance);
    }
    else if (std::strncmp(line, "detach", 6) == 0)
    {
        SDL_JoystickDetachVirtual(FindPadDevice());
        std::fprintf(stderr, "virtual pad: detached\n");
    }
    else if (std::sscanf(line, "button %d %d", &number, &value) == 2)
    {
        SDL_JoystickSetVirtualButton(WaitForPad(), number, static_cast<Uint8>(value));
    }
    else if (std::sscanf(line, "axis %d %d", &number, &value) == 2)
    {
        SDL_JoystickSetVirtualAxis(WaitForPad(), number, static_cast<Sint16>(value));
    }
}

void ReadCommands(const char* path)
{
    FILE* commands = std::fopen(path, "r");
    char line[64];
    while (commands != nullptr && std::fgets(line, sizeof line, commands) != nullptr)
    {
        RunCommand(line);
    }
    if (commands != nullptr)
    {
        std::fclose(commands);
    }
}

__attribute__((constructor)) void StartVirtualPad()
{
    if (const char* path = std::getenv("VORTANAI_E2E_PAD"))
    {
        std::thread(ReadCommands, path).detach();
    }
}

} // namespace
