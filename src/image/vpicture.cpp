// Picture decoding: 'r' run-length code (into pixels or straight into a frame),
// 'j' JPEG bodies behind the bundle's shared header, and the alpha mask.
#include "image/vpicture.h"

#include <cstring>
#include <string>

#include "image/jpeg_decoder.h"

namespace tarnby {

namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

// 5:5:5 colour code to 0xRRGGBB.
inline uint32_t colourOf(uint32_t v) { return ((v >> 10) & 31) << 19 | ((v >> 5) & 31) << 11 | (v & 31) << 3; }

// Frame word blended with a colour for the direct decode; the result has a
// depth byte of 0 (the masks drop the frame's depth bits).
inline uint32_t blendInto(uint32_t f, uint32_t c, int32_t level)
{
    if (level <= 2) {
        return ((f >> 1) & 0x7F7F7F) + ((f >> 2) & 0x3F3F3F) + ((c >> 2) & 0x3F3F3F);
    }
    if (level <= 4) {
        return ((f >> 1) & 0x7F7F7F) + ((c >> 1) & 0x7F7F7F);
    }
    return ((f >> 2) & 0x3F3F3F) + ((c >> 1) & 0x7F7F7F) + ((c >> 2) & 0x3F3F3F);
}

}  // namespace

Vpicture::~Vpicture()
{
    // Only the last holder gives the bytes back, so nothing is counted twice.
    if (m_pixels.shareCount() == 1) {
        deleteInt(m_pixels);
    }
    if (m_data.shareCount() == 1) {
        deleteByte(m_data);
    }
}

int32_t Vpicture::pixelCount() const
{
    if (m_width <= 0 || m_height <= 0) {
        return 0;
    }
    return static_cast<int32_t>(m_width) * m_height;
}

void Vpicture::decode(const ByteArray& jpegBuffer, const char* label)
{
    int32_t count = pixelCount();
    if (count == 0) {
        return;
    }
    IntArray pixels = allocInt(count);
    m_damaged = false;
    if (m_type == kTypeRun) {
        decodeRun(pixels);
    } else if (m_type == kTypeJpeg) {
        m_damaged = !decodeJpegPicture(jpegBuffer, pixels, label);
    }
    m_pixels = pixels;
}

int32_t Vpicture::dropPixels()
{
    int32_t bytes = 4 * m_pixels.length();
    deleteInt(m_pixels);
    return bytes;
}

void Vpicture::decodeRun(const IntArray& pixels) const
{
    uint32_t cache[kColourCacheSize] = {};
    int32_t next = 0;
    uint32_t alpha = kOpaque;
    const uint8_t* in = m_data.data();
    const int32_t length = m_data.length();
    const int32_t count = pixels.length() < pixelCount() ? pixels.length() : pixelCount();
    uint32_t* out = reinterpret_cast<uint32_t*>(pixels.data());
    int32_t o = 0;
    int32_t i = 0;
    while (i < length && o < count) {
        uint32_t b = in[i++];
        if (b < 128) {
            if (i >= length) {
                break;
            }
            uint32_t colour = colourOf(b << 8 | in[i++]);
            // Alpha code 0 (possible only through the long skip's field) is a
            // transparent pixel: store a plain skip word, never a colour that
            // would read as a skip count.
            out[o++] = alpha ? colour | alpha : 0;
            cache[next] = colour;
            next = next + 1 == kColourCacheSize ? 0 : next + 1;
            alpha = kOpaque;
        } else if (b <= 133) {
            alpha = ((b + 1) & 7) << 29;
        } else if (b == 134) {
            if (i >= length) {
                break;
            }
            uint32_t n = in[i++];
            o += static_cast<int32_t>(n >> 3) + 16;
            if ((n & 7) != 7) {
                alpha = (n & 7) << 29;
            }
        } else if (b <= 149) {
            o += static_cast<int32_t>(b) - 134;
        } else {
            uint32_t colour = cache[b - 150];
            out[o++] = alpha ? colour | alpha : 0;
            alpha = kOpaque;
        }
    }
}

void Vpicture::decodeRunInto(uint32_t* frame, int32_t stride, int32_t offset) const
{
    const int32_t width = m_width;
    const int32_t count = pixelCount();
    if (count == 0 || !frame) {
        return;
    }
    uint32_t cache[kColourCacheSize] = {};
    int32_t next = 0;
    int32_t level = 7;
    const uint8_t* in = m_data.data();
    const int32_t length = m_data.length();
    const int32_t wrap = stride - width;
    int32_t p = offset;
    int32_t rowLeft = width;
    int32_t o = 0;  // pixels of the picture passed so far: the decode stops at the last one
    int32_t i = 0;
    while (i < length && o < count) {
        uint32_t b = in[i++];
        uint32_t colour;
        if (b < 128) {
            if (i >= length) {
                break;
            }
            colour = colourOf(b << 8 | in[i++]);
            cache[next] = colour;
            next = next + 1 == kColourCacheSize ? 0 : next + 1;
        } else if (b >= 150) {
            colour = cache[b - 150];
        } else {
            int32_t skip;
            if (b <= 133) {
                level = static_cast<int32_t>(b) - 127;
                continue;
            }
            if (b == 134) {
                if (i >= length) {
                    break;
                }
                uint32_t n = in[i++];
                skip = static_cast<int32_t>(n >> 3) + 16;
                // The field is an alpha code 0..6 for the next pixel, the same
                // levels as 128..133 use; 0 leaves that pixel untouched.
                if ((n & 7) != 7) {
                    level = static_cast<int32_t>(n & 7);
                }
            } else {
                skip = static_cast<int32_t>(b) - 134;
            }
            o += skip;
            p += skip;
            rowLeft -= skip;
            while (rowLeft < 1) {
                rowLeft += width;
                p += wrap;
            }
            continue;
        }
        if (level == 7) {
            frame[p] = colour;
        } else if (level > 0) {
            frame[p] = blendInto(frame[p], colour, level);
        }
        level = 7;
        ++o;
        ++p;
        if (--rowLeft == 0) {
            rowLeft = width;
            p += wrap;
        }
    }
}

bool Vpicture::decodeJpegPicture(const ByteArray& jpegBuffer, const IntArray& pixels, const char* label) const
{
    const int32_t count = pixelCount();
    // 64 bits: the body's length comes from the file.
    const int64_t total = static_cast<int64_t>(kJpegHeaderLength) + m_jpegLength;
    if (count == 0 || pixels.length() < count) {
        return false;
    }
    if (m_jpegLength <= 0 || m_jpegLength > m_data.length() || jpegBuffer.length() < total) {
        if (label) {
            V::log((std::string(label) + ": damaged JPEG: body does not fit the bundle's buffer").c_str());
        }
        return false;
    }
    uint8_t* buffer = jpegBuffer.data();
    std::memcpy(buffer + kJpegHeaderLength, m_data.data(), static_cast<size_t>(m_jpegLength));
    buffer[kJpegHeightOffset] = static_cast<uint8_t>(static_cast<uint16_t>(m_height) >> 8);
    buffer[kJpegHeightOffset + 1] = static_cast<uint8_t>(m_height);
    buffer[kJpegWidthOffset] = static_cast<uint8_t>(static_cast<uint16_t>(m_width) >> 8);
    buffer[kJpegWidthOffset + 1] = static_cast<uint8_t>(m_width);
    char message[kJpegMessageLength];
    if (!decodeJpeg(buffer, static_cast<int32_t>(total), pixels.data(), m_width, m_height, message)) {
        if (label) {
            V::log((std::string(label) + ": damaged JPEG: " + message).c_str());
        }
        std::memset(pixels.data(), 0, sizeof(int32_t) * static_cast<size_t>(count));
        return false;
    }
    applyMask(pixels);
    return true;
}

void Vpicture::applyMask(const IntArray& pixels) const
{
    const int32_t count = pixels.length() < pixelCount() ? pixels.length() : pixelCount();
    int32_t left = count;
    uint32_t* out = reinterpret_cast<uint32_t*>(pixels.data());
    const uint8_t* mask = m_data.data();
    // The runs stop at the end of the data and at the last pixel, whatever the
    // mask claims.
    for (int32_t i = m_jpegLength < 0 ? 0 : m_jpegLength; i < m_data.length() && left > 0; ++i) {
        uint32_t b = mask[i];
        int32_t run = static_cast<int32_t>(b >> 3);
        if (run == 0) {
            run = 32;
        }
        if (run > left) {
            run = left;
        }
        left -= run;
        uint32_t code = b & 7;
        if (code == 0) {
            for (int32_t k = run - 1; k >= 0; --k) {
                *out++ = static_cast<uint32_t>(k);
            }
        } else {
            for (int32_t k = 0; k < run; ++k, ++out) {
                *out = (*out & 0xFFFFFF) | code << 29;
            }
        }
    }
}

}  // namespace tarnby
