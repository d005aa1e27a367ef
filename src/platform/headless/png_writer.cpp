// PNG output and input through libpng's simplified interface.
#include "platform/headless/png_writer.h"

#include <png.h>

#include <cstddef>
#include <cstring>

#include "runtime/files.h"

namespace tarnby {

namespace {

bool writeImage(const std::string& path, const uint8_t* bytes, int32_t width, int32_t height, uint32_t format)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = format;
    int ok = png_image_write_to_file(&image, path.c_str(), 0, bytes, 0, nullptr);
    png_image_free(&image);
    return ok != 0;
}

}  // namespace

bool writeFramePng(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride)
{
    if (width <= 0 || height <= 0) {
        return false;
    }
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    size_t o = 0;
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* row = pixels + static_cast<ptrdiff_t>(y) * stride;
        for (int32_t x = 0; x < width; ++x) {
            uint32_t p = row[x];
            rgb[o++] = static_cast<uint8_t>(p >> 16);
            rgb[o++] = static_cast<uint8_t>(p >> 8);
            rgb[o++] = static_cast<uint8_t>(p);
        }
    }
    return writeImage(path, rgb.data(), width, height, PNG_FORMAT_RGB);
}

bool writeRgbaPng(const std::string& path, const uint8_t* rgba, int32_t width, int32_t height)
{
    return writeImage(path, rgba, width, height, PNG_FORMAT_RGBA);
}

bool writeGreyPng(const std::string& path, const uint8_t* grey, int32_t width, int32_t height)
{
    return writeImage(path, grey, width, height, PNG_FORMAT_GRAY);
}

bool decodeRgbaPng(const uint8_t* bytes, size_t size, std::vector<uint8_t>& rgba, int32_t& width, int32_t& height,
    std::string* why)
{
    auto refuse = [why](const std::string& what) {
        if (why) {
            *why = what;
        }
        return false;
    };
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!bytes || size == 0) {
        return refuse("it is empty");
    }
    if (!png_image_begin_read_from_memory(&image, bytes, size)) {
        return refuse(std::string("it is not a PNG picture (") + image.message + ")");
    }
    image.format = PNG_FORMAT_RGBA;
    // Refuse absurd sizes before allocating: a course map is 512 x 512.
    if (image.width == 0 || image.height == 0 || image.width > kPngMaxSide || image.height > kPngMaxSide
        || static_cast<int64_t>(image.width) * image.height > kPngMaxPixels) {
        png_image_free(&image);
        return refuse("its size " + std::to_string(image.width) + "x" + std::to_string(image.height) + " is more than "
                      + std::to_string(kPngMaxSide) + " a side or " + std::to_string(kPngMaxPixels) + " pixels");
    }
    rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) {
        const std::string message = image.message;
        png_image_free(&image);
        rgba.clear();
        return refuse("its pixels are damaged (" + message + ")");
    }
    width = static_cast<int32_t>(image.width);
    height = static_cast<int32_t>(image.height);
    return true;
}

bool readRgbaPng(const std::string& path, std::vector<uint8_t>& rgba, int32_t& width, int32_t& height, std::string* why)
{
    ByteArray bytes;
    const FileRead read = readBoundedFile(path, kPngMaxFileBytes, bytes);
    if (read != FileRead::Read) {
        if (why) {
            *why = read == FileRead::Missing ? "it cannot be read"
                                             : "it is larger than " + std::to_string(kPngMaxFileBytes) + " bytes";
        }
        return false;
    }
    return decodeRgbaPng(bytes.data(), static_cast<size_t>(bytes.length()), rgba, width, height, why);
}

}  // namespace tarnby
