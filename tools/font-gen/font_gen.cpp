// font-gen: rasterises the game's typeface into its three font files
// ("f10.bin", "f13.bin", "f16.bin": small, medium and large screens).
//
//   font-gen OUT_DIR [TYPEFACE.ttf]
//
// The output depends only on the typeface files and the rasteriser, so repeated
// builds give identical bytes.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/cli/tarnby_cli.h"
#include "font-gen/font_writer.h"
#include "runtime/files.h"

namespace {

using tarnby::fontgen::FontData;
using tarnby::fontgen::FontGlyph;
using tarnby::fontgen::GlyphImage;

constexpr int kFirst = 32;
constexpr int kLast = 126;

// How one font file is made.
struct FontRecipe {
    const char* fileName;
    int pixelSize;      // em size in pixels
    int leading;        // extra rows between lines
};

// The bold face serves every size: text is drawn over terrain and panels, and
// a regular face's one-pixel stems turn thin and grey at 10 pixels.
constexpr FontRecipe kRecipes[] = {
    {"f10.bin", 10, 0},
    {"f13.bin", 13, 1},
    {"f16.bin", 16, 1},
};

struct Rendered {
    int advance = 0;
    int left = 0;  // columns from the pen to the bitmap
    int top = 0;   // rows from the baseline up to the bitmap's top
    int width = 0;
    int rows = 0;
    std::vector<uint8_t> coverage;  // 0..255
};

bool renderGlyph(FT_Face face, int code, Rendered& out)
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

// Coverage 0..255 to the font's 16 levels, rounding to the nearest.
uint8_t quantise(uint8_t coverage) { return static_cast<uint8_t>((coverage * 15 + 127) / 255); }

bool makeFont(FT_Library library, const std::string& typeface, const FontRecipe& recipe, FontData& font)
{
    FT_Face face = nullptr;
    if (FT_New_Face(library, typeface.c_str(), 0, &face) != 0) {
        std::printf("font-gen: cannot open typeface %s\n", typeface.c_str());
        return false;
    }
    bool ok = FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(recipe.pixelSize)) == 0;
    std::vector<Rendered> glyphs(kLast - kFirst + 1);
    int ascent = 0;
    int descent = 0;
    for (int code = kFirst; ok && code <= kLast; ++code) {
        Rendered& g = glyphs[static_cast<size_t>(code - kFirst)];
        if (!renderGlyph(face, code, g)) {
            std::printf("font-gen: %s has no glyph for character %d\n", typeface.c_str(), code);
            ok = false;
            break;
        }
        if (g.rows > 0) {
            ascent = std::max(ascent, g.top);
            descent = std::max(descent, g.rows - g.top);
        }
    }
    FT_Done_Face(face);
    if (!ok) {
        return false;
    }
    font.first = kFirst;
    font.baseline = ascent;
    font.lineHeight = ascent + descent + recipe.leading;
    font.spaceWidth = glyphs[0].advance;
    font.glyphs.clear();
    for (int code = kFirst; code <= kLast; ++code) {
        const Rendered& g = glyphs[static_cast<size_t>(code - kFirst)];
        FontGlyph stored;
        if (code != ' ') {
            // The cell is the advance wide; ink that starts left of the pen
            // moves into the cell, ink past the advance widens it.
            int shift = std::max(0, g.left);
            int width = std::max(g.advance, shift + g.width);
            GlyphImage image;
            image.width = width;
            image.height = ascent + descent;
            image.levels.assign(static_cast<size_t>(image.width) * static_cast<size_t>(image.height), 0);
            for (int y = 0; y < g.rows; ++y) {
                int cy = ascent - g.top + y;
                for (int x = 0; x < g.width; ++x) {
                    if (cy >= 0 && cy < image.height) {
                        image.levels[static_cast<size_t>(cy) * width + shift + x] =
                            quantise(g.coverage[static_cast<size_t>(y) * g.width + x]);
                    }
                }
            }
            stored.width = width;
            stored.runs = tarnby::fontgen::encodeGlyph(image);
            if (stored.runs.empty() && width > 0) {
                stored.runs.push_back(0x10);  // keep the advance of an inkless glyph
            }
        }
        font.glyphs.push_back(stored);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    auto app = tarnby::cli::makeApp(
        "font-gen",
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
