// Font file writer shared by the font generator and the reader's tests.
#include "font-gen/font_writer.h"

#include <cstddef>

#include "writer-support/packed_number.h"

namespace tarnby::fontgen {

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
