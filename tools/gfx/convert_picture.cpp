#include "tools/gfx/convert_picture.h"

#include <algorithm>
#include <vector>

#include "graphics/core/palette_entry.h"
#include "graphics/image/palette.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/progress_bar.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

constexpr uint32_t kEntries = 256;
// The flags byte the converter reads as "never choose this entry".
constexpr uint8_t kReservedEntry = 1;

Palette* PaletteOf(Surface& maker, const std::vector<PaletteEntry>& entries) {
    Palette* palette = maker.NewPalette();
    if (!palette) return nullptr;
    if (palette->Create(kEntries) != ResultOk ||
        palette->SetEntries(entries.data(), 0, kEntries) != ResultOk) {
        palette->Release();
        return nullptr;
    }
    return palette;
}

}  // namespace

Palette* WidenedPaletteOf(Surface& source, Surface& maker) {
    const Palette* from = source.GetPalette();
    if (!from || !from->GetEntryData()) return nullptr;
    std::vector<PaletteEntry> entries(kEntries, PaletteEntry{0, 0, 0, kReservedEntry});
    const uint32_t count = std::min(from->GetEntryCount(), kEntries);
    std::copy(from->GetEntryData(), from->GetEntryData() + count, entries.begin());
    return PaletteOf(maker, entries);
}

Palette* ColourCubePalette(Surface& maker) {
    std::vector<PaletteEntry> entries;
    for (int r = 0; r < 6; ++r) {
        for (int g = 0; g < 6; ++g) {
            for (int b = 0; b < 6; ++b) {
                entries.push_back({uint8_t(51 * r), uint8_t(51 * g), uint8_t(51 * b), 0});
            }
        }
    }
    for (int i = 0; entries.size() < kEntries; ++i) {
        const uint8_t grey = uint8_t((i + 1) * 255 / 41);
        entries.push_back({grey, grey, grey, 0});
    }
    return PaletteOf(maker, entries);
}

int ConvertPicture(Surface& surface, PixelFormat format, Palette* palette, uint32_t flags,
                   const std::string& path) {
    const PixelFormat from = surface.GetFormat();
    Result status;
    {
        ProgressBar bar("converting " + path);
        status = surface.ConvertFormat(format, palette, flags, 0, ProgressBar::Callback(), 0);
    }
    if (status == ResultOk) return EXIT_OK;
    return ReportFailure(path, status,
                         "cannot convert from " + FormatName(from) + " to " + FormatName(format));
}

}  // namespace gfx_tool
