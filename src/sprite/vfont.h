// An anti-aliased bitmap font: loads a font file, measures text and draws one
// character at a time with 16 levels of coverage and a one-pixel drop shadow.
//
// Font file ("f10.bin", "f13.bin", "f16.bin"). Every number is an unsigned
// variable-length integer: big-endian groups of 7 bits, each byte but the last
// with its top bit (0x80) set.
//
// | Order | Item            | Meaning                                                          |
// |-------|-----------------|------------------------------------------------------------------|
// | 1     | space width     | Advance of the space, pixels. A tab stop every 8 spaces.         |
// | 2     | line height     | Pixels from one line of text to the next.                        |
// | 3     | baseline        | Kept with the font; measuring and drawing do not use it.         |
// | 4     | first           | Code of the first character.                                     |
// | 5     | last            | Code of the last character (last - first + 1 characters).        |
// | 6     | character table | Per character: data length in bytes, then, when not 0, its width |
// | 7     | data size       | Number of glyph bytes that follow (at least the table's total).  |
// | 8     | glyph data      | The glyphs' runs, concatenated in character order.               |
//
// Glyph runs: a glyph is a cell of its width drawn row by row from the top-left
// corner. Each byte is one run: high nibble the length in pixels (0 means 16),
// low nibble the coverage 0..15 of every pixel in it. Runs carry on across row
// ends; trailing empty rows need no bytes.
//
// Budget: a file of at most kMaxFileBytes (4 MB) is read whole, once; a larger
// one is refused. At most kMaxChars characters, kMaxGlyphBytes of glyph data
// and widths, space and line height up to kMaxMetric, so a font holds at most
// about 1.4 MB and loads in time linear in its file. Drawing a character
// costs at most its own runs; measuring, one step a character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "fixed/fixed.h"
#include "runtime/array.h"
#include "runtime/string.h"
#include "runtime/v.h"

namespace tarnby {

class Vfont : public V {
public:
    // Limits a sound font stays far below; a file beyond them is corrupt.
    static constexpr int32_t kMaxChars = 0x10000;
    static constexpr int32_t kMaxMetric = 4096;         // widths, space, line height
    static constexpr int32_t kMaxGlyphBytes = 1 << 20;  // glyph data of one font
    static constexpr int32_t kMaxFileBytes = 4 << 20;   // the whole file

    Vfont() = default;

    // Advance of character c in pixels: the space width for a space, 0 for
    // characters the font does not hold.
    int32_t charWidth(int32_t c) const;

    // Draws character c with its top-left corner at (x, y) (Fixed pixels) into
    // a frame of 0xDDRRGGBB words, inside [clipL, clipR) x [clipT, clipB).
    // colour is 0xAARRGGBB; below full opacity the coverage is scaled down
    // and no shadow is cast.
    void drawChar(int32_t c, uint32_t* pixels, int32_t stride, int32_t height, int32_t clipL, int32_t clipT,
        int32_t clipR, int32_t clipB, Fixed x, Fixed y, uint32_t colour, Fixed opacity) const;

    int32_t getLineHeight() const { return m_lineHeight; }

    // Reads a font file from the data folder. False when it cannot be opened
    // (the font is unchanged) or is corrupt or too large (the font is left
    // empty); either way one line names the file.
    bool load(const Ref<String>& name);
    bool load(const char* name);
    // The same for a file by its own path (tools).
    bool loadPath(const std::string& path);
    // The same for a font file's bytes in memory; `name` names it in messages.
    bool loadBytes(const uint8_t* bytes, size_t size, const char* name);

    // Width of a text laid out on one line, tabs included. Characters are
    // taken as signed 8-bit codes.
    int32_t stringWidth(const Ref<String>& text) const;
    int32_t stringWidth(const char* text) const;

    // Distance from x to the next tab stop (0 for a font without a space width).
    int32_t tabAdvance(int32_t x) const;

    // What the inspector and tests look at.
    int32_t spaceWidth() const { return m_spaceWidth; }
    int32_t baseline() const { return m_baseline; }
    int32_t first() const { return m_first; }
    int32_t last() const { return m_last; }
    // Number of glyph bytes of character c (0 outside the font).
    int32_t glyphBytes(int32_t c) const;
    bool empty() const { return m_last < m_first; }

private:
    bool loadFile(const std::string& path, const char* name);
    std::string readFont(const uint8_t* bytes, size_t size);
    void clear();

    ByteArray m_glyphData;
    int32_t m_lineHeight = 0;
    int32_t m_last = -1;
    int32_t m_first = 0;
    IntArray m_offsets;
    int32_t m_spaceWidth = 0;
    int32_t m_tabStep = 0;
    ShortArray m_widths;
    int32_t m_baseline = 0;
};

}  // namespace tarnby
