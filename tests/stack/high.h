#pragma once
#include "mid.h"
