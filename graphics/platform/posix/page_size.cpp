#include "graphics/platform/page_size.h"

#include <unistd.h>

namespace gfx {

uint32_t PageSize() {
    static const uint32_t size = [] {
        const long value = sysconf(_SC_PAGESIZE);
        return value > 0 ? static_cast<uint32_t>(value) : 4096u;
    }();
    return size;
}

}  // namespace gfx
