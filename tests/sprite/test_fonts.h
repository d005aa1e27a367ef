// Small fonts made on the spot for the font, text and menu tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "font-gen/font_writer.h"
#include "sprite/vfont.h"
#include "support/test_support.h"

namespace tarnby::test {

inline bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    return !file.fail();
}

// A font whose characters first..last (the space aside) are solid blocks
// `width` wide and `inkRows` high at full coverage.
inline fontgen::FontData blockFontData(int32_t space, int32_t lineHeight, int32_t first, int32_t last, int32_t width,
                                       int32_t inkRows)
{
    fontgen::FontData font { space, lineHeight, inkRows, first, {} };
    for (int32_t c = first; c <= last; ++c) {
        fontgen::FontGlyph glyph;
        if (c != ' ') {
            glyph.width = width;
            std::vector<uint8_t> levels(static_cast<size_t>(width * inkRows), 15);
            glyph.runs = fontgen::encodeGlyph({ width, inkRows, levels });
        }
        font.glyphs.push_back(glyph);
    }
    return font;
}

// Writes the font into the scratch folder and loads it by name.
inline Ref<Vfont> loadFont(const ScratchFolder& folder, const std::string& name, const fontgen::FontData& data)
{
    writeBytes(folder.file(name), fontgen::writeFont(data));
    Ref<Vfont> font = make<Vfont>();
    EXPECT_TRUE(font->load(name.c_str())) << "the test font " << name << " must load";
    return font;
}

}  // namespace tarnby::test
