#pragma once

#include <cstdint>
#include <vector>

// Raw rows of a test picture: `bytes` per pixel, rows padded to 4 bytes plus four spare bytes so
// that a routine writing past its rectangle shows up as a changed byte outside it.
class PixelGrid {
  public:
    PixelGrid(int32_t width, int32_t height, int bytes)
        : width_(width), height_(height), bytes_(bytes), pitch_((width * bytes + 3) / 4 * 4 + 4) {
        data_.resize(static_cast<size_t>(pitch_) * height);
    }

    // Every byte gets a value that depends on its position and `seed`.
    void FillPattern(uint32_t seed) {
        for (size_t k = 0; k < data_.size(); ++k)
            data_[k] = static_cast<uint8_t>((k * 2654435761u + seed * 40503u) >> 13);
    }
    uint32_t Get(int32_t x, int32_t y) const {
        uint32_t v = 0;
        for (int b = 0; b < bytes_; ++b) v |= uint32_t{data_[Offset(x, y) + b]} << (8 * b);
        return v;
    }
    void Set(int32_t x, int32_t y, uint32_t v) {
        for (int b = 0; b < bytes_; ++b)
            data_[Offset(x, y) + b] = static_cast<uint8_t>(v >> (8 * b));
    }

    uint8_t* Data() { return data_.data(); }
    const std::vector<uint8_t>& Bytes() const { return data_; }
    int32_t Pitch() const { return pitch_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

  private:
    size_t Offset(int32_t x, int32_t y) const { return size_t(y) * pitch_ + size_t(x) * bytes_; }

    int32_t width_, height_;
    int bytes_;
    int32_t pitch_;
    std::vector<uint8_t> data_;
};
