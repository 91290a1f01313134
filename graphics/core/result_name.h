#pragma once

#include "graphics/core/result.h"

namespace gfx {

// The status's name as the library spells it ("ResultOk", "ResultInvalid", ...), or
// "Result<number>" for a value that has no name. The text of a named status is a constant; the
// text of an unnamed one stays valid until the next such call on the same thread.
const char* ResultName(Result result);

}  // namespace gfx
