#include "resources/resource_load.h"

#include "platform/platform.h"
#include "resources/help_text.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"

bool LoadResources()
{
    if (!LoadTextures())
    {
        ShowMessageBox("Klaida uzkraunant teksturas", "KLAIDA", ICON_EXCLAMATION);
        return false;
    }
    if (!LoadSounds())
    {
        ShowMessageBox("Klaida uzkraunant garsus", "KLAIDA", ICON_EXCLAMATION);
        return false;
    }
    // The game runs on without help: the overlay then shows no lines.
    if (!LoadHelpText())
    {
        ShowMessageBox("Klaida uzkraunant pagalba duomenys/pagalba.txt", "KLAIDA",
                       ICON_EXCLAMATION);
    }
    return true;
}
