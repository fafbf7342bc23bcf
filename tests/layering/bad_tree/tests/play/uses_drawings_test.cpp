#include "play/model.h"
#include "drawings/courts.h"
