// golf-inspect bundle: lists the pictures of a bundle, writes one as a PNG, or
// draws a contact sheet of them all with their numbers.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "golf-inspect/command.h"
#include "image/vilib.h"
#include "platform/headless/png_writer.h"
#include "runtime/files.h"

namespace tarnby::inspect {

namespace {

// Digits 0..9 in a 3 x 5 font, one row of 3 bits per entry (bit 2 = left).
constexpr uint8_t kDigits[10][5] = {
    { 7, 5, 5, 5, 7 },
    { 2, 6, 2, 2, 7 },
    { 7, 1, 7, 4, 7 },
    { 7, 1, 7, 1, 7 },
    { 5, 5, 7, 1, 1 },
    { 7, 4, 7, 1, 7 },
    { 7, 4, 7, 5, 7 },
    { 7, 1, 1, 1, 1 },
    { 7, 5, 7, 5, 7 },
    { 7, 5, 7, 1, 7 },
};
constexpr int32_t kDigitScale = 2;
constexpr int32_t kDigitWidth = 4 * kDigitScale;  // 3 columns and a gap
constexpr int32_t kLabelHeight = 7 * kDigitScale;
constexpr int32_t kPad = 8;
constexpr int32_t kSheetWidth = 1024;
// The largest sheet drawn (64 MB of pixels): a bundle of many or huge pictures
// gets a sheet of the pictures that fit, and one line says so.
constexpr int64_t kMaxSheetPixels = 16 << 20;
constexpr uint32_t kSheetBackground = 0x303840;

bool parseIndex(const std::string& text, int32_t& index)
{
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    index = std::atoi(text.c_str());
    return true;
}

// A picture's pixels as RGBA bytes: colour from the low 24 bits, alpha =
// code * 255 / 7; transparent words (skip counts) become all zero.
std::vector<uint8_t> toRgba(const Vpicture& picture)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(picture.pixelCount()) * 4, 0);
    for (int32_t i = 0; i < picture.pixelCount(); ++i) {
        uint32_t word = static_cast<uint32_t>(picture.m_pixels[i]);
        uint32_t code = word >> 29;
        if (code == 0) {
            continue;
        }
        uint8_t* p = &rgba[static_cast<size_t>(i) * 4];
        p[0] = static_cast<uint8_t>(word >> 16);
        p[1] = static_cast<uint8_t>(word >> 8);
        p[2] = static_cast<uint8_t>(word);
        p[3] = static_cast<uint8_t>(code * 255 / 7);
    }
    return rgba;
}

void drawNumber(std::vector<uint32_t>& sheet, int32_t width, int32_t x, int32_t y, int32_t number)
{
    std::string digits = std::to_string(number);
    for (char ch : digits) {
        const uint8_t* glyph = kDigits[ch - '0'];
        for (int32_t row = 0; row < 5 * kDigitScale; ++row) {
            for (int32_t col = 0; col < 3 * kDigitScale; ++col) {
                if (glyph[row / kDigitScale] & (4 >> (col / kDigitScale))) {
                    sheet[static_cast<size_t>(y + row) * static_cast<size_t>(width) + static_cast<size_t>(x + col)] =
                        0xF0E060;
                }
            }
        }
        x += kDigitWidth;
    }
}

int32_t writeSheet(Vilib& lib, const std::string& prefix, const std::string& out)
{
    struct Cell {
        int32_t index, x, y, w, h;
    };
    std::vector<Cell> cells;
    int32_t shown = lib.count();
    int32_t sheetWidth = kSheetWidth;
    for (int32_t i = 0; i < lib.count(); ++i) {
        Ref<Vpicture> p = lib.getPictureRef(i);
        int32_t w = p ? std::max<int32_t>(p->m_width, 0) : 0;
        sheetWidth = std::max(sheetWidth, w + 2 * kPad);
    }
    int32_t x = kPad, y = kPad, rowHeight = 0;
    for (int32_t i = 0; i < lib.count(); ++i) {
        Ref<Vpicture> p = lib.getPictureRef(i);
        int32_t w = p ? std::max<int32_t>(p->m_width, 0) : 0;
        int32_t h = p ? std::max<int32_t>(p->m_height, 0) : 0;
        int32_t cellWidth = std::max(w, static_cast<int32_t>(std::to_string(i).size()) * kDigitWidth);
        int32_t cellX = x, cellY = y, cellRow = rowHeight;
        if (cellX + cellWidth + kPad > sheetWidth && cellX > kPad) {
            cellX = kPad;
            cellY += rowHeight + kPad;
            cellRow = 0;
        }
        const int64_t height = static_cast<int64_t>(cellY) + std::max(cellRow, kLabelHeight + h) + kPad;
        if (height * sheetWidth > kMaxSheetPixels) {
            shown = i;
            break;
        }
        cells.push_back(Cell { i, cellX, cellY, w, h });
        x = cellX + cellWidth + kPad;
        y = cellY;
        rowHeight = std::max(cellRow, kLabelHeight + h);
    }
    const int32_t sheetHeight = y + rowHeight + kPad;
    std::vector<uint32_t> sheet(static_cast<size_t>(sheetWidth) * sheetHeight, kSheetBackground);
    int32_t damaged = 0;
    for (const Cell& cell : cells) {
        drawNumber(sheet, sheetWidth, cell.x, cell.y, cell.index);
        Ref<Vpicture> p = lib.getPicture(cell.index);
        if (!p || !p->decoded()) {
            continue;
        }
        damaged += p->damaged() ? 1 : 0;
        const int32_t top = cell.y + kLabelHeight;
        for (int32_t py = 0; py < cell.h; ++py) {
            for (int32_t px = 0; px < cell.w; ++px) {
                // Transparency shows as a checkerboard behind the picture.
                uint32_t back = ((px / 6 + py / 6) & 1) ? 0x9A9A9A : 0x6A6A6A;
                uint32_t word = static_cast<uint32_t>(p->m_pixels[py * cell.w + px]);
                uint32_t code = word >> 29;
                uint32_t mixed = 0;
                for (int32_t shift = 0; shift < 24; shift += 8) {
                    uint32_t c = (word >> shift) & 0xFF;
                    uint32_t b = (back >> shift) & 0xFF;
                    mixed |= ((c * code + b * (7 - code)) / 7) << shift;
                }
                sheet[static_cast<size_t>(top + py) * static_cast<size_t>(sheetWidth)
                      + static_cast<size_t>(cell.x + px)] = mixed;
            }
        }
        p->dropPixels();  // one decoded picture at a time, however many there are
    }
    if (!writeFramePng(out, sheet.data(), sheetWidth, sheetHeight, sheetWidth)) {
        return fail("cannot write " + out);
    }
    // What the sheet lacks fails the command: the pictures beyond its size, and
    // damaged ones (each named once by the decoder).
    if (shown < lib.count()) {
        return fail("sheet " + out + " shows the first " + std::to_string(shown) + " of " + std::to_string(lib.count())
                    + " pictures of bundle " + prefix + ": a sheet is at most " + std::to_string(kMaxSheetPixels)
                    + " pixels");
    }
    if (damaged > 0) {
        return fail(
            std::to_string(damaged) + " damaged pictures of bundle " + prefix + " are blank on the sheet " + out);
    }
    return 0;
}

struct BundleOptions {
    std::string prefix;
    std::vector<std::string> png;  // INDEX OUT.png
    std::string sheet;
};

int run(const BundleOptions& o)
{
    const std::string& prefix = o.prefix;
    const size_t slash = prefix.rfind('/');
    if (prefix.empty() || slash == prefix.size() - 1) {
        return fail("bundle " + prefix + ": no bundle name");
    }
    // Read by its path, so that every line about it names the files.
    const Ref<String> name = String::fromChars(prefix.c_str());
    ByteArray bytes;
    if (!Vilib::readSegmentFiles(prefix, name, bytes)) {
        return cli::kWorkFailed;  // the reader has said what is wrong
    }
    Ref<Vilib> lib = make<Vilib>(name, bytes);
    if (!lib->intact()) {
        return cli::kWorkFailed;  // the library has said what is wrong with the bundle
    }
    if (!o.png.empty()) {
        int32_t index = -1;
        if (!parseIndex(o.png[0], index) || index >= lib->count()) {
            return fail("picture index " + o.png[0] + " out of range (bundle has " + std::to_string(lib->count())
                        + " pictures)");
        }
        Ref<Vpicture> picture = lib->getPicture(index);
        if (picture && picture->damaged()) {
            return cli::kWorkFailed;  // the decoder has named the picture and said what is wrong
        }
        if (!picture || picture->pixelCount() == 0) {
            return fail("picture " + o.png[0] + " of bundle " + prefix + " has no pixels to write");
        }
        std::vector<uint8_t> rgba = toRgba(*picture);
        if (!writeRgbaPng(o.png[1], rgba.data(), picture->m_width, picture->m_height)) {
            return fail("cannot write " + o.png[1]);
        }
        return 0;
    }
    if (!o.sheet.empty()) {
        return writeSheet(*lib, prefix, o.sheet);
    }
    for (int32_t i = 0; i < lib->count(); ++i) {
        Ref<Vpicture> p = lib->getPictureRef(i);
        char type = '?';
        if (p && (p->m_type == Vpicture::kTypeJpeg || p->m_type == Vpicture::kTypeRun)) {
            type = static_cast<char>(p->m_type);
        }
        std::printf("%d %c %dx%d anchor %d,%d bytes %d\n", i, type, p ? p->m_width : 0, p ? p->m_height : 0,
            p ? p->m_anchorX : 0, p ? p->m_anchorY : 0, p ? p->m_data.length() : 0);
    }
    std::printf("pictures %d\n", lib->count());
    return 0;
}

Command setUp(CLI::App& tool)
{
    auto o = std::make_shared<BundleOptions>();
    CLI::App* app = cli::addCommand(tool, "bundle",
        "Lists the pictures of the bundle PREFIX0.bin, PREFIX1.bin, ... (index, type, size,\n"
        "hot spot, encoded bytes), writes one as a PNG, or draws a contact sheet of them all.",
        "golf-inspect bundle build/bin/golf --png 12 picture.png");
    app->add_option("PREFIX", o->prefix, "The bundle's files without their number and .bin")->required()->type_name("");
    CLI::Option* png = app->add_option("--png", o->png, "Write picture INDEX as an RGBA PNG")
                           ->expected(2)
                           ->option_text("INDEX OUT.png");
    app->add_option("--sheet", o->sheet, "Draw every picture with its number into one PNG")
        ->option_text("OUT.png")
        ->excludes(png);
    return Command { app, [o] { return run(*o); } };
}

RegisterCommand registration(setUp);

}  // namespace

}  // namespace tarnby::inspect
