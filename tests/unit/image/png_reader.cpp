#include "tests/unit/image/png_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

uint32_t Big32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

int Paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc) return a;
    return pb <= pc ? b : c;
}

bool Fail(std::string* error, const char* reason) {
    *error = reason;
    return false;
}

}  // namespace

bool ReadPng(const std::string& path, PngPicture* picture, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (file.size() < 8 || !std::equal(kSignature, kSignature + 8, file.begin())) {
        return Fail(error, "not a PNG file");
    }
    uint32_t width = 0, height = 0, depth = 0, colourType = 0;
    std::vector<uint8_t> palette, packed;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t length = Big32(&file[at]);
        if (length > file.size() - at - 12) return Fail(error, "chunk beyond the file");
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const uint8_t* body = &file[at + 8];
        if (type == "IHDR" && length >= 13) {
            width = Big32(body), height = Big32(body + 4), depth = body[8], colourType = body[9];
            if (body[12] != 0) return Fail(error, "interlaced");
        } else if (type == "PLTE") {
            palette.assign(body, body + length);
        } else if (type == "IDAT") {
            packed.insert(packed.end(), body, body + length);
        } else if (type == "IEND") {
            break;
        }
        at += 12 + length;
    }
    int channels = 0;
    switch (colourType) {
        case 0:
        case 3:
            channels = 1;
            break;
        case 2:
            channels = 3;
            break;
        case 4:
            channels = 2;
            break;
        case 6:
            channels = 4;
            break;
        default:
            return Fail(error, "colour type");
    }
    if (width == 0 || height == 0 || width > 4096 || height > 4096 || depth == 0 || depth > 8) {
        return Fail(error, "size or depth");
    }
    const size_t rowBytes = (size_t(width) * channels * depth + 7) / 8;
    const size_t step = std::max<size_t>(1, channels * depth / 8);
    std::vector<uint8_t> raw(height * (rowBytes + 1));
    uLongf rawLength = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawLength, packed.data(), static_cast<uLong>(packed.size())) !=
            Z_OK ||
        rawLength != raw.size()) {
        return Fail(error, "compressed data");
    }

    std::vector<uint8_t> rows(height * rowBytes), previous(rowBytes, 0);
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t filter = raw[y * (rowBytes + 1)];
        const uint8_t* in = &raw[y * (rowBytes + 1) + 1];
        uint8_t* out = &rows[y * rowBytes];
        for (size_t i = 0; i < rowBytes; ++i) {
            const int a = i >= step ? out[i - step] : 0;
            const int b = previous[i];
            const int c = i >= step ? previous[i - step] : 0;
            int predicted = 0;
            switch (filter) {
                case 0:
                    break;
                case 1:
                    predicted = a;
                    break;
                case 2:
                    predicted = b;
                    break;
                case 3:
                    predicted = (a + b) / 2;
                    break;
                case 4:
                    predicted = Paeth(a, b, c);
                    break;
                default:
                    return Fail(error, "filter");
            }
            out[i] = static_cast<uint8_t>(in[i] + predicted);
        }
        previous.assign(out, out + rowBytes);
    }

    picture->width = static_cast<int>(width);
    picture->height = static_cast<int>(height);
    picture->rgb.assign(size_t(width) * height * 3, 0);
    const uint32_t maximum = (1u << depth) - 1;
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = &rows[y * rowBytes];
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* pixel = picture->rgb.data() + 3 * (size_t(y) * width + x);
            if (depth < 8) {
                const size_t bit = size_t(x) * depth;
                const uint32_t value = (row[bit / 8] >> (8 - depth - bit % 8)) & maximum;
                if (colourType == 3) {
                    if (3 * value + 2 >= palette.size()) return Fail(error, "palette index");
                    std::copy_n(&palette[3 * value], 3, pixel);
                } else {
                    pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>(value * 255 / maximum);
                }
                continue;
            }
            const uint8_t* sample = row + size_t(x) * channels;
            if (colourType == 3) {
                if (3 * size_t(sample[0]) + 2 >= palette.size())
                    return Fail(error, "palette index");
                std::copy_n(&palette[3 * sample[0]], 3, pixel);
            } else if (channels >= 3) {
                std::copy_n(sample, 3, pixel);
            } else {
                pixel[0] = pixel[1] = pixel[2] = sample[0];
            }
        }
    }
    return true;
}
