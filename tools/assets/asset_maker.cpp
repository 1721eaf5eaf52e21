// vortanai-assets DATA_DIR: writes every texture atlas and sound of the game under DATA_DIR
// (duomenys/*.tga, duomenys/*.wav), and the pictures with words in every language that the
// build's catalogs (or those under $VORTANAI_LOCALE_DIR) translate them into
// (duomenys/<language>/*.tga). The committed data/ tree is this program's output.
// vortanai-assets --icons ICON_DIR: writes the desktop icons, ICON_DIR/<n>x<n>/apps/vortanai.png.
#include <cstdio>
#include <cstring>

#include "tools/assets/assets.h"

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--icons") == 0)
    {
        return MakeIcons(argv[2]) ? 0 : 1;
    }
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: vortanai-assets DATA_DIR | --icons ICON_DIR\n");
        return 2;
    }
    bool images = MakeImages(argv[1]);
    bool sounds = MakeSounds(argv[1]);
    return images && sounds ? 0 : 1;
}
