// Surface::ConvertFormat: copy the surface, re-create it in the new format (and palette), and
// convert the copy's pixels into the new rows.

#include <cstring>

#include "graphics/core/channel_layout.h"
#include "graphics/image/memory_dib_surface.h"
#include "graphics/image/surface.h"
#include "graphics/raster/convert_flags.h"
#include "graphics/raster/convert_selection.h"
#include "graphics/raster/nearest_color.h"

namespace gfx {

namespace {

// The routines handle one-byte indexed pixels and the direct formats; the smaller indexed
// depths cannot take part.
bool Convertible(PixelFormat format) {
    return IsKnownFormat(format) && (!IsIndexedFormat(format) || format == FMT_INDEX8);
}

bool HasUsableEntry(const Palette* palette) {
    const PaletteEntry* entries = palette->GetEntryData();
    const uint32_t count = palette->GetEntryCount() < 256 ? palette->GetEntryCount() : 256;
    for (uint32_t i = 0; i < count; ++i) {
        if (entries[i].flags != kReservedEntryFlags) return true;
    }
    return false;
}

// The first 256 colours of a palette; a shorter palette (or none) leaves the rest black.
void CopyEntries(const Palette* palette, PaletteEntry (&out)[256], uint32_t* count) {
    std::memset(out, 0, sizeof(out));
    *count = 0;
    if (!palette || palette->GetEntryCount() == 0) return;
    *count = palette->GetEntryCount() < 256 ? palette->GetEntryCount() : 256;
    palette->GetEntries(out, 0, *count);
}

// Converts every pixel of `from` into `to`, which has the same size: steps of the conversion
// once the new rows exist.
Result ConvertRows(Surface& from, Surface& to, uint32_t flags, ConvertProgress progress,
                   int32_t userData) {
    PaletteEntry sourceEntries[256];
    PaletteEntry targetEntries[256];
    uint32_t sourceCount = 0;
    uint32_t targetCount = 0;
    CopyEntries(from.GetPalette(), sourceEntries, &sourceCount);
    CopyEntries(to.GetPalette(), targetEntries, &targetCount);

    NearestColor nearest(targetEntries, targetCount);
    const bool targetIndexed = IsIndexedFormat(to.GetFormat());
    // An indexed target needs a colour to match: a palette (passed or made by Create) with a
    // usable entry; the tree needs its memory.
    if (targetIndexed && !nearest.Prepare((flags & CONVERT_TREE_MATCH) != 0)) return ResultInvalid;

    ConvertJob job;
    uint8_t* source = nullptr;
    Result status = from.Lock(&source, &job.sourcePitch);
    if (status != ResultOk) return status;
    job.source = source;
    status = to.Lock(&job.target, &job.targetPitch);
    if (status != ResultOk) {
        from.Unlock();
        return status;
    }
    job.width = to.GetWidth();
    job.height = to.GetHeight();
    job.sourceLayout = DecodeChannelLayout(from.GetFormat());
    // The format the new rows really have: a kind may store a channel order as another.
    job.targetLayout = DecodeChannelLayout(to.GetFormat());
    job.sourceEntries = sourceEntries;
    job.nearest = &nearest;
    job.progress = progress;
    job.userData = userData;
    status = SelectConvertRoutine(IsIndexedFormat(from.GetFormat()), targetIndexed, flags & 3)
                 .routine(job);
    from.Unlock();
    to.Unlock();
    return status;
}

MemoryDibSurface* AsMemoryDib(Surface* s) {
    return s->GetKind() == KIND_MEMORY_DIB ? dynamic_cast<MemoryDibSurface*>(s) : nullptr;
}

// Hands the packed DIB block of `from` to the empty `to`, with `from`'s palette (whose colours
// count, as in a copy: a read-only block's table may not have followed it); `from` is left
// empty. For a memory DIB the conversion's copy of the picture is this move: Create would free
// the rows it copied. False, with nothing changed, when the block cannot be handed over.
bool MoveDib(MemoryDibSurface& from, MemoryDibSurface& to) {
    Stream* block = from.GetDibStream();
    if (!block || from.IsEncoded()) return false;
    if (to.AttachDib(block) != ResultOk) return false;
    if (Palette* colours = from.GetPalette()) to.SetPalette(colours);
    from.Surface::SetPalette(nullptr);
    from.Surface::SetRegion(nullptr);
    from.Reset();  // forgets the block, now owned by `to`
    return true;
}

// The picture as it was, into `copy`: its block when this is a memory DIB, else a copy.
Result TakePicture(Surface* self, Surface* copy) {
    MemoryDibSurface* from = AsMemoryDib(self);
    MemoryDibSurface* to = AsMemoryDib(copy);
    if (from && to && MoveDib(*from, *to)) return ResultOk;
    return copy->CopyFrom(self);
}

// Puts the picture taken by TakePicture back.
void RestorePicture(Surface* self, Surface* copy) {
    MemoryDibSurface* to = AsMemoryDib(self);
    MemoryDibSurface* from = AsMemoryDib(copy);
    if (to && from) {
        to->Free();
        if (MoveDib(*from, *to)) return;
    }
    self->CopyFrom(copy);
}

}  // namespace

Result Surface::ConvertFormat(PixelFormat newFormat, Palette* newPalette, uint32_t flags, int32_t,
                              ConvertProgress progress, int32_t userData) {
    if (format == 0) return ResultNoImage;
    if (!newPalette && newFormat == format) return ResultOk;
    // The rows are about to be replaced: whoever holds them locked (or holds a device context on
    // them) would be left pointing at freed memory.
    if (accessCount > 0) return ResultLocked;
    // Refused before anything changes: formats the routines cannot handle, and a target palette
    // with no colour that may be chosen.
    if (!Convertible(format) || !Convertible(newFormat)) return ResultInvalid;
    if (IsIndexedFormat(newFormat) && newPalette && !HasUsableEntry(newPalette)) {
        return ResultInvalid;
    }

    // Taken from this surface, not the copy: a kind's block copy does not keep the frame count.
    const int32_t frames = frameCount;
    Surface* copy = NewSurface();
    if (!copy) return ResultInvalid;
    Result status = TakePicture(this, copy);
    if (status != ResultOk) {
        delete copy;
        return status;
    }

    const int32_t w = copy->GetWidth();
    const int32_t h = copy->GetHeight();
    status = Create(w, h, newFormat, 0, nullptr);
    if (status == ResultOk && newPalette) status = SetPalette(newPalette);
    if (status == ResultOk) {
        SetFrameCount(frames);
        status = ConvertRows(*copy, *this, flags, progress, userData);
    }

    // A conversion that did not happen leaves the picture as it was, not rows of no meaning.
    if (status != ResultOk) {
        RestorePicture(this, copy);
        SetFrameCount(frames);
    }
    delete copy;
    return status;
}

}  // namespace gfx
