#include "graphics/image/page_touch.h"

#include <cstdint>

#include "graphics/platform/page_size.h"

namespace gfx {

size_t PageTouch(const void* address, size_t length) {
    if (!address || length == 0) return 0;
    const uintptr_t page = PageSize();
    const uintptr_t begin = reinterpret_cast<uintptr_t>(address);
    const uintptr_t end = begin + length;
    const uintptr_t start = (begin + page - 1) / page * page;
    if (end < begin || start >= end) return 0;
    const uintptr_t len = (end - start) / page * page;

    const auto* bytes = reinterpret_cast<const volatile uint8_t*>(start);
    size_t reads = 0;
    for (uintptr_t p = 16 * page; p < len; p += page) {
        (void)bytes[p - 16 * page];
        (void)bytes[p];
        reads += 2;
    }
    return reads;
}

}  // namespace gfx
