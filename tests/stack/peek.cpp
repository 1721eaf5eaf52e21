#include "peek.h"
