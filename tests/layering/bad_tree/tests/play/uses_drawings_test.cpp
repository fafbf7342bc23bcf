#include "drawings/courts.h"
#include "play/model.h"
