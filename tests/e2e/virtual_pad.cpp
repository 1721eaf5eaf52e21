// A game pad for the end-to-end tests, put into the game's process with LD_PRELOAD: SDL's virtual
// joystick, worked from the lines of the FIFO that VORTANAI_E2E_PAD names: "attach", "detach",
// "button N 0|1" and "axis N VALUE", with SDL's game controller numbers. The game finds the pad as
// it finds a real one, through its own SDL events. Only one pad is attached at a time.
#include <SDL2/SDL.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace
{

void RunCommand(const char* command, int number, int value)
{
    static int device = -1;
    static SDL_JoystickID instance = -1;
    // The game starts the joystick support while it makes its window, and opens the pad once it
    // sees it arrive.
    bool onPad = std::strcmp(command, "button") == 0 || std::strcmp(command, "axis") == 0;
    SDL_Joystick* joystick = nullptr;
    for (int tries = 0; tries < 500; ++tries)
    {
        bool ready = SDL_WasInit(SDL_INIT_JOYSTICK) != 0;
        joystick = ready ? SDL_JoystickFromInstanceID(instance) : nullptr;
        if (ready && (!onPad || joystick != nullptr))
        {
            break;
        }
        SDL_Delay(10);
    }
    if (std::strcmp(command, "attach") == 0)
    {
        device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 15, 0);
        instance = SDL_JoystickGetDeviceInstanceID(device);
    }
    else if (std::strcmp(command, "detach") == 0)
    {
        SDL_JoystickDetachVirtual(device);
    }
    else if (std::strcmp(command, "button") == 0)
    {
        SDL_JoystickSetVirtualButton(joystick, number, static_cast<Uint8>(value));
    }
    else if (std::strcmp(command, "axis") == 0)
    {
        SDL_JoystickSetVirtualAxis(joystick, number, static_cast<Sint16>(value));
    }
    std::fprintf(stderr, "virtual pad: %s %d %d\n", command, number, value);
}

__attribute__((constructor)) void StartVirtualPad()
{
    if (const char* path = std::getenv("VORTANAI_E2E_PAD"))
    {
        std::thread(
            [path]
            {
                FILE* commands = std::fopen(path, "r");
                char line[64];
                char command[16];
                int number = 0;
                int value = 0;
                while (commands != nullptr && std::fgets(line, sizeof line, commands) != nullptr)
                {
                    if (std::sscanf(line, "%15s %d %d", command, &number, &value) >= 1)
                    {
                        RunCommand(command, number, value);
                    }
                }
                if (commands != nullptr)
                {
                    std::fclose(commands);
                }
            })
            .detach();
    }
}

} // namespace
