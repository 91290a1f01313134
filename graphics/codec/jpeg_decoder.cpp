#include "graphics/codec/jpeg_decoder.h"

#include "graphics/image/image_readers.h"
#include "graphics/platform/dynamic_module.h"

namespace gfx {

namespace {
const char* moduleForTesting = nullptr;
}  // namespace

void SetJpegDecoderModuleForTesting(const char* moduleName) { moduleForTesting = moduleName; }

void* CallJpegDecoder(const char* path, uint32_t second, uint32_t third) {
    // Loaded for each picture: no state of the decoder survives between images. Its result lives
    // in global memory, so it stays valid once the module is gone.
    ModuleHandle module =
        DynamicModuleLoad(moduleForTesting ? moduleForTesting : JPEG_DECODER_MODULE);
    if (!module) return nullptr;
    auto readJpeg =
        reinterpret_cast<ReadJpegFunction>(DynamicModuleFind(module, JPEG_DECODER_ENTRY));
    void* dib = readJpeg ? readJpeg(path, second, third) : nullptr;
    DynamicModuleUnload(module);
    return dib;
}

void* ReadJpegFile(const char* path) { return CallJpegDecoder(path, 0, 0); }

}  // namespace gfx
