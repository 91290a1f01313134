#include "graphics/image/copy_surface_rows.h"

#include <cstddef>
#include <cstring>

namespace gfx {

Result CopySurfaceRows(Surface* source, Surface* target) {
    const int32_t rows = target->GetHeight();
    if (source->GetFormat() != target->GetFormat() || source->GetWidth() != target->GetWidth() ||
        source->GetHeight() != rows) {
        return ResultInvalid;
    }
    uint8_t* from = nullptr;
    int32_t fromPitch = 0;
    Result status = source->Lock(&from, &fromPitch);
    if (status != ResultOk) return status;
    uint8_t* to = nullptr;
    int32_t toPitch = 0;
    status = target->Lock(&to, &toPitch);
    if (status != ResultOk) {
        source->Unlock();
        return status;
    }
    const uint32_t rowBytes = RowBytes(target->GetFormat(), target->GetWidth());
    // Both sides must really hold rows of this size; a kind that made something else is refused
    // rather than read or written past its rows.
    const bool rowsFit =
        rowBytes == 0 || rows == 0 ||
        (from && to && fromPitch >= int64_t{rowBytes} && toPitch >= int64_t{rowBytes});
    if (rowsFit && rowBytes != 0) {
        const bool reverse = ((target->IsBottomUp() ^ source->IsBottomUp()) & 1) != 0;
        for (int32_t i = 0; i < rows; ++i) {
            const int32_t row = reverse ? rows - 1 - i : i;
            std::memcpy(to + std::ptrdiff_t{row} * toPitch, from + std::ptrdiff_t{i} * fromPitch,
                        rowBytes);
        }
    }
    target->Unlock();
    source->Unlock();
    return rowsFit ? ResultOk : ResultInvalid;
}

}  // namespace gfx
