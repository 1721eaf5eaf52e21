#include "high.h"
#include "low.h"
