#include "seam.h"
