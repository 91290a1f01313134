// The decoder over the Windows Imaging Component: its JPEG decoder reads the file, a format
// converter gives 8-bit grey for greyscale files and 24-bit blue, green, red for everything else.
#include <windows.h>
#include <wincodec.h>

#include <algorithm>
#include <string>

#include "zd_jpeg/decode_jpeg_file.h"
#include "zd_jpeg/packed_dib_block.h"

namespace zd_jpeg {
namespace {

// One counted reference to a COM object, released at the end of its scope.
template <class T>
class ComRef {
  public:
    ComRef() = default;
    ~ComRef() {
        if (object_) object_->Release();
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    T** Out() { return &object_; }
    void** OutVoid() { return reinterpret_cast<void**>(&object_); }
    T* operator->() const { return object_; }
    T* Get() const { return object_; }

  private:
    T* object_ = nullptr;
};

// COM on this thread for the length of one decode. A thread whose COM runs in another mode
// keeps it, and the decoder works in that mode too.
class ComScope {
  public:
    ComScope() : status_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(status_)) CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    bool Usable() const { return SUCCEEDED(status_) || status_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT status_;
};

std::wstring WidePath(const char* path) {
    const int length = MultiByteToWideChar(CP_ACP, 0, path, -1, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(size_t(length), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide.data(), length) != length) return {};
    wide.resize(size_t(length - 1));
    return wide;
}

// WIC hands the lines over top first: they are copied with the top line at the block's lowest
// row, then the rows are put in bottom-up order in place.
void ReverseRows(PackedDibBlock& dib, uint32_t height) {
    for (uint32_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
        uint8_t* a = dib.Line(top);
        std::swap_ranges(a, a + dib.RowBytes(), dib.Line(bottom));
    }
}

}  // namespace

void* DecodeJpegFile(const char* path, size_t memoryLimit) {
    if (!path) return nullptr;
    const std::wstring widePath = WidePath(path);
    if (widePath.empty()) return nullptr;

    // Declared first, so that COM outlives every object below.
    ComScope com;
    if (!com.Usable()) return nullptr;
    ComRef<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IWICImagingFactory, factory.OutVoid()))) {
        return nullptr;
    }
    ComRef<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(widePath.c_str(), nullptr, GENERIC_READ,
                                                  WICDecodeMetadataCacheOnDemand,
                                                  decoder.Out()))) {
        return nullptr;
    }
    // WIC reads other image kinds too; this module reads JPEG files only.
    GUID container{};
    if (FAILED(decoder->GetContainerFormat(&container)) ||
        !IsEqualGUID(container, GUID_ContainerFormatJpeg)) {
        return nullptr;
    }
    ComRef<IWICBitmapFrameDecode> frame;
    UINT width = 0, height = 0;
    WICPixelFormatGUID stored{};
    if (FAILED(decoder->GetFrame(0, frame.Out())) || FAILED(frame->GetSize(&width, &height)) ||
        FAILED(frame->GetPixelFormat(&stored))) {
        return nullptr;
    }
    const bool grey = IsEqualGUID(stored, GUID_WICPixelFormat8bppGray);
    ComRef<IWICFormatConverter> converter;
    if (FAILED(factory->CreateFormatConverter(converter.Out())) ||
        FAILED(converter->Initialize(frame.Get(),
                                     grey ? GUID_WICPixelFormat8bppGray
                                          : GUID_WICPixelFormat24bppBGR,
                                     WICBitmapDitherTypeNone, nullptr, 0.0,
                                     WICBitmapPaletteTypeCustom))) {
        return nullptr;
    }

    PackedDibBlock dib;
    if (!dib.Allocate(width, height, grey ? 8 : 24, memoryLimit)) return nullptr;
    const UINT stride = dib.RowBytes();
    if (FAILED(converter->CopyPixels(nullptr, stride, stride * height, dib.Line(height - 1)))) {
        return nullptr;
    }
    ReverseRows(dib, height);
    return dib.Release();
}

}  // namespace zd_jpeg
