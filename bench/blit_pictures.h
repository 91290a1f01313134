#pragma once
// The pictures the blit benchmarks draw, shared by the Google Benchmark program and the plain
// timing program so that both time the same work: sprites with a colour key round an opaque
// ellipse, backdrops, masks and a premultiplied sprite. All are deterministic.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

struct Size {
    int32_t width;
    int32_t height;
};

// The key of the sprite pictures, a value that no opaque pixel takes.
inline uint32_t KeyOf(int bytes) { return bytes == 1 ? 0xFDu : bytes == 2 ? 0xF81Fu : 0x00FF00FFu; }

// Pixel memory that starts at a given offset within a page. Large blocks come from the system
// page-aligned, and rows of two pictures at equal page offsets make some processors take a slow
// path when one is read and the other written (memcpy's string moves included), which is no
// limit worth measuring against; so sources, destinations and masks each start at an offset of
// their own, the same in every case.
class PictureRows {
  public:
    PictureRows() = default;
    PictureRows(size_t size, size_t shift) : block_(size + shift), shift_(shift), size_(size) {}
    uint8_t* data() { return block_.data() + shift_; }
    const uint8_t* data() const { return block_.data() + shift_; }
    uint8_t* begin() { return data(); }
    uint8_t* end() { return data() + size_; }
    size_t size() const { return size_; }
    bool operator==(const PictureRows& other) const {
        return size_ == other.size_ && std::equal(data(), data() + size_, other.data());
    }

  private:
    std::vector<uint8_t> block_;
    size_t shift_ = 0;
    size_t size_ = 0;
};

// The page offsets of the three roles.
enum class Role : size_t { Source = 0, Destination = 1344, Mask = 2688 };

// Rows of one picture, padded to 4 bytes as surfaces are.
struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    int bytes = 0;
    int32_t pitch = 0;
    PictureRows rows;

    Picture() = default;
    Picture(Size size, int bpp, Role role)
        : width(size.width),
          height(size.height),
          bytes(bpp),
          pitch((size.width * bpp + 3) / 4 * 4),
          rows(static_cast<size_t>(pitch) * size.height, static_cast<size_t>(role)) {}

    uint8_t* Row(int32_t y) { return rows.data() + static_cast<size_t>(y) * pitch; }

    void Set(int32_t x, int32_t y, uint32_t v) {
        uint8_t* p = Row(y) + static_cast<size_t>(x) * bytes;
        for (int b = 0; b < bytes; ++b) p[b] = static_cast<uint8_t>(v >> (8 * b));
    }
    uint32_t Get(int32_t x, int32_t y) const {
        const uint8_t* p =
            rows.data() + static_cast<size_t>(y) * pitch + static_cast<size_t>(x) * bytes;
        uint32_t v = 0;
        for (int b = 0; b < bytes; ++b) v |= static_cast<uint32_t>(p[b]) << (8 * b);
        return v;
    }
};

inline uint32_t Noise(uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

// Squared distance of a pixel centre from the picture's centre, 1 on the inscribed ellipse.
inline double EllipseRadius2(Size size, int32_t x, int32_t y) {
    const double cx = size.width / 2.0, cy = size.height / 2.0;
    const double ex = (x + 0.5 - cx) / cx, ey = (y + 0.5 - cy) / cy;
    return ex * ex + ey * ey;
}

// A sprite: an opaque ellipse of varied colours filling the picture, the key around it, so that
// keyed blits see long runs of each kind as real sprites do.
inline Picture Sprite(Size size, int bytes) {
    Picture p(size, bytes, Role::Source);
    const uint32_t key = KeyOf(bytes);
    const uint32_t valueMask = bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * bytes)) - 1;
    uint32_t state = 12345;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            uint32_t v = Noise(state) & valueMask;
            if (v == key) v ^= 1;
            p.Set(x, y, EllipseRadius2(size, x, y) <= 1.0 ? v : key);
        }
    }
    return p;
}

// A destination: varied colours, with the destination key in the left half of every row.
inline Picture Backdrop(Size size, int bytes) {
    Picture p(size, bytes, Role::Destination);
    uint32_t state = 777;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            p.Set(x, y, x < size.width / 2 ? KeyOf(bytes) : Noise(state));
        }
    }
    return p;
}

// A mask ramp from 0 to 255 across each row.
inline Picture MaskRamp(Size size) {
    Picture p(size, 1, Role::Mask);
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) p.Set(x, y, (x * 256 / size.width + y) & 0xFF);
    }
    return p;
}

// A soft-edged shape as an 8-bit coverage mask: 255 inside an ellipse of 0.6 of the picture's
// radii, 0 outside 0.9, a ramp between (about a third of the pixels each), as anti-aliased
// sprites and shadows are.
inline Picture SoftMask(Size size) {
    Picture p(size, 1, Role::Mask);
    constexpr double kInner = 0.6, kOuter = 0.9;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            double r2 = EllipseRadius2(size, x, y), v;
            if (r2 <= kInner * kInner) {
                v = 255;
            } else if (r2 >= kOuter * kOuter) {
                v = 0;
            } else {
                v = 255.0 * (kOuter - std::sqrt(r2)) / (kOuter - kInner);
            }
            p.Set(x, y, static_cast<uint32_t>(v + 0.5));
        }
    }
    return p;
}

// A premultiplied 32-bit sprite under a mask whose bytes are the share of the destination that
// stays visible: the top byte is the sprite's coverage, 255 minus the mask byte, and the three
// colour bytes are multiplied by it, so that the mask blend and an ordinary premultiplied OVER
// of this picture composite the same thing.
inline Picture PremulSprite(Size size, const Picture& remaining) {
    Picture p(size, 4, Role::Source);
    uint32_t state = 4242;
    for (int32_t y = 0; y < size.height; ++y) {
        for (int32_t x = 0; x < size.width; ++x) {
            const uint32_t cover = 255 - remaining.Get(x, y);
            const uint32_t colour = Noise(state);
            uint32_t v = cover << 24;
            for (int b = 0; b < 3; ++b)
                v |= (((colour >> (8 * b)) & 0xFF) * cover / 255) << (8 * b);
            p.Set(x, y, v);
        }
    }
    return p;
}

// The mask of a premultiplied sprite: the share of the destination left visible.
inline Picture RemainingMask(Size size) {
    Picture p = SoftMask(size);
    for (uint8_t& m : p.rows) m = static_cast<uint8_t>(255 - m);
    return p;
}

}  // namespace bench
