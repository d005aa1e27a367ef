// Run-length, alpha-mask and JPEG encoding of pictures for bundles.
#include "bundle-writer/picture_encoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

// libjpeg needs FILE and size_t declared before its own header.
// clang-format off
#include <jpeglib.h>
// clang-format on

namespace tarnby::bundle {

namespace {

constexpr int32_t kCacheSize = 106;

void emitSkip(std::vector<uint8_t>& out, int32_t run, int32_t nextCode, bool& nextCodeSent)
{
    nextCodeSent = false;
    while (run > 47) {
        out.push_back(134);
        out.push_back(static_cast<uint8_t>(31 << 3 | 7));
        run -= 47;
    }
    if (run >= 16) {
        // The long skip can carry the next pixel's partial alpha for free.
        int32_t field = 7;
        if (nextCode >= 1 && nextCode <= 6) {
            field = nextCode;
            nextCodeSent = true;
        }
        out.push_back(134);
        out.push_back(static_cast<uint8_t>((run - 16) << 3 | field));
    } else if (run > 0) {
        out.push_back(static_cast<uint8_t>(134 + run));
    }
}

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void errorExit(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void outputMessage(j_common_ptr) {}

// Colour under transparent pixels taken from the nearest visible pixel of the
// row (or of the nearest row that has one), so the JPEG has no hard edges there.
std::vector<uint8_t> bleedColours(const uint8_t* pixels, int32_t channels, int32_t width, int32_t height)
{
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    std::vector<uint8_t> rowHasColour(static_cast<size_t>(height), 0);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * width * channels;
        uint8_t* out = rgb.data() + static_cast<size_t>(y) * width * 3;
        auto visible = [&](int32_t x) { return channels == 3 || alphaCode(in[x * channels + 3]) != 0; };
        int32_t last = -1;
        for (int32_t x = 0; x < width; ++x) {
            int32_t from = visible(x) ? x : last;
            if (visible(x)) {
                last = x;
            }
            if (from >= 0) {
                std::memcpy(out + x * 3, in + from * channels, 3);
            }
        }
        if (last < 0) {
            continue;
        }
        rowHasColour[static_cast<size_t>(y)] = 1;
        int32_t first = 0;
        while (!visible(first)) {
            ++first;
        }
        for (int32_t x = 0; x < first; ++x) {
            std::memcpy(out + x * 3, in + first * channels, 3);
        }
    }
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int32_t y = 1; y < height; ++y) {
        if (!rowHasColour[static_cast<size_t>(y)] && rowHasColour[static_cast<size_t>(y - 1)]) {
            std::memcpy(rgb.data() + y * rowBytes, rgb.data() + (y - 1) * rowBytes, rowBytes);
            rowHasColour[static_cast<size_t>(y)] = 1;
        }
    }
    for (int32_t y = height - 2; y >= 0; --y) {
        if (!rowHasColour[static_cast<size_t>(y)] && rowHasColour[static_cast<size_t>(y) + 1]) {
            std::memcpy(rgb.data() + y * rowBytes, rgb.data() + (y + 1) * rowBytes, rowBytes);
            rowHasColour[static_cast<size_t>(y)] = 1;
        }
    }
    return rgb;
}

struct Encode {
    jpeg_compress_struct info;
    ErrorManager error;
    unsigned char* buffer;
    unsigned long size;
};

bool compress(Encode& e, const uint8_t* rgb, int32_t width, int32_t height, int32_t quality)
{
    if (setjmp(e.error.jump)) {
        return false;
    }
    jpeg_create_compress(&e.info);
    jpeg_mem_dest(&e.info, &e.buffer, &e.size);
    e.info.image_width = static_cast<JDIMENSION>(width);
    e.info.image_height = static_cast<JDIMENSION>(height);
    e.info.input_components = 3;
    e.info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.info);
    jpeg_set_quality(&e.info, quality, TRUE);
    jpeg_start_compress(&e.info, TRUE);
    while (e.info.next_scanline < e.info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + static_cast<size_t>(e.info.next_scanline) * width * 3);
        jpeg_write_scanlines(&e.info, &row, 1);
    }
    jpeg_finish_compress(&e.info);
    return true;
}

}  // namespace

std::vector<uint8_t> rgbaFromPremultipliedArgb(const uint8_t* data, int32_t width, int32_t height, int32_t stride)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(width > 0 && height > 0 ? width * height * 4 : 0));
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint32_t word;
            std::memcpy(&word, data + static_cast<size_t>(y) * stride + static_cast<size_t>(x) * 4, 4);
            uint8_t* p = &rgba[static_cast<size_t>(y * width + x) * 4];
            uint32_t a = word >> 24;
            p[3] = static_cast<uint8_t>(a);
            if (a == 0) {
                continue;  // fully transparent: no colour to recover
            }
            for (int32_t k = 0; k < 3; ++k) {
                uint32_t c = (word >> (16 - 8 * k)) & 0xFF;
                uint32_t straight = (c * 255 + a / 2) / a;
                p[k] = static_cast<uint8_t>(straight > 255 ? 255 : straight);
            }
        }
    }
    return rgba;
}

int32_t alphaCode(uint8_t alpha) { return (alpha * 7 + 127) / 255; }

int32_t fiveBits(uint8_t component)
{
    int32_t v = (component + 4) >> 3;
    return v > 31 ? 31 : v;
}

std::vector<uint8_t> encodeRun(const uint8_t* rgba, int32_t width, int32_t height)
{
    std::vector<uint8_t> out;
    uint32_t cache[kCacheSize] = {};
    int32_t next = 0;
    const int32_t count = width > 0 && height > 0 ? width * height : 0;
    bool codeSent = false;
    int32_t i = 0;
    while (i < count) {
        const uint8_t* p = rgba + static_cast<size_t>(i) * 4;
        int32_t code = alphaCode(p[3]);
        if (code == 0) {
            int32_t run = 1;
            while (i + run < count && alphaCode(rgba[static_cast<size_t>(i + run) * 4 + 3]) == 0) {
                ++run;
            }
            if (i + run == count) {
                break;  // skipped pixels stay transparent anyway
            }
            emitSkip(out, run, alphaCode(rgba[static_cast<size_t>(i + run) * 4 + 3]), codeSent);
            i += run;
            continue;
        }
        if (code < 7 && !codeSent) {
            out.push_back(static_cast<uint8_t>(127 + code));
        }
        codeSent = false;
        uint32_t r = static_cast<uint32_t>(fiveBits(p[0]));
        uint32_t g = static_cast<uint32_t>(fiveBits(p[1]));
        uint32_t b = static_cast<uint32_t>(fiveBits(p[2]));
        uint32_t colour = r << 19 | g << 11 | b << 3;
        int32_t found = -1;
        for (int32_t k = 0; k < kCacheSize; ++k) {
            if (cache[k] == colour) {
                found = k;
                break;
            }
        }
        if (found >= 0) {
            out.push_back(static_cast<uint8_t>(150 + found));
        } else {
            uint32_t v = r << 10 | g << 5 | b;
            out.push_back(static_cast<uint8_t>(v >> 8));
            out.push_back(static_cast<uint8_t>(v));
            cache[next] = colour;
            next = next + 1 == kCacheSize ? 0 : next + 1;
        }
        ++i;
    }
    return out;
}

std::vector<uint8_t> encodeMask(const uint8_t* rgba, int32_t width, int32_t height)
{
    std::vector<uint8_t> out;
    const int32_t count = width > 0 && height > 0 ? width * height : 0;
    bool opaque = true;
    for (int32_t i = 0; i < count && opaque; ++i) {
        opaque = alphaCode(rgba[static_cast<size_t>(i) * 4 + 3]) == 7;
    }
    if (opaque) {
        return out;
    }
    int32_t i = 0;
    while (i < count) {
        int32_t code = alphaCode(rgba[static_cast<size_t>(i) * 4 + 3]);
        int32_t run = 1;
        while (run < 32 && i + run < count && alphaCode(rgba[static_cast<size_t>(i + run) * 4 + 3]) == code) {
            ++run;
        }
        out.push_back(static_cast<uint8_t>((run & 31) << 3 | code));
        i += run;
    }
    return out;
}

bool encodeJpeg(const uint8_t* pixels, int32_t channels, int32_t width, int32_t height, int32_t quality,
    std::vector<uint8_t>& jpeg, std::string& error)
{
    if (!pixels || (channels != 3 && channels != 4) || width <= 0 || height <= 0 || width > 32767 || height > 32767
        || quality < 1 || quality > 100) {
        error = "bad JPEG picture parameters";
        return false;
    }
    std::vector<uint8_t> rgb = bleedColours(pixels, channels, width, height);
    Encode e;
    std::memset(&e, 0, sizeof e);
    e.info.err = jpeg_std_error(&e.error.base);
    e.error.base.error_exit = errorExit;
    e.error.base.output_message = outputMessage;
    bool ok = compress(e, rgb.data(), width, height, quality);
    if (ok) {
        jpeg.assign(e.buffer, e.buffer + e.size);
    } else {
        error = std::string("JPEG encoder: ") + e.error.message;
    }
    jpeg_destroy_compress(&e.info);
    std::free(e.buffer);
    return ok;
}

}  // namespace tarnby::bundle
