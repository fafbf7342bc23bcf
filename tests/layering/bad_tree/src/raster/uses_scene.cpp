#include "raster/picture.h"
#include "scene/frames.h"
