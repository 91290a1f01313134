#include "tools/gfx/image_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "graphics/codec/bitmap_file_writer.h"
#include "graphics/codec/container_file_writer.h"
#include "graphics/core/channel_layout.h"
#include "graphics/core/dib_header.h"
#include "graphics/image/load_flags.h"
#include "graphics/image/split_path.h"
#include "graphics/io/replacing_file.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/png_file.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;
namespace fs = std::filesystem;

namespace {

bool HasExtensionOf(const std::string& path, const char* extension) {
    PathParts parts;
    return SplitPath(path.c_str(), &parts) && HasExtension(parts, extension);
}

// Whether two paths name one file: the same file on disk when both exist, else the same path
// once made absolute and normalised.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::equivalent(a, b, error) && !error) return true;
    const fs::path left = fs::weakly_canonical(fs::absolute(a, error), error);
    const fs::path right = fs::weakly_canonical(fs::absolute(b, error), error);
    return !error && left == right;
}

// The PNG under a temporary name beside `path`, renamed onto it once whole.
bool WriteReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.size() > UINT32_MAX) return false;
    ReplacingFile file(path.c_str());
    return file.Write(bytes.data(), uint32_t(bytes.size())) && file.Commit();
}

int LoadPng(const std::string& path, MemoryDibSurface* surface) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return ReportFailure(path, ResultNoSource, "cannot be read");
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
    std::string what;
    const Result status = ReadPng(bytes.data(), bytes.size(), surface, &what);
    return status == ResultOk ? EXIT_OK : ReportFailure(path, status, what);
}

}  // namespace

FileKind KindOfPath(const std::string& path) {
    if (HasExtensionOf(path, "jpg") || HasExtensionOf(path, "jpeg")) return FileKind::Jpeg;
    if (HasExtensionOf(path, "zbm")) return FileKind::Container;
    if (HasExtensionOf(path, "png")) return FileKind::Png;
    return FileKind::Bitmap;
}

const char* KindName(FileKind kind) {
    switch (kind) {
        case FileKind::Bitmap: return "bitmap";
        case FileKind::Jpeg: return "JPEG";
        case FileKind::Container: return "zbm container";
        case FileKind::Png: return "PNG";
    }
    return "unknown";
}

int LoadPicture(const std::string& path, MemoryDibSurface* surface, bool decode) {
    std::error_code error;
    if (!fs::exists(path, error)) return ReportFailure(path, ResultNoSource, "no such file");
    if (fs::is_directory(path, error)) return ReportFailure(path, ResultNoSource, "is a folder");
    const FileKind kind = KindOfPath(path);
    if (kind == FileKind::Png) return LoadPng(path, surface);
    const Result status = surface->Load(path.c_str(), LOAD_FROM_FILE | LOAD_COPY, nullptr,
                                        nullptr, nullptr, 0, 0);
    if (status != ResultOk) {
        return ReportFailure(path, status, std::string("not a readable ") + KindName(kind));
    }
    if (decode && surface->IsEncoded()) {
        DibHeader header;
        ReadDibHeader(surface->GetDibHeader(), surface->GetDibLength(), &header);
        const Result decoded = surface->Decode();
        if (decoded != ResultOk) {
            return ReportFailure(path, decoded,
                                 "cannot decode its " + CompressionName(header.biCompression) +
                                     " data");
        }
    }
    return EXIT_OK;
}

int LoadMask(const std::string& path, MemoryDibSurface* mask) {
    MemoryDibSurface picture;
    const int code = LoadPicture(path, &picture);
    if (code != EXIT_OK) return code;
    const PixelFormat format = picture.GetFormat();
    if (format == FMT_INDEX8) return mask->CopyFrom(&picture) == ResultOk ? EXIT_OK
               : ReportFailure(path, ResultInvalid, "out of memory");
    if (IsIndexedFormat(format)) {
        return ReportFailure(path, ResultInvalid, "a mask must be an 8-bit or a direct picture");
    }
    const int32_t width = picture.GetWidth(), height = picture.GetHeight();
    const Result status = mask->Create(width, height, FMT_INDEX8, 0, 0);
    if (status != ResultOk) return ReportFailure(path, status, "cannot make the mask");
    const ChannelLayout layout = DecodeChannelLayout(format);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t pixel = picture.GetPixelValue(x, y);
            const uint32_t brightness = (299 * layout.channel[2].Read(pixel) +
                                         587 * layout.channel[1].Read(pixel) +
                                         114 * layout.channel[0].Read(pixel) + 500) / 1000;
            mask->SetPixelValue(x, y, brightness);
        }
    }
    return EXIT_OK;
}

int SavePicture(Surface& surface, const std::string& path) {
    Result status = ResultOk;
    std::string what = "cannot be written";
    switch (KindOfPath(path)) {
        case FileKind::Container:
            status = SaveContainerFile(surface, path.c_str());
            break;
        case FileKind::Png: {
            std::vector<uint8_t> png;
            status = EncodePng(surface, &png, &what);
            if (status == ResultOk && !WriteReplacing(path, png)) {
                status = ResultInvalid;
                what = "cannot be written";
            }
            break;
        }
        default:
            status = SaveBitmapFile(surface, path.c_str());
            break;
    }
    return status == ResultOk ? EXIT_OK : ReportFailure(path, status, what);
}

int CheckOutputPath(const std::string& output, const std::vector<std::string>& inputs,
                    bool bitmapOnly) {
    const FileKind kind = KindOfPath(output);
    const bool bitmapName = HasExtensionOf(output, "bmp") || HasExtensionOf(output, "dib");
    if (bitmapOnly && !bitmapName) {
        return ReportUsage(output + ": encoded pictures are written as bitmaps (.bmp)");
    }
    if (!bitmapName && kind != FileKind::Container && kind != FileKind::Png) {
        return ReportUsage(output + ": cannot write this kind of file (use .bmp, .zbm or .png)");
    }
    for (const std::string& input : inputs) {
        if (!input.empty() && SameFile(output, input)) {
            return ReportUsage(output + ": is also an input; refusing to overwrite it");
        }
    }
    std::error_code error;
    fs::path folder = fs::path(output).parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, error)) {
        return ReportFailure(output, ResultInvalid, "no such folder");
    }
    if (fs::is_directory(output, error)) return ReportFailure(output, ResultInvalid, "is a folder");
    return EXIT_OK;
}

}  // namespace gfx_tool
