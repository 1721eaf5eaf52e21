#include "tools/assets/assets.h"

bool MakeSounds(const char*)
{
    return true;
}
