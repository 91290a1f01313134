#include "graphics/platform/page_size.h"

#include <windows.h>

namespace gfx {

uint32_t PageSize() {
    static const uint32_t size = [] {
        SYSTEM_INFO info{};
        GetSystemInfo(&info);
        return info.dwPageSize ? static_cast<uint32_t>(info.dwPageSize) : 4096u;
    }();
    return size;
}

}  // namespace gfx
