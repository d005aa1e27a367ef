// Block fonts written by the font writer and a fixture whose scratch folder
// holds them, with one as the default font: shared by the font, text and menu
// tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font-gen/font_writer.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby::test {

using Ints = std::vector<int32_t>;

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

class FontFixture : public ::testing::Test {
protected:
    // Characters 5 wide and 7 rows of ink, a space of 4 (tab stops every 32
    // pixels), lines of 10: the default font of every text made here.
    FontFixture() { Vtext::setDefaultFont(m_font); }
    ~FontFixture() override { Vtext::setDefaultFont(nullptr); }

    ScratchFolder m_folder { "text" };
    Ref<Vfont> m_font = loadFont(m_folder, "five.bin", blockFontData(4, 10, 32, 126, 5, 7));
};

}  // namespace tarnby::test
