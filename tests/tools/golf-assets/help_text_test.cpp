// The generated help text as the help screen shows it: wrapped to the panel in
// each of the game's fonts, every line inside the panel, a few pages at most.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/files.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines(1);
    for (char c : text) {
        if (c == '\n') {
            lines.emplace_back();
        } else {
            lines.back().push_back(c);
        }
    }
    return lines;
}

TEST(HelpTextTest, WrapsInsideThePanelInEveryFontAndPagesQuickly)
{
    ByteArray raw = readWholeFile(test::binFolder() + "help.txt");
    ASSERT_GT(raw.length(), 0) << "help.txt must be generated beside the game";
    for (uint8_t c : raw) {
        ASSERT_TRUE(c == '\n' || c == '\t' || (c >= 32 && c <= 126)) << "character " << int(c);
    }
    const std::string oldFolder = dataFolder();
    setDataFolder(test::binFolder());
    const Ref<Vfont> oldFont = Vtext::defaultFont();

    // The font the game picks for each screen, and the panel width on it.
    struct Screen {
        const char* font;
        int32_t width, height;
    } screens[] = { { "f10.bin", 176, 220 }, { "f13.bin", 240, 320 }, { "f16.bin", 480, 640 } };
    for (const Screen& screen : screens) {
        Ref<Vfont> font = make<Vfont>();
        ASSERT_TRUE(font->load(screen.font));
        Vtext::setDefaultFont(font);
        const int32_t panel = screen.width < 228 ? screen.width - 12 : 228;
        Ref<Vtext> text = make<Vtext>();
        text->setSize(panel, 0);
        text->loadText(String::fromChars("help.txt"));
        const std::string shown = text->toString()->chars();
        ASSERT_FALSE(shown.empty()) << screen.font;

        // Every line, tabs measured as drawn, fits the wrap width (the wrap lets a
        // line use the pixel of left margin too; the panel is 12 pixels wider).
        for (const std::string& line : linesOf(shown)) {
            EXPECT_LE(font->stringWidth(String::fromChars(line.c_str())), panel)
                << screen.font << ": \"" << line << "\" runs out of the panel";
        }
        const int32_t lineHeight = font->getLineHeight();
        const int32_t page = (screen.height / lineHeight - 1) * lineHeight;
        const int32_t pages = (text->getHeight() + page - 1) / page;
        EXPECT_LE(pages, 6) << screen.font << ": " << text->getHeight() << " pixels of text in pages of " << page;
    }
    Vtext::setDefaultFont(oldFont);
    setDataFolder(oldFolder);
}

}  // namespace
}  // namespace tarnby
