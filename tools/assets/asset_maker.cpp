// vortanai-assets DATA_DIR: writes every texture atlas and sound of the game under DATA_DIR
// (duomenys/*.tga, duomenys/*.wav). The committed data/ tree is this program's output.
#include <cstdio>

#include "tools/assets/assets.h"

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: vortanai-assets DATA_DIR\n");
        return 2;
    }
    bool images = MakeImages(argv[1]);
    bool sounds = MakeSounds(argv[1]);
    return images && sounds ? 0 : 1;
}
