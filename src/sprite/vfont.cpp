// Bitmap fonts: the font file reader, text measuring and glyph drawing.
#include "sprite/vfont.h"

#include <cstddef>
#include <string>

#include "runtime/byte_reader.h"
#include "runtime/files.h"

namespace tarnby {

namespace {

// One frame word blended toward `colour` at coverage `level` (1..15).
inline uint32_t blendPixel(uint32_t p, uint32_t colour, int32_t level)
{
    if (level == 15) {
        return colour;  // its alpha byte becomes the depth byte
    }
    if (level == 7 || level == 8) {
        return ((p >> 1) & 0x7F7F7F) + ((colour >> 1) & 0x7F7F7F);
    }
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        int32_t dst = static_cast<int32_t>((p >> shift) & 0xFF);
        int32_t src = static_cast<int32_t>((colour >> shift) & 0xFF);
        result |= static_cast<uint32_t>(dst + (((src - dst) * level) >> 4)) << shift;
    }
    return result;  // depth byte 0
}

}  // namespace

void Vfont::clear()
{
    m_glyphData = ByteArray();
    m_offsets = IntArray();
    m_widths = ShortArray();
    m_lineHeight = 0;
    m_first = 0;
    m_last = -1;
    m_spaceWidth = 0;
    m_tabStep = 0;
    m_baseline = 0;
}

int32_t Vfont::charWidth(int32_t c) const
{
    if ((c & 0xFF) == 32) {
        return m_spaceWidth;
    }
    if (c < m_first || c > m_last) {
        return 0;
    }
    return m_widths[c - m_first];
}

int32_t Vfont::glyphBytes(int32_t c) const
{
    if (c < m_first || c > m_last) {
        return 0;
    }
    return m_offsets[c - m_first + 1] - m_offsets[c - m_first];
}

int32_t Vfont::tabAdvance(int32_t x) const
{
    // A font without a space width has no tab stops; a tab then stays put
    // instead of dividing by zero.
    if (m_tabStep <= 0) {
        return 0;
    }
    return m_tabStep - x % m_tabStep;
}

int32_t Vfont::stringWidth(const char* text) const
{
    int32_t width = 0;
    if (!text) {
        return 0;
    }
    for (const char* p = text; *p; ++p) {
        int32_t c = static_cast<int8_t>(*p);
        width = wrapAdd(width, c == '\t' ? tabAdvance(width) : charWidth(c));
    }
    return width;
}

int32_t Vfont::stringWidth(const Ref<String>& text) const { return text ? stringWidth(text->chars()) : 0; }

bool Vfont::load(const char* name)
{
    if (!name) {
        return false;
    }
    return loadFile(dataPath((std::string("/") + name).c_str()), name);
}

bool Vfont::load(const Ref<String>& name) { return name ? load(name->chars()) : false; }

bool Vfont::loadPath(const std::string& path) { return loadFile(path, path.c_str()); }

bool Vfont::loadFile(const std::string& path, const char* name)
{
    ByteArray bytes;
    const FileRead read = readBoundedFile(path, kMaxFileBytes, bytes);
    if (read == FileRead::Missing) {
        V::log((std::string("Font file ") + name + " cannot be opened: the font is unchanged").c_str());
        return false;
    }
    if (read == FileRead::TooLarge) {
        const std::string message = std::string("Font file ") + name + " is larger than "
                                    + std::to_string(kMaxFileBytes) + " bytes: the font is left empty";
        V::log(message.c_str());
        clear();
        return false;
    }
    return loadBytes(bytes.data(), static_cast<size_t>(bytes.length()), name);
}

bool Vfont::loadBytes(const uint8_t* bytes, size_t size, const char* name)
{
    const std::string fault = size > static_cast<size_t>(kMaxFileBytes)
                                  ? "is larger than " + std::to_string(kMaxFileBytes) + " bytes"
                                  : readFont(bytes, size);
    if (!fault.empty()) {
        V::log((std::string("Font file ") + (name ? name : "") + " " + fault + ": the font is left empty").c_str());
        clear();
        return false;
    }
    return true;
}

// Reads the whole font into fresh arrays and only then makes them the font's,
// so a file that turns out to be corrupt half-way leaves nothing half-loaded.
// Gives what is wrong with the file, or an empty string when it is sound.
std::string Vfont::readFont(const uint8_t* bytes, size_t size)
{
    ByteReader in(bytes, size);
    // A number that is missing or does not fit 31 bits, said as such.
    auto problem = [](int32_t value, const std::string& where) {
        return (value == ByteReader::kEnd ? "ends early, in " : "has a number beyond 31 bits, in ") + where;
    };
    static constexpr const char* kFields[] = { "space width", "line height", "baseline", "first character",
        "last character" };
    int32_t header[5];
    for (int32_t k = 0; k < 5; ++k) {
        header[k] = in.readPacked();
        if (header[k] < 0) {
            return problem(header[k], std::string("its ") + kFields[k]);
        }
    }
    const int32_t space = header[0], lineHeight = header[1], baseline = header[2], first = header[3];
    const int32_t last = header[4];
    if (space > kMaxMetric || lineHeight > kMaxMetric) {
        return "has a space width or line height above " + std::to_string(kMaxMetric);
    }
    const int64_t count64 = static_cast<int64_t>(last) - first + 1;
    if (count64 < 0 || count64 > kMaxChars) {
        return "has impossible character codes " + std::to_string(first) + " to " + std::to_string(last);
    }
    auto count = static_cast<int32_t>(count64);
    // Each character takes at least one byte of the table: a count beyond the
    // bytes left is refused before anything is allocated for it.
    if (count > in.remaining()) {
        return problem(ByteReader::kEnd, "its table of " + std::to_string(count) + " characters");
    }
    IntArray offsets = allocInt(count + 1);
    ShortArray widths = count > 0 ? allocShort(count) : ShortArray();
    int32_t total = 0;
    for (int32_t i = 0; i < count; ++i) {
        offsets[i] = total;
        const std::string glyph = "character " + std::to_string(first + i);
        const int32_t length = in.readPacked();
        if (length < 0) {
            return problem(length, "the glyph length of " + glyph);
        }
        if (length > kMaxGlyphBytes - total) {
            return "has more than " + std::to_string(kMaxGlyphBytes) + " bytes of glyphs at " + glyph;
        }
        total += length;
        if (length != 0) {
            const int32_t width = in.readPacked();
            if (width < 0) {
                return problem(width, "the width of " + glyph);
            }
            if (width > kMaxMetric) {
                return "has an impossible width " + std::to_string(width) + " for " + glyph;
            }
            widths[i] = static_cast<int16_t>(width);
        }
    }
    offsets[count] = total;
    const int32_t dataSize = in.readPacked();
    if (dataSize < 0) {
        return problem(dataSize, "its glyph data size");
    }
    // Glyphs index the data through the table's offsets, so the data must
    // hold at least the table's total.
    if (dataSize < total || dataSize > kMaxGlyphBytes) {
        return "has " + std::to_string(dataSize) + " bytes of glyph data where its character table needs "
               + std::to_string(total) + " (at most " + std::to_string(kMaxGlyphBytes) + ")";
    }
    if (dataSize > in.remaining()) {
        return "ends early: " + std::to_string(in.remaining()) + " of its " + std::to_string(dataSize)
               + " bytes of glyph data";
    }
    ByteArray data = dataSize > 0 ? in.readBytes(dataSize) : ByteArray();
    m_glyphData = data;
    m_offsets = offsets;
    m_widths = widths;
    m_spaceWidth = space;
    m_tabStep = 8 * space;
    m_lineHeight = lineHeight;
    m_baseline = baseline;
    m_first = first;
    m_last = last;
    return {};
}

void Vfont::drawChar(int32_t c, uint32_t* pixels, int32_t stride, int32_t height, int32_t clipL, int32_t clipT,
    int32_t clipR, int32_t clipB, Fixed x, Fixed y, uint32_t colour, Fixed opacity) const
{
    if (c < m_first || c > m_last || !pixels) {
        return;
    }
    int32_t index = c - m_first;
    int32_t start = m_offsets[index];
    int32_t end = m_offsets[index + 1];
    int32_t w = m_widths[index];
    // A glyph of no width has no columns to fill (and would never finish a row).
    if (start == end || w <= 0) {
        return;
    }
    // Never write outside the frame, whatever clip the caller hands in.
    clipL = clipL < 0 ? 0 : clipL;
    clipT = clipT < 0 ? 0 : clipT;
    clipR = clipR > stride ? stride : clipR;
    clipB = clipB > height ? height : clipB;
    if (clipL >= clipR || clipT >= clipB) {
        return;
    }
    const bool fullOpacity = opacity == kOne;
    const int32_t x0 = x >> 15;
    const int32_t xEnd = x0 + w;
    int32_t cx = x0;
    int32_t cy = y >> 15;
    const uint8_t* data = m_glyphData.data();
    for (int32_t i = start; i < end && cy < clipB; ++i) {
        int32_t run = data[i] >> 4;
        int32_t level = data[i] & 15;
        if (run == 0) {
            run = 16;
        }
        if (!fullOpacity) {
            level = static_cast<int32_t>((static_cast<int64_t>(level) * opacity) >> 15);
            level = level < 0 ? 0 : (level > 15 ? 15 : level);
        }
        if (level == 0) {
            // Transparent runs only move the pen: no per-pixel work.
            cx += run;
            while (cx >= xEnd) {
                cx -= w;
                ++cy;
            }
            continue;
        }
        for (; run > 0; --run) {
            if (cx >= clipL && cx < clipR && cy >= clipT && cy < clipB) {
                uint32_t* p = pixels + static_cast<ptrdiff_t>(cy) * stride + cx;
                *p = blendPixel(*p, colour, level);
                if (fullOpacity && cx < clipR - 1 && cy < clipB - 1) {
                    // The drop shadow: darken the pixel down and to the right;
                    // the glyph's own later pixels cover it where they land.
                    uint32_t* s = p + stride + 1;
                    uint32_t q = *s;
                    *s = level < 8 ? (q & 0xFFFFFF) - ((q >> 2) & 0x3F3F3F) : (q >> 1) & 0x7F7F7F;
                }
            }
            if (++cx == xEnd) {
                cx = x0;
                ++cy;
            }
        }
    }
}

}  // namespace tarnby
