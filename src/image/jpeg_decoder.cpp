// libjpeg glue: a memory source and an error manager that returns control.
//
// The library's own error handler ends the process; a damaged picture must not
// end the game, so errors (and warnings, which mean damaged data) jump back
// here with longjmp and the decode reports failure instead.
#include "image/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

// libjpeg needs FILE and size_t declared before its own header.
// clang-format off
#include <jpeglib.h>
#include <jerror.h>
// clang-format on

namespace tarnby {

namespace {

struct ErrorManager {
    jpeg_error_mgr base;  // first, so the library's pointer is also ours
    std::jmp_buf jump;
    char* message;
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void emitMessage(j_common_ptr info, int level)
{
    // Negative levels are warnings about damaged data: treat them as errors.
    // Positive levels are trace messages and stay silent.
    if (level < 0) {
        errorExit(info);
    }
}

void outputMessage(j_common_ptr) {}

// A progressive stream may hold any number of scans, each a pass over the
// whole picture: a small file could keep the decoder busy for minutes. Real
// pictures have about ten.
constexpr int kMaxScans = 200;

// The most the library may allocate for one picture. The largest picture we
// agree to decode (4 M pixels, three components) needs some 30 MB of
// coefficients when progressive.
constexpr long kMemoryLimit = 64L << 20;

void watchProgress(j_common_ptr common)
{
    if (common->is_decompressor) {
        auto* info = reinterpret_cast<j_decompress_ptr>(common);
        if (info->input_scan_number > kMaxScans) {
            auto* manager = reinterpret_cast<ErrorManager*>(info->err);
            (void)std::snprintf(manager->message, kJpegMessageLength, "more than %d scans", kMaxScans);
            std::longjmp(manager->jump, 1);
        }
    }
}

// Memory source over the whole stream. When the library asks for more than
// there is, it gets an end-of-picture marker, so it can never read past the
// buffer whatever the data says.
const JOCTET kEndOfImage[2] = { 0xFF, JPEG_EOI };

void initSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr info)
{
    WARNMS(info, JWRN_JPEG_EOF);  // ends the decode through emitMessage
    info->src->next_input_byte = kEndOfImage;
    info->src->bytes_in_buffer = 2;
    return TRUE;
}

void skipInput(j_decompress_ptr info, long count)
{
    if (count <= 0) {
        return;
    }
    jpeg_source_mgr* source = info->src;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        (*source->fill_input_buffer)(info);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void termSource(j_decompress_ptr) {}

// Everything the library touches after setjmp lives in this record, so no
// local variable's value is lost when control jumps back.
struct Decode {
    jpeg_decompress_struct info;
    ErrorManager error;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
};

bool run(Decode& d, int32_t* pixels, int32_t width, int32_t height)
{
    jpeg_decompress_struct& info = d.info;
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        (void)std::snprintf(d.error.message, kJpegMessageLength, "no picture in the stream");
        return false;
    }
    // The frame's own size and layout, checked before anything is decoded: a
    // stream that claims a huge frame would otherwise have the library buffer
    // all of it (progressive) before the size check below.
    if (info.num_components != 3 || static_cast<int64_t>(info.image_width) != width
        || static_cast<int64_t>(info.image_height) != height) {
        (void)std::snprintf(d.error.message, kJpegMessageLength,
            "picture is %ux%u with %d components, expected %dx%d RGB", info.image_width, info.image_height,
            info.num_components, width, height);
        return false;
    }
    // Default parameters: RGB output for colour input, no scaling.
    jpeg_start_decompress(&info);
    if (info.output_components != 3 || static_cast<int32_t>(info.output_width) != width
        || static_cast<int32_t>(info.output_height) != height) {
        (void)std::snprintf(d.error.message, kJpegMessageLength,
            "picture is %ux%u with %d components, expected %dx%d RGB", info.output_width, info.output_height,
            info.output_components, width, height);
        return false;
    }
    // The scan-line buffer is the tail of the output itself: output words are
    // written from the front and never overtake the bytes not yet converted
    // (word i of the last row ends at or before byte 3 * (i + 1) of the line).
    const int32_t count = width * height;
    JSAMPLE* line = reinterpret_cast<JSAMPLE*>(pixels + count) - 3 * width;
    int32_t* out = pixels;
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = line;
        if (jpeg_read_scanlines(&info, &row, 1) != 1) {
            (void)std::snprintf(d.error.message, kJpegMessageLength, "scan line %u missing", info.output_scanline);
            return false;
        }
        const JSAMPLE* in = line;
        for (int32_t x = 0; x < width; ++x, in += 3) {
            uint32_t word = 0xFF000000u | static_cast<uint32_t>(in[0]) << 16 | static_cast<uint32_t>(in[1]) << 8
                            | static_cast<uint32_t>(in[2]);
            *out++ = static_cast<int32_t>(word);
        }
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

bool decodeJpeg(const uint8_t* buffer, int32_t length, int32_t* pixels, int32_t width, int32_t height,
    char (&message)[kJpegMessageLength])
{
    message[0] = 0;
    if (!buffer || length <= 0 || !pixels || width <= 0 || height <= 0) {
        (void)std::snprintf(message, kJpegMessageLength, "empty picture");
        return false;
    }
    if (static_cast<int64_t>(width) * height > kJpegMaxPixels) {
        (void)std::snprintf(message, kJpegMessageLength, "picture of %dx%d is too large", width, height);
        return false;
    }
    Decode d;
    std::memset(&d, 0, sizeof d);
    d.info.err = jpeg_std_error(&d.error.base);
    d.error.base.error_exit = errorExit;
    d.error.base.emit_message = emitMessage;
    d.error.base.output_message = outputMessage;
    d.error.message = message;
    if (setjmp(d.error.jump)) {
        jpeg_destroy_decompress(&d.info);
        return false;
    }
    jpeg_create_decompress(&d.info);
    d.info.mem->max_memory_to_use = kMemoryLimit;
    d.progress.progress_monitor = watchProgress;
    d.info.progress = &d.progress;
    d.source.init_source = initSource;
    d.source.fill_input_buffer = fillInput;
    d.source.skip_input_data = skipInput;
    d.source.resync_to_restart = jpeg_resync_to_restart;
    d.source.term_source = termSource;
    d.source.next_input_byte = buffer;
    d.source.bytes_in_buffer = static_cast<size_t>(length);
    d.info.src = &d.source;
    bool ok = run(d, pixels, width, height);
    jpeg_destroy_decompress(&d.info);
    return ok;
}

}  // namespace tarnby
