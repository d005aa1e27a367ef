// font-gen: rasterises the game's typeface into its three font files
// ("f10.bin", "f13.bin", "f16.bin": small, medium and large screens).
//
//   font-gen OUT_DIR [TYPEFACE.ttf]
//
// The output depends only on the typeface files and the rasteriser, so repeated
// builds give identical bytes.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "font-gen/font_writer.h"
#include "platform/cli/tarnby_cli.h"
#include "runtime/files.h"

namespace {

using tarnby::fontgen::FontData;
using tarnby::fontgen::RenderedGlyph;

constexpr int kFirst = 32;
constexpr int kLast = 126;

// How one font file is made.
struct FontRecipe {
    const char* fileName;
    int pixelSize;  // em size in pixels
    int leading;    // extra rows between lines
};

// The bold face serves every size: text is drawn over terrain and panels, and
// a regular face's one-pixel stems turn thin and grey at 10 pixels.
constexpr FontRecipe kRecipes[] = {
    { "f10.bin", 10, 0 },
    { "f13.bin", 13, 1 },
    { "f16.bin", 16, 1 },
};

bool renderGlyph(FT_Face face, int code, RenderedGlyph& out)
{
    FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(code));
    if (index == 0) {
        return false;
    }
    // The automatic hinter's full mode snaps stems to whole pixels both ways
    // and keeps letters apart at 10 pixels, where the typeface's own hints
    // let bold letters touch.
    if (FT_Load_Glyph(face, index, FT_LOAD_FORCE_AUTOHINT | FT_LOAD_TARGET_NORMAL) != 0) {
        return false;
    }
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        return false;
    }
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    out.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.width = static_cast<int>(bitmap.width);
    out.rows = static_cast<int>(bitmap.rows);
    out.coverage.assign(static_cast<size_t>(out.width) * static_cast<size_t>(out.rows), 0);
    for (int y = 0; y < out.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < out.width; ++x) {
            out.coverage[static_cast<size_t>(y) * out.width + x] = row[x];
        }
    }
    return true;
}

bool makeFont(FT_Library library, const std::string& typeface, const FontRecipe& recipe, FontData& font)
{
    FT_Face face = nullptr;
    if (FT_New_Face(library, typeface.c_str(), 0, &face) != 0) {
        std::printf("font-gen: cannot open typeface %s\n", typeface.c_str());
        return false;
    }
    bool ok = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(recipe.pixelSize)) == 0;
    std::vector<RenderedGlyph> glyphs(kLast - kFirst + 1);
    for (int code = kFirst; ok && code <= kLast; ++code) {
        if (!renderGlyph(face, code, glyphs[static_cast<size_t>(code - kFirst)])) {
            std::printf("font-gen: %s has no glyph for character %d\n", typeface.c_str(), code);
            ok = false;
        }
    }
    FT_Done_Face(face);
    if (ok) {
        font = tarnby::fontgen::layOutFont(glyphs, kFirst, recipe.leading);
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    auto app = tarnby::cli::makeApp("font-gen",
        "Rasterises a typeface into the game's three font files, f10.bin, f13.bin and f16.bin\n"
        "(small, medium and large screens). The same typeface always gives the same bytes.",
        "font-gen build/bin /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
    std::string outDir;
    std::string typeface = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
    app->add_option("OUT_DIR", outDir, "Where the font files go")->required()->type_name("");
    app->add_option("TYPEFACE.ttf", typeface, "The typeface")->type_name("")->capture_default_str();
    if (auto status = tarnby::cli::parse(*app, argc, argv)) {
        return *status;
    }
    if (!outDir.empty() && outDir.back() != '/') {
        outDir.push_back('/');
    }

    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        std::printf("font-gen: cannot start the rasteriser\n");
        return 1;
    }
    int status = 0;
    for (const FontRecipe& recipe : kRecipes) {
        FontData font;
        if (!makeFont(library, typeface, recipe, font)) {
            status = 1;
            break;
        }
        std::string path = outDir + recipe.fileName;
        const std::vector<uint8_t> bytes = tarnby::fontgen::writeFont(font);
        if (!tarnby::writeWholeFile(path, bytes.data(), bytes.size())) {
            std::printf("font-gen: cannot write %s\n", path.c_str());
            status = 1;
            break;
        }
    }
    FT_Done_FreeType(library);
    return status;
}
