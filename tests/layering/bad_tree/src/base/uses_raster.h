#pragma once
#include "raster/types.h"
