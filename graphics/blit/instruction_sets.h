#pragma once

// The instruction sets are shared vocabulary of the blit and raster bodies; they live in core/.
#include "graphics/core/instruction_sets.h"
