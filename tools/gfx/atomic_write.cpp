#include "tools/gfx/atomic_write.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#include "graphics/platform/file.h"

namespace gfx_tool {

bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.size() > UINT32_MAX) return false;
    // Beside the target, so that the rename stays within one folder.
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    std::string temporary;
    for (int attempt = 0; attempt < 64; ++attempt) {
        temporary = path + "." + std::to_string((uint64_t(ticks) + attempt) % 100000000) + ".tmp";
        if (!gfx::FileExists(temporary.c_str())) break;
    }
    const uint32_t size = uint32_t(bytes.size());
    if (gfx::WriteBlockToFile(temporary.c_str(), bytes.data(), size) != size) {
        gfx::FileDelete(temporary.c_str());
        return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        gfx::FileDelete(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace gfx_tool
