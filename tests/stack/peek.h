#pragma once
#include "high.h"
#include "alone.h"
