#include "flow/preferences.h"

Preferences preferences;
