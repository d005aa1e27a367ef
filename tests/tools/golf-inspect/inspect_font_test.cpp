// golf-inspect font: the listing of a font file and a text drawn in it.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

test::ProgramRun inspectFont(const std::string& arguments)
{
    return test::runProgram("golf-inspect", "font " + arguments);
}

TEST(InspectFontTest, ListsGlyphsAndDrawsTabsAndBreaks)
{
    test::ScratchFolder folder("inspect_font");
    // Space 4 (tab stops every 32), lines of 10, baseline 7; 'a'..'c' one run
    // of 5 full-coverage pixels each, 5 wide; 3 data bytes.
    const std::string font = folder.file("five.bin");
    ASSERT_TRUE(test::writeBytes(font, { 4, 10, 7, 'a', 'c', 1, 5, 1, 5, 1, 5, 3, 0x5F, 0x5F, 0x5F }));
    test::ProgramRun listed = inspectFont(font);
    EXPECT_EQ(listed.status, 0) << listed.output;
    EXPECT_EQ(listed.output, "space 4 line 10 first 97 last 99 glyphs 3\n"
                             "char 97 width 5 bytes 1\nchar 98 width 5 bytes 1\nchar 99 width 5 bytes 1\n");

    // \t and \n in the argument are a tab and a line break: one margin pixel,
    // two letters, the tab to 32 and one more letter; or two lines.
    const std::string png = folder.file("text.png");
    for (auto [text, width, height] : { std::make_tuple("ab\\tc", 37, 10), std::make_tuple("ab\\nc", 11, 20) }) {
        ASSERT_EQ(inspectFont(font + " --render '" + text + "' " + png).status, 0) << text;
        std::vector<uint8_t> rgba;
        int32_t w = 0, h = 0;
        ASSERT_TRUE(readRgbaPng(png, rgba, w, h)) << text;
        EXPECT_EQ(w, width) << text;
        EXPECT_EQ(h, height) << text;
    }
}

}  // namespace
}  // namespace tarnby
