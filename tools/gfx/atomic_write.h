#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace gfx_tool {

// Writes `bytes` to a new file beside `path` and renames it onto `path`, so that `path` holds
// either its old contents or all of the new ones, never a part. False when anything failed; the
// temporary file is gone then.
bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace gfx_tool
