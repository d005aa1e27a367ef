// Writes font files for the game: glyph coverage images become run-length
// glyph data, and glyphs with the font's metrics become the file the game's
// font reader loads (the layout is documented with the reader in sprite/vfont.h).
#pragma once

#include <cstdint>
#include <vector>

namespace tarnby::fontgen {

// One character's picture: `width` columns of coverage levels 0..15, row by row.
struct GlyphImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> levels;
};

// A character as stored: its advance width and its run bytes (none for a
// character without a picture, such as the space).
struct FontGlyph {
    int32_t width = 0;
    std::vector<uint8_t> runs;
};

struct FontData {
    int32_t spaceWidth = 0;
    int32_t lineHeight = 0;
    int32_t baseline = 0;
    int32_t first = 32;
    std::vector<FontGlyph> glyphs;  // from `first` on, one per character code
};

// A character as the rasteriser draws it: coverage 0..255 of a bitmap that
// starts `left` columns right of the pen and `top` rows above the baseline.
struct RenderedGlyph {
    int32_t advance = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t rows = 0;
    std::vector<uint8_t> coverage;
};

// The font of rendered characters `first` on: every cell is as high as the
// tallest ascent plus the deepest descent, so no ink is clipped, and the
// space (code 32) keeps only its advance; `leading` rows go between lines.
FontData layOutFont(const std::vector<RenderedGlyph>& glyphs, int32_t first, int32_t leading);

// Run-length codes a glyph image: runs of equal coverage, at most 16 pixels
// each, carried across row ends; trailing transparent pixels are left out.
std::vector<uint8_t> encodeGlyph(const GlyphImage& image);

// The whole font file.
std::vector<uint8_t> writeFont(const FontData& font);

}  // namespace tarnby::fontgen
