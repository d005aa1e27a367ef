// golf-inspect font: lists a font file's metrics and glyphs, and renders a
// text with it to a PNG for a person to look at.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "golf-inspect/command.h"
#include "platform/headless/png_writer.h"
#include "runtime/files.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"

namespace tarnby::inspect {

namespace {

// The two-character sequences \n and \t of a shell argument as a line break and a tab.
std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'n' || text[i + 1] == 't')) {
            out.push_back(text[i + 1] == 'n' ? '\n' : '\t');
            ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// The largest picture --render draws (16 M pixels, 64 MB): a font's metrics
// come from the file and may be absurd.
constexpr int64_t kMaxRenderPixels = 16 << 20;

int renderText(const Ref<Vfont>& font, const std::string& text, const std::string& out)
{
    Ref<Vtext> sprite = make<Vtext>();
    sprite->setTextColour(0xFFFFFFFF);
    sprite->setFont(font, String::fromChars(unescape(text).c_str()));
    sprite->layout(0, 0, kOne);
    const int32_t width = sprite->getWidth();
    const int32_t height = sprite->getHeight();
    if (width <= 0 || height <= 0) {
        return fail(
            "the text measures " + std::to_string(width) + " x " + std::to_string(height) + ": nothing to render");
    }
    if (static_cast<int64_t>(width) * height > kMaxRenderPixels) {
        return fail("the text measures " + std::to_string(width) + " x " + std::to_string(height)
                    + " in this font: more than the " + std::to_string(kMaxRenderPixels) + " pixels --render draws");
    }
    std::vector<uint32_t> frame(static_cast<size_t>(width) * static_cast<size_t>(height), 0xFF000000);
    sprite->render(frame.data(), width, height, 0, 0, width, height);
    if (!writeFramePng(out, frame.data(), width, height, width)) {
        return fail("cannot write " + out);
    }
    return 0;
}

struct FontOptions {
    std::string path;
    std::vector<std::string> render;  // TEXT OUT.png
};

int runFont(const FontOptions& o)
{
    const std::string& path = o.path;
    if (!InputStream::openPath(path)) {
        return fail("cannot read font file " + path);
    }
    Ref<Vfont> font = make<Vfont>();
    if (!font->loadPath(path)) {
        return 1;  // the reader has said what is wrong with the file
    }
    int32_t glyphs = 0;
    for (int32_t c = font->first(); c <= font->last(); ++c) {
        glyphs += font->glyphBytes(c) != 0 ? 1 : 0;
    }
    std::printf("space %d line %d first %d last %d glyphs %d\n", font->spaceWidth(), font->getLineHeight(),
        font->first(), font->last(), glyphs);
    for (int32_t c = font->first(); c <= font->last(); ++c) {
        if (font->glyphBytes(c) != 0) {
            std::printf("char %d width %d bytes %d\n", c, font->charWidth(c), font->glyphBytes(c));
        }
    }
    return o.render.empty() ? 0 : renderText(font, o.render[0], o.render[1]);
}

Command setUpFont(CLI::App& tool)
{
    auto o = std::make_shared<FontOptions>();
    CLI::App* app = cli::addCommand(tool, "font",
        "Lists a font file's space width, line height and glyphs, and draws a text in it.",
        "golf-inspect font build/bin/f13.bin --render 'Par 4\\tHole 12' text.png");
    app->add_option("FILE", o->path, "The font file")->required()->type_name("");
    app->add_option("--render", o->render, "Draw TEXT (\\n and \\t: a line break and a tab) into a PNG")
        ->expected(2)
        ->option_text("TEXT OUT.png");
    return Command { app, [o] { return runFont(*o); } };
}

const RegisterCommand kFontCommand(setUpFont);

}  // namespace

}  // namespace tarnby::inspect
