#pragma once

#include <cstdint>
#include <cstring>
#include <new>

namespace gfx {

// Error-diffusion state of a dithered conversion: the rounding error of each pixel is spread in
// sixteenths to the three pixels below it (3/16, 5/16, 1/16) and, through a carry, what those
// shares leave (7/16) to its right neighbour. Channels are red, green, blue. The two rows are
// allocated once per conversion.
class ErrorDiffusion {
  public:
    struct Rgb {
        int32_t c[3];
    };

    explicit ErrorDiffusion(int32_t width) : width_(width) {
        const size_t n = width > 0 ? static_cast<size_t>(width) : 0;
        current_ = new (std::nothrow) Rgb[n]();
        next_ = new (std::nothrow) Rgb[n]();
    }
    ~ErrorDiffusion() {
        delete[] current_;
        delete[] next_;
    }
    ErrorDiffusion(const ErrorDiffusion&) = delete;
    ErrorDiffusion& operator=(const ErrorDiffusion&) = delete;

    bool Valid() const { return current_ && next_; }

    // The errors gathered for this row become the incoming ones; the next row starts clean.
    void StartRow() {
        std::memcpy(current_, next_, sizeof(Rgb) * static_cast<size_t>(width_));
        std::memset(next_, 0, sizeof(Rgb) * static_cast<size_t>(width_));
        carry_ = Rgb{{0, 0, 0}};
    }

    // The colour pixel i should get: its own plus the errors it receives, clamped to a byte.
    Rgb Wanted(int32_t i, uint32_t red, uint32_t green, uint32_t blue) const {
        const uint32_t own[3] = {red, green, blue};
        Rgb wanted;
        for (int c = 0; c < 3; ++c) {
            const int32_t v = static_cast<int32_t>(own[c]) + current_[i].c[c] + carry_.c[c];
            wanted.c[c] = v < 0 ? 0 : (v > 255 ? 255 : v);
        }
        return wanted;
    }

    // Hands on what pixel i missed by: `error` = wanted - written, per channel. The shifts are
    // arithmetic, rounding toward minus infinity.
    void Spread(int32_t i, const Rgb& error) {
        for (int c = 0; c < 3; ++c) {
            const int32_t e = error.c[c];
            if (i > 0) next_[i - 1].c[c] += (3 * e) >> 4;
            next_[i].c[c] += (5 * e) >> 4;
            if (i < width_ - 1) {
                next_[i + 1].c[c] += e >> 4;
                carry_.c[c] = e - ((9 * e) >> 4);
            }
        }
    }

  private:
    int32_t width_;
    Rgb* current_ = nullptr;
    Rgb* next_ = nullptr;
    Rgb carry_{{0, 0, 0}};
};

}  // namespace gfx
