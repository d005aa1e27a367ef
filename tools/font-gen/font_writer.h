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

// Run-length codes a glyph image: runs of equal coverage, at most 16 pixels
// each, carried across row ends; trailing transparent pixels are left out.
std::vector<uint8_t> encodeGlyph(const GlyphImage& image);

// The whole font file.
std::vector<uint8_t> writeFont(const FontData& font);

}  // namespace tarnby::fontgen
