#include "resources/resource_load.h"

#include "platform/platform.h"
#include "resources/help_text.h"
#include "resources/sound_bank.h"
#include "resources/texture_list.h"
#include "text/translation.h"

bool LoadResources()
{
    if (!LoadTextures())
    {
        ShowMessageBox(Translate("Klaida uzkraunant teksturas"), Translate("KLAIDA"),
                       ICON_EXCLAMATION);
        return false;
    }
    if (!LoadSounds())
    {
        ShowMessageBox(Translate("Klaida uzkraunant garsus"), Translate("KLAIDA"),
                       ICON_EXCLAMATION);
        return false;
    }
    // The game runs on without help: the overlay then shows no lines.
    if (!LoadHelpText())
    {
        ShowMessageBox(Translate("Klaida uzkraunant pagalba duomenys/pagalba.txt"),
                       Translate("KLAIDA"), ICON_EXCLAMATION);
    }
    return true;
}
