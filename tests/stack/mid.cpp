#include "mid.h"
#include "low.h"
#include "seam.h"
