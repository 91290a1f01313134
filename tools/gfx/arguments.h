#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "graphics/core/pixel_format.h"

namespace gfx {
class Surface;
}

namespace gfx_tool {

// The text forms the commands take, and the CLI11 checks that refuse anything else as a usage
// error before a file is opened.

struct Rect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

struct Point {
    int32_t x = 0, y = 0;
};

// "x,y,w,h": four integers, the size not negative.
bool ParseRect(const std::string& text, Rect* out);
// "x,y".
bool ParsePoint(const std::string& text, Point* out);
// "x,y" or "x,y,w,h"; `hasSize` tells which.
bool ParsePlacement(const std::string& text, Rect* out, bool* hasSize);

// The commands take coordinates from the top-left corner of a picture; the library's operations
// address memory rows, whose row 0 is the bottom line of a bottom-up surface. These turn the
// one into the other (the same rectangle or point of the picture).
Rect InMemoryRows(const Rect& rect, gfx::Surface& surface);
Point InMemoryRows(const Point& point, gfx::Surface& surface);

// Pixel format names: "1", "2", "4", "8" (indexed), "rgb555", "bgr555", "rgb565", "bgr565",
// "24", "32".
bool ParseFormatName(const std::string& text, gfx::PixelFormat* out);
// The name of a format, "none" for 0 and "0x........" for a code that has none.
std::string FormatName(gfx::PixelFormat format);
// A longer description for info: "8-bit indexed", "16-bit 5-6-5", ...
std::string FormatDescription(gfx::PixelFormat format);
// Every name, comma-separated, for help texts.
std::string FormatNameList();

// Blit flag names, case-blind: the short forms ("srckey", "mirror-x", "mask-alpha", ...) or the
// library's constants ("BLIT_MIRROR_X"). `text` may list several, comma-separated. False for a
// name that is not a flag.
bool ParseBlitFlags(const std::string& text, uint32_t* flags);
std::string BlitFlagNameList();

// Encodings a surface can be given: "trle", "arle", "prle", "pkc" (the packed one, stored as
// PKC1 or PKC2). False for another name.
bool ParseEncodingName(const std::string& text, uint32_t* tag);
// The four characters of a stored tag ("TRLE"), "none" for plain rows, "bitfields" for 3.
std::string CompressionName(uint32_t compression);

// A colour: "#rrggbb" (matched to the picture's format: packed for direct formats, the nearest
// palette entry for indexed ones) or a number (decimal or 0x hex), taken as a raw pixel value.
struct Colour {
    bool raw = false;
    uint32_t value = 0;  // the raw value, or 0xRRGGBB
};
bool ParseColour(const std::string& text, Colour* out);
// The raw pixel value of `colour` on `surface`.
uint32_t PixelValueFor(const Colour& colour, gfx::Surface& surface);

// Integers with an optional sign.
bool ParseInt(const std::string& text, int32_t* out);

// CLI11 checks over the parsers above.
// A file named at its place on the command line, required; its help line shows no type.
template <class T>
CLI::Option* AddFileArgument(CLI::App* command, const std::string& name, T& target,
                             const std::string& help) {
    return command->add_option(name, target, help)->required()->option_text(" ");
}

CLI::Validator RectCheck();
CLI::Validator PointCheck();
CLI::Validator PlacementCheck();
CLI::Validator FormatCheck();
CLI::Validator BlitFlagsCheck();
CLI::Validator EncodingCheck();
CLI::Validator ColourCheck();

}  // namespace gfx_tool
