// Font file writer shared by the font generator and the reader's tests.
#include "font-gen/font_writer.h"

#include <algorithm>
#include <cstddef>

#include "writer-support/packed_number.h"

namespace tarnby::fontgen {

namespace {

// Coverage 0..255 to the font's 16 levels, rounding to the nearest.
uint8_t quantise(uint8_t coverage) { return static_cast<uint8_t>((coverage * 15 + 127) / 255); }

}  // namespace

FontData layOutFont(const std::vector<RenderedGlyph>& glyphs, int32_t first, int32_t leading)
{
    int32_t ascent = 0;
    int32_t descent = 0;
    for (const RenderedGlyph& g : glyphs) {
        if (g.rows > 0) {
            ascent = std::max(ascent, g.top);
            descent = std::max(descent, g.rows - g.top);
        }
    }
    FontData font;
    font.first = first;
    font.baseline = ascent;
    font.lineHeight = ascent + descent + leading;
    font.spaceWidth = ' ' >= first && ' ' - first < static_cast<int32_t>(glyphs.size()) ? glyphs[' ' - first].advance
                                                                                        : 0;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const RenderedGlyph& g = glyphs[i];
        FontGlyph stored;
        if (first + static_cast<int32_t>(i) != ' ') {
            // The cell is the advance wide; ink that starts left of the pen
            // moves into the cell, ink past the advance widens it.
            int32_t shift = std::max(0, g.left);
            int32_t width = std::max(g.advance, shift + g.width);
            GlyphImage image;
            image.width = width;
            image.height = ascent + descent;
            image.levels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
            for (int32_t y = 0; y < g.rows; ++y) {
                int32_t cy = ascent - g.top + y;
                for (int32_t x = 0; x < g.width; ++x) {
                    if (cy >= 0 && cy < image.height) {
                        image.levels[static_cast<size_t>(cy) * width + shift + x] = quantise(
                            g.coverage[static_cast<size_t>(y) * g.width + x]);
                    }
                }
            }
            stored.width = width;
            stored.runs = encodeGlyph(image);
            if (stored.runs.empty() && width > 0) {
                stored.runs.push_back(0x10);  // keep the advance of an inkless glyph
            }
        }
        font.glyphs.push_back(stored);
    }
    return font;
}

std::vector<uint8_t> encodeGlyph(const GlyphImage& image)
{
    std::vector<uint8_t> runs;
    size_t count = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
    if (image.width <= 0 || image.height <= 0 || image.levels.size() < count) {
        return runs;
    }
    // Everything after the last covered pixel is implied.
    size_t end = count;
    while (end > 0 && image.levels[end - 1] == 0) {
        --end;
    }
    size_t i = 0;
    while (i < end) {
        uint8_t level = image.levels[i] & 15;
        size_t run = 1;
        while (run < 16 && i + run < end && (image.levels[i + run] & 15) == level) {
            ++run;
        }
        runs.push_back(static_cast<uint8_t>(((run & 15) << 4) | level));
        i += run;
    }
    return runs;
}

std::vector<uint8_t> writeFont(const FontData& font)
{
    std::vector<uint8_t> out;
    appendPackedNumber(out, static_cast<uint32_t>(font.spaceWidth));
    appendPackedNumber(out, static_cast<uint32_t>(font.lineHeight));
    appendPackedNumber(out, static_cast<uint32_t>(font.baseline));
    appendPackedNumber(out, static_cast<uint32_t>(font.first));
    appendPackedNumber(out, static_cast<uint32_t>(font.first + static_cast<int32_t>(font.glyphs.size()) - 1));
    uint32_t total = 0;
    for (const FontGlyph& glyph : font.glyphs) {
        appendPackedNumber(out, static_cast<uint32_t>(glyph.runs.size()));
        if (!glyph.runs.empty()) {
            appendPackedNumber(out, static_cast<uint32_t>(glyph.width));
        }
        total += static_cast<uint32_t>(glyph.runs.size());
    }
    appendPackedNumber(out, total);
    for (const FontGlyph& glyph : font.glyphs) {
        out.insert(out.end(), glyph.runs.begin(), glyph.runs.end());
    }
    return out;
}

}  // namespace tarnby::fontgen
