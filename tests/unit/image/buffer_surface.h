#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "graphics/image/surface.h"

// A test-only surface kind over a plain buffer, with a chosen row order. It counts its live
// instances so that tests can see the last Release destroy it.
class BufferSurface : public gfx::Surface {
  public:
    static inline int live = 0;

    explicit BufferSurface(bool bottomUp = false) : bottomUp_(bottomUp) { ++live; }
    ~BufferSurface() override {
        BufferSurface::Free();
        --live;
    }

    gfx::Result Create(int32_t w, int32_t h, gfx::PixelFormat fmt, uint32_t,
                       gfx::DeviceContextHandle) override {
        Free();
        if (!gfx::SurfaceSizeSupported(w, h, fmt)) return gfx::ResultInvalid;
        pitch_ = gfx::RowBytes(fmt, w);
        rows_.assign(size_t{pitch_} * h, 0);
        width = static_cast<uint16_t>(w);
        height = static_cast<uint16_t>(h);
        format = fmt;
        return gfx::ResultOk;
    }
    gfx::Result Free() override {
        rows_.clear();
        return Surface::Free();
    }
    gfx::Result Lock(uint8_t** address, int32_t* pitch) override {
        if (format == 0) return gfx::ResultNoImage;
        if (refuseLock) return gfx::ResultEncoded;
        ++accessCount;
        accessPointer = rows_.data();
        accessPitch = static_cast<uint16_t>(pitch_);
        *address = rows_.data();
        *pitch = static_cast<int32_t>(pitch_);
        return gfx::ResultOk;
    }
    gfx::Result Unlock() override {
        if (accessCount > 0 && --accessCount == 0) {
            accessPointer = nullptr;
            accessPitch = 0;
        }
        return gfx::ResultOk;
    }
    gfx::Surface* NewSurface() override { return new BufferSurface(bottomUp_); }
    int32_t IsBottomUp() const override { return bottomUp_ ? 1 : 0; }

    // Memory row `y` as stored.
    uint8_t* Row(int32_t y) { return rows_.data() + size_t{pitch_} * y; }

    bool refuseLock = false;

  private:
    bool bottomUp_;
    uint32_t pitch_ = 0;
    std::vector<uint8_t> rows_;
};
