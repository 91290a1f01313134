#include "tools/gfx/arguments.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

#include "graphics/core/channel_layout.h"
#include "graphics/core/dib_header.h"
#include "graphics/image/palette.h"
#include "graphics/image/surface.h"

namespace gfx_tool {

using namespace gfx;

namespace {

struct FormatNameRow {
    const char* name;
    PixelFormat format;
    const char* description;
};

constexpr FormatNameRow kFormats[] = {
    {"1", FMT_INDEX1, "1-bit indexed"},      {"2", FMT_INDEX2, "2-bit indexed"},
    {"4", FMT_INDEX4, "4-bit indexed"},      {"8", FMT_INDEX8, "8-bit indexed"},
    {"rgb555", FMT_RGB555, "16-bit 5-5-5"},  {"bgr555", FMT_BGR555, "16-bit 5-5-5, red lowest"},
    {"rgb565", FMT_RGB565, "16-bit 5-6-5"},  {"bgr565", FMT_BGR565, "16-bit 5-6-5, red lowest"},
    {"24", FMT_RGB24, "24-bit"},             {"32", FMT_RGB32, "32-bit"},
};

struct FlagNameRow {
    const char* name;
    const char* constant;
    uint32_t flag;
};

constexpr FlagNameRow kBlitFlags[] = {
    {"srckey", "BLIT_SRCKEY", BLIT_SRCKEY},
    {"destkey", "BLIT_DESTKEY", BLIT_DESTKEY},
    {"mirror-x", "BLIT_MIRROR_X", BLIT_MIRROR_X},
    {"mirror-y", "BLIT_MIRROR_Y", BLIT_MIRROR_Y},
    {"stipple", "BLIT_STIPPLE", BLIT_STIPPLE},
    {"alpha", "BLIT_ALPHA", BLIT_ALPHA},
    {"mask-alpha", "BLIT_MASK_ALPHA", BLIT_MASK_ALPHA},
    {"mask-stipple", "BLIT_MASK_STIPPLE", BLIT_MASK_STIPPLE},
    {"smooth", "BLIT_SMOOTH", BLIT_SMOOTH},
    {"mask-premul", "BLIT_MASK_PREMUL", BLIT_MASK_PREMUL},
    {"exact", "BLIT_EXACT", BLIT_EXACT},
    {"noclip", "BLIT_NOCLIP", BLIT_NOCLIP},
};

struct EncodingNameRow {
    const char* name;
    uint32_t tag;
};

constexpr EncodingNameRow kEncodings[] = {
    {"trle", COMPRESSION_TRLE},
    {"arle", COMPRESSION_ARLE},
    {"prle", COMPRESSION_PRLE},
    {"pkc", COMPRESSION_PKCC},
};

std::string Lower(const std::string& text) {
    std::string lower = text;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return lower;
}

// The comma-separated integers of `text`; false when a part is not one or the count differs.
bool ParseInts(const std::string& text, int32_t* out, size_t count) {
    size_t start = 0;
    for (size_t i = 0; i < count; ++i) {
        const size_t comma = text.find(',', start);
        const bool last = i + 1 == count;
        if (last != (comma == std::string::npos)) return false;
        const std::string part = text.substr(start, last ? std::string::npos : comma - start);
        if (!ParseInt(part, &out[i])) return false;
        start = comma + 1;
    }
    return true;
}

// A check that accepts what `parse` accepts and names the expected form otherwise.
template <typename Parse>
CLI::Validator Check(const char* expected, Parse parse) {
    return CLI::Validator(
        [expected, parse](std::string& text) -> std::string {
            if (parse(text)) return {};
            return "'" + text + "' is not " + expected;
        },
        "", "");
}

}  // namespace

bool ParseInt(const std::string& text, int32_t* out) {
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, *out);
    return error == std::errc() && end == last;
}

bool ParseRect(const std::string& text, Rect* out) {
    int32_t v[4];
    if (!ParseInts(text, v, 4) || v[2] < 0 || v[3] < 0) return false;
    *out = {v[0], v[1], v[2], v[3]};
    return true;
}

bool ParsePoint(const std::string& text, Point* out) {
    int32_t v[2];
    if (!ParseInts(text, v, 2)) return false;
    *out = {v[0], v[1]};
    return true;
}

bool ParsePlacement(const std::string& text, Rect* out, bool* hasSize) {
    Point point;
    if (ParsePoint(text, &point)) {
        *out = {point.x, point.y, 0, 0};
        *hasSize = false;
        return true;
    }
    *hasSize = true;
    return ParseRect(text, out);
}

Rect InMemoryRows(const Rect& rect, Surface& surface) {
    if (!(surface.IsBottomUp() & 1)) return rect;
    return {rect.x, surface.GetHeight() - rect.y - rect.height, rect.width, rect.height};
}

Point InMemoryRows(const Point& point, Surface& surface) {
    if (!(surface.IsBottomUp() & 1)) return point;
    return {point.x, surface.GetHeight() - 1 - point.y};
}

bool ParseFormatName(const std::string& text, PixelFormat* out) {
    const std::string lower = Lower(text);
    for (const FormatNameRow& row : kFormats) {
        if (lower == row.name) {
            *out = row.format;
            return true;
        }
    }
    return false;
}

std::string FormatName(PixelFormat format) {
    if (format == 0) return "none";
    for (const FormatNameRow& row : kFormats) {
        if (row.format == format) return row.name;
    }
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(format));
    return text;
}

std::string FormatDescription(PixelFormat format) {
    for (const FormatNameRow& row : kFormats) {
        if (row.format == format) return row.description;
    }
    return "unknown";
}

std::string FormatNameList() {
    std::string list;
    for (const FormatNameRow& row : kFormats) list += (list.empty() ? "" : ", ") + std::string(row.name);
    return list;
}

bool ParseBlitFlags(const std::string& text, uint32_t* flags) {
    uint32_t result = 0;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string name =
            Lower(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        bool known = false;
        for (const FlagNameRow& row : kBlitFlags) {
            if (name == row.name || name == Lower(row.constant)) {
                result |= row.flag;
                known = true;
            }
        }
        if (!known) return false;
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    *flags = result;
    return true;
}

std::string BlitFlagNameList() {
    std::string list;
    for (const FlagNameRow& row : kBlitFlags) list += (list.empty() ? "" : ", ") + std::string(row.name);
    return list;
}

bool ParseEncodingName(const std::string& text, uint32_t* tag) {
    const std::string lower = Lower(text);
    for (const EncodingNameRow& row : kEncodings) {
        if (lower == row.name) {
            *tag = row.tag;
            return true;
        }
    }
    return false;
}

std::string CompressionName(uint32_t compression) {
    if (compression == COMPRESSION_NONE) return "none";
    if (compression == COMPRESSION_BITFIELDS) return "bitfields";
    std::string name;
    for (int i = 0; i < 4; ++i) {
        const char c = char((compression >> (8 * i)) & 0xFF);
        if (c < 0x20 || c > 0x7E) {
            char number[16];
            std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(compression));
            return number;
        }
        name += c;
    }
    return name;
}

bool ParseColour(const std::string& text, Colour* out) {
    if (!text.empty() && text[0] == '#') {
        if (text.size() != 7) return false;
        uint32_t value = 0;
        const auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
        if (error != std::errc() || end != text.data() + 7) return false;
        *out = {false, value};
        return true;
    }
    uint32_t value = 0;
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* first = text.data() + (hex ? 2 : 0);
    const char* last = text.data() + text.size();
    if (first == last) return false;
    const auto [end, error] = std::from_chars(first, last, value, hex ? 16 : 10);
    if (error != std::errc() || end != last) return false;
    *out = {true, value};
    return true;
}

uint32_t PixelValueFor(const Colour& colour, Surface& surface) {
    if (colour.raw) return colour.value;
    const int red = (colour.value >> 16) & 0xFF, green = (colour.value >> 8) & 0xFF,
              blue = colour.value & 0xFF;
    const PixelFormat format = surface.GetFormat();
    if (IsIndexedFormat(format)) {
        // The first entry nearest by the sum of channel differences, as the converter scores.
        const Palette* palette = surface.GetPalette();
        if (!palette || !palette->GetEntryData()) return 0;
        uint32_t best = 0;
        int bestScore = 1 << 30;
        for (uint32_t i = 0; i < palette->GetEntryCount(); ++i) {
            const PaletteEntry& e = palette->GetEntryData()[i];
            const int score = std::abs(red - e.red) + std::abs(green - e.green) + std::abs(blue - e.blue);
            if (score < bestScore) {
                best = i;
                bestScore = score;
            }
        }
        return best;
    }
    const ChannelLayout layout = DecodeChannelLayout(format);
    return layout.channel[0].Write(uint32_t(blue)) | layout.channel[1].Write(uint32_t(green)) |
           layout.channel[2].Write(uint32_t(red));
}

CLI::Validator RectCheck() {
    return Check("a rectangle x,y,w,h", [](const std::string& t) { Rect r; return ParseRect(t, &r); });
}

CLI::Validator PointCheck() {
    return Check("a point x,y", [](const std::string& t) { Point p; return ParsePoint(t, &p); });
}

CLI::Validator PlacementCheck() {
    return Check("a point x,y or a rectangle x,y,w,h", [](const std::string& t) {
        Rect r;
        bool sized = false;
        return ParsePlacement(t, &r, &sized);
    });
}

CLI::Validator FormatCheck() {
    static const std::string expected = "a format (" + FormatNameList() + ")";
    return Check(expected.c_str(), [](const std::string& t) { PixelFormat f; return ParseFormatName(t, &f); });
}

CLI::Validator BlitFlagsCheck() {
    static const std::string expected = "a blit flag (" + BlitFlagNameList() + ")";
    return Check(expected.c_str(), [](const std::string& t) { uint32_t f; return ParseBlitFlags(t, &f); });
}

CLI::Validator EncodingCheck() {
    return Check("an encoding (trle, arle, prle, pkc)",
                 [](const std::string& t) { uint32_t tag; return ParseEncodingName(t, &tag); });
}

CLI::Validator ColourCheck() {
    return Check("a colour (#rrggbb or a raw pixel value)",
                 [](const std::string& t) { Colour c; return ParseColour(t, &c); });
}

}  // namespace gfx_tool
