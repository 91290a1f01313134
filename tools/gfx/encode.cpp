// gfx encode and gfx decode: the library's sprite and packed encodings of bitmaps.
#include <cstdio>
#include <memory>
#include <string>

#include "graphics/core/dib_header.h"
#include "graphics/image/memory_dib_surface.h"
#include "tools/gfx/arguments.h"
#include "tools/gfx/commands.h"
#include "tools/gfx/image_files.h"
#include "tools/gfx/tool_messages.h"

namespace gfx_tool {

using namespace gfx;

namespace {

struct EncodeOptions {
    std::string input, output, encoding;
};

DibHeader HeaderOf(const MemoryDibSurface& surface) {
    DibHeader header{};
    ReadDibHeader(surface.GetDibHeader(), surface.GetDibLength(), &header);
    return header;
}

// Bytes of pixel data: the encoded data, or the plain rows.
uint32_t DataBytes(const MemoryDibSurface& surface) {
    const DibHeader header = HeaderOf(surface);
    return surface.IsEncoded() ? header.biSizeImage : DibImageSize(header);
}

std::string Share(uint32_t part, uint32_t whole) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f%%", whole ? 100.0 * part / whole : 0.0);
    return text;
}

int RunEncode(const EncodeOptions& options) {
    int code = CheckOutputPath(options.output, {options.input}, true);
    if (code != EXIT_OK) return code;
    MemoryDibSurface picture;
    if ((code = LoadPicture(options.input, &picture)) != EXIT_OK) return code;
    uint32_t tag = 0;
    ParseEncodingName(options.encoding, &tag);
    const uint32_t before = DataBytes(picture);
    const Result status = picture.Encode(tag);
    if (status != ResultOk) {
        return ReportFailure(options.input, status,
                             "cannot encode " + FormatName(picture.GetFormat()) +
                                 "-format pixels as " + options.encoding);
    }
    const uint32_t after = DataBytes(picture);
    if ((code = SavePicture(picture, options.output)) != EXIT_OK) return code;
    std::printf("%s: %u bytes plain -> %s: %u bytes %s (%s)\n", options.input.c_str(), before,
                options.output.c_str(), after, CompressionName(HeaderOf(picture).biCompression).c_str(),
                Share(after, before).c_str());
    return EXIT_OK;
}

int RunDecode(const EncodeOptions& options) {
    int code = CheckOutputPath(options.output, {options.input});
    if (code != EXIT_OK) return code;
    MemoryDibSurface picture;
    if ((code = LoadPicture(options.input, &picture, false)) != EXIT_OK) return code;
    const std::string encoding = CompressionName(HeaderOf(picture).biCompression);
    const uint32_t before = DataBytes(picture);
    const Result status = picture.Decode();
    if (status == ResultNotEncoded) {
        return ReportFailure(options.input, status, "holds plain pixels");
    }
    if (status != ResultOk) {
        return ReportFailure(options.input, status, "cannot decode its " + encoding + " data");
    }
    const uint32_t after = DataBytes(picture);
    if ((code = SavePicture(picture, options.output)) != EXIT_OK) return code;
    std::printf("%s: %u bytes %s -> %s: %u bytes plain\n", options.input.c_str(), before,
                encoding.c_str(), options.output.c_str(), after);
    return EXIT_OK;
}

}  // namespace

void AddEncodeCommands(CLI::App& app, int* exitCode) {
    auto encode = std::make_shared<EncodeOptions>();
    CLI::App* command = app.add_subcommand("encode", "Store a bitmap in one of the library's encodings");
    AddFileArgument(command, "IN", encode->input, "Picture to read (bitmap, JPEG, zbm or PNG)");
    AddFileArgument(command, "OUT", encode->output, "Bitmap file to write (.bmp)");
    command->add_option("-a,--as", encode->encoding, "Encoding: trle, arle, prle or pkc")
        ->required()
        ->check(EncodingCheck())
        ->option_text("ENCODING");
    command->footer(
        "trle keeps each row without its transparent margins (pixel value 0); arle is a\n"
        "run-length code and prle that code packed with zlib. These three encode 8-bit pictures\n"
        "(trle decodes at 16, 24 and 32 bits too); pkc packs the rows of any format with zlib.\n"
        "Prints the sizes of the pixel data before and after.");
    command->callback([encode, exitCode] { *exitCode = RunEncode(*encode); });

    auto decode = std::make_shared<EncodeOptions>();
    command = app.add_subcommand("decode", "Turn an encoded bitmap back into plain pixels");
    AddFileArgument(command, "IN", decode->input, "Encoded bitmap to read");
    AddFileArgument(command, "OUT", decode->output, "File to write (.bmp, .zbm or .png)");
    command->footer("Prints the sizes of the pixel data before and after.");
    command->callback([decode, exitCode] { *exitCode = RunDecode(*decode); });
}

}  // namespace gfx_tool
