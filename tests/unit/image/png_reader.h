#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A small reader of the PNG files the tests compare pictures with: non-interlaced, 1 to 8 bits
// per sample, grey, RGB, palette, grey with alpha and RGBA. Alpha is dropped.
struct PngPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;  // three bytes per pixel, top line first

    const uint8_t* Pixel(int x, int y) const { return rgb.data() + 3 * (size_t(y) * width + x); }
};

// Reads the file; false (with a reason in `error`) for anything it does not understand.
bool ReadPng(const std::string& path, PngPicture* picture, std::string* error);
