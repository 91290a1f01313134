// The decoder over libjpeg-turbo. libjpeg reports a fatal error by calling error_exit, which must
// not return: here it longjmps back to the one function that called setjmp, and that function
// holds no C++ objects, so nothing is skipped; the caller then destroys the decompressor and the
// half-made picture.
#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <climits>

#include "zd_jpeg/decode_jpeg_file.h"
#include "zd_jpeg/libjpeg_decoder.h"
#include "zd_jpeg/packed_dib_block.h"

namespace zd_jpeg {
namespace {

// A real progressive file has about ten scans; thousands of tiny ones only make the decoder
// walk its whole coefficient buffer again and again.
constexpr int kMaxScans = 500;
// Picture lines handed to libjpeg per call.
constexpr int kLinesPerRead = 16;

struct ErrorTrap {
    jpeg_error_mgr manager;  // first, so that cinfo->err is the trap
    jmp_buf jump;
};

[[noreturn]] void Fail(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(cinfo->err)->jump, 1);
}

// Warnings are not printed. Data that ends early is padded by libjpeg with an end-of-image
// marker and decoded as grey: such a file counts as failed instead.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) Fail(cinfo);
}

void Silent(j_common_ptr) {}

void LimitScans(j_common_ptr cinfo) {
    if (cinfo->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
        Fail(cinfo);
    }
}

// Where the compressed bytes come from.
struct Input {
    FILE* file = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

uint8_t Scale(unsigned a, unsigned b) { return uint8_t((a * b + 127) / 255); }

// One line of CMYK samples to blue, green, red. Files with an Adobe marker store the inks
// inverted (255 = no ink), as Adobe's programs write them.
void CmykToBgr(const uint8_t* cmyk, uint32_t width, bool inverted, uint8_t* bgr) {
    for (uint32_t x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
        unsigned c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
        bgr[0] = Scale(y, k);
        bgr[1] = Scale(m, k);
        bgr[2] = Scale(c, k);
    }
}

// Runs the whole decode into `dib`; false on any failure. Only this function calls setjmp.
bool DecodeInto(jpeg_decompress_struct* cinfo, ErrorTrap* trap, jpeg_progress_mgr* progress,
                const Input* input, size_t memoryLimit, PackedDibBlock* dib) {
    if (setjmp(trap->jump)) return false;
    jpeg_create_decompress(cinfo);
    cinfo->progress = progress;
    cinfo->mem->max_memory_to_use = long(std::min<size_t>(memoryLimit, LONG_MAX));
    if (input->file) {
        jpeg_stdio_src(cinfo, input->file);
    } else {
        jpeg_mem_src(cinfo, input->data, static_cast<unsigned long>(input->size));
    }
    jpeg_read_header(cinfo, TRUE);

    bool cmyk = false;
    switch (cinfo->jpeg_color_space) {
        case JCS_GRAYSCALE:
            cinfo->out_color_space = JCS_GRAYSCALE;
            break;
        case JCS_CMYK:
        case JCS_YCCK:
            cinfo->out_color_space = JCS_CMYK;
            cmyk = true;
            break;
        default:
            // Straight into the DIB's byte order.
            cinfo->out_color_space = JCS_EXT_BGR;
            break;
    }
    const bool grey = cinfo->out_color_space == JCS_GRAYSCALE;
    // The full-size picture is known from the header: refuse it before the decoder allocates.
    if (!dib->Allocate(cinfo->image_width, cinfo->image_height, grey ? 8 : 24, memoryLimit)) {
        return false;
    }
    jpeg_start_decompress(cinfo);
    if (cinfo->output_width != cinfo->image_width ||
        cinfo->output_height != cinfo->image_height ||
        cinfo->output_components != (grey ? 1 : cmyk ? 4 : 3)) {
        return false;
    }

    if (cmyk) {
        // Freed with the decompressor.
        JSAMPARRAY line = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo),
                                                      JPOOL_IMAGE, cinfo->output_width * 4, 1);
        while (cinfo->output_scanline < cinfo->output_height) {
            const JDIMENSION y = cinfo->output_scanline;
            if (jpeg_read_scanlines(cinfo, line, 1) != 1) return false;
            CmykToBgr(line[0], cinfo->output_width, cinfo->saw_Adobe_marker, dib->Line(y));
        }
    } else {
        JSAMPROW lines[kLinesPerRead];
        while (cinfo->output_scanline < cinfo->output_height) {
            const JDIMENSION y = cinfo->output_scanline;
            const JDIMENSION count = std::min<JDIMENSION>(kLinesPerRead, cinfo->output_height - y);
            for (JDIMENSION i = 0; i < count; ++i) lines[i] = dib->Line(y + i);
            if (jpeg_read_scanlines(cinfo, lines, count) == 0) return false;
        }
    }
    // Reads on to the end-of-image marker, so that a file cut after its last line still fails.
    jpeg_finish_decompress(cinfo);
    return true;
}

void* Decode(const Input& input, size_t memoryLimit) {
    jpeg_decompress_struct cinfo{};
    ErrorTrap trap{};
    cinfo.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = Fail;
    trap.manager.emit_message = OnMessage;
    trap.manager.output_message = Silent;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = LimitScans;

    PackedDibBlock dib;
    const bool decoded = DecodeInto(&cinfo, &trap, &progress, &input, memoryLimit, &dib);
    jpeg_destroy_decompress(&cinfo);
    return decoded ? dib.Release() : nullptr;
}

}  // namespace

void* DecodeJpegFile(const char* path, size_t memoryLimit) {
    if (!path) return nullptr;
    FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    Input input;
    input.file = file;
    void* dib = Decode(input, memoryLimit);
    std::fclose(file);
    return dib;
}

void* DecodeJpegBytes(const uint8_t* data, size_t size, size_t memoryLimit) {
    if (!data || size == 0) return nullptr;
    Input input;
    input.data = data;
    input.size = size;
    return Decode(input, memoryLimit);
}

}  // namespace zd_jpeg
