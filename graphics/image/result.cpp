#include "graphics/image/result.h"
