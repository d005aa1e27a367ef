// Contact sheets of the built courses: renders each hole from its tee as the
// game places the camera, draws its course map, and lays them out labelled.
#include "golf-course/contact_sheet.h"

#include <algorithm>
#include <filesystem>

#include "course-preview/preview_scene.h"
#include "golf/holetable.h"
#include "platform/headless/png_writer.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "vector/vswf.h"

namespace tarnby::course {

namespace {

constexpr int32_t kColumns = 6;
constexpr int32_t kGap = 4;
constexpr int32_t kLabelHeight = 22;
constexpr int32_t kGlyphScale = 2;
constexpr uint32_t kBackground = 0x202020;
constexpr uint32_t kInk = 0xF0F0F0;

// A 5 x 7 pixel font for the labels: each row of a glyph is five bits, the
// leftmost pixel in the highest bit.
struct Glyph {
    char c;
    uint8_t rows[7];
};
constexpr Glyph kGlyphs[] = {
    { '0', { 0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E } },
    { '1', { 0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E } },
    { '2', { 0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F } },
    { '3', { 0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E } },
    { '4', { 0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02 } },
    { '5', { 0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E } },
    { '6', { 0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E } },
    { '7', { 0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08 } },
    { '8', { 0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E } },
    { '9', { 0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C } },
    { 'A', { 0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11 } },
    { 'E', { 0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F } },
    { 'H', { 0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11 } },
    { 'L', { 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F } },
    { 'O', { 0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E } },
    { 'P', { 0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10 } },
    { 'R', { 0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11 } },
};

void drawText(SheetImage& image, int32_t left, int32_t top, const std::string& text)
{
    int32_t x = left;
    for (char c : text) {
        for (const Glyph& glyph : kGlyphs) {
            if (glyph.c != c) {
                continue;
            }
            for (int32_t row = 0; row < 7 * kGlyphScale; ++row) {
                for (int32_t col = 0; col < 5 * kGlyphScale; ++col) {
                    const int32_t px = x + col;
                    const int32_t py = top + row;
                    const bool on = (glyph.rows[row / kGlyphScale] >> (4 - col / kGlyphScale)) & 1;
                    if (on && px >= 0 && py >= 0 && px < image.width && py < image.height) {
                        image.pixels[static_cast<size_t>(py) * image.width + px] = kInk;
                    }
                }
            }
        }
        x += 6 * kGlyphScale;
    }
}

SheetImage fromFrame(const std::vector<uint32_t>& frame, int32_t width, int32_t height)
{
    SheetImage image { width, height, frame };
    for (uint32_t& p : image.pixels) {
        p &= 0xFFFFFF;
    }
    return image;
}

std::string holeLabel(int32_t hole)
{
    return "HOLE " + std::to_string(hole + 1) + "  PAR " + std::to_string(holePar(hole));
}

}  // namespace

SheetImage assembleSheet(const std::vector<SheetImage>& cells, const std::vector<std::string>& labels)
{
    SheetImage sheet;
    if (cells.empty()) {
        return sheet;
    }
    const int32_t cellWidth = cells.front().width;
    const int32_t cellHeight = cells.front().height + kLabelHeight;
    const auto count = static_cast<int32_t>(cells.size());
    const int32_t rows = (count + kColumns - 1) / kColumns;
    sheet.width = kGap + std::min(count, kColumns) * (cellWidth + kGap);
    sheet.height = kGap + rows * (cellHeight + kGap);
    sheet.pixels.assign(static_cast<size_t>(sheet.width) * sheet.height, kBackground);
    for (int32_t k = 0; k < count; ++k) {
        const int32_t left = kGap + (k % kColumns) * (cellWidth + kGap);
        const int32_t top = kGap + (k / kColumns) * (cellHeight + kGap);
        const SheetImage& cell = cells[static_cast<size_t>(k)];
        for (int32_t y = 0; y < std::min(cell.height, cellHeight - kLabelHeight); ++y) {
            for (int32_t x = 0; x < std::min(cell.width, cellWidth); ++x) {
                sheet.pixels[static_cast<size_t>(top + kLabelHeight + y) * sheet.width + left + x] =
                    cell.pixels[static_cast<size_t>(y) * cell.width + x] & 0xFFFFFF;
            }
        }
        if (static_cast<size_t>(k) < labels.size()) {
            drawText(sheet, left + 2, top + (kLabelHeight - 7 * kGlyphScale) / 2, labels[static_cast<size_t>(k)]);
        }
    }
    return sheet;
}

bool writeCourseSheets(const std::string& data, const std::string& folder, std::string& error)
{
    std::error_code made;
    if (!std::filesystem::create_directories(folder, made) && made) {
        error = "cannot create the folder " + folder;
        return false;
    }
    std::string from = data.empty() ? dataFolder() : data;
    if (from.back() != '/') {
        from += '/';
    }
    const std::string oldFolder = dataFolder();
    setDataFolder(from);
    bool ok = true;
    for (int32_t course = 0; course < kCourses && ok; ++course) {
        std::vector<SheetImage> views;
        std::vector<SheetImage> maps;
        std::vector<std::string> labels;
        for (int32_t hole = 0; hole < kHolesPerCourse; ++hole) {
            preview::Scene scene;
            // A missing file is said once, here, rather than also by the readers.
            const std::string path = from + holeFileName(course, hole)->chars();
            ByteArray bytes;
            if (readBoundedFile(path, Vswf::kMaxFileBytes, bytes) != FileRead::Read) {
                error = "cannot read the hole file " + path;
                ok = false;
                break;
            }
            // A hole drawn in part, a damaged bundle: the reader has said so.
            if (!scene.load(bytes, path, course, kSheetViewWidth, kSheetViewHeight)) {
                ok = false;
                break;
            }
            scene.standAtTee(hole);
            views.push_back(fromFrame(scene.renderView(), kSheetViewWidth, kSheetViewHeight));
            int32_t side = 0;
            const std::vector<uint32_t> map = scene.renderMap({}, side);
            if (scene.picturesDamaged()) {
                ok = false;  // and the picture's line is said
                break;
            }
            maps.push_back(fromFrame(map, side, side));
            labels.push_back(holeLabel(hole));
        }
        if (!ok) {
            break;
        }
        const std::string stem = folder + "/c" + std::to_string(course);
        for (const auto& [cells, suffix] : { std::pair { &views, "_tees.png" }, std::pair { &maps, "_maps.png" } }) {
            const SheetImage sheet = assembleSheet(*cells, labels);
            if (!writeFramePng(stem + suffix, sheet.pixels.data(), sheet.width, sheet.height, sheet.width)) {
                error = "cannot write " + stem + suffix;
                ok = false;
                break;
            }
        }
    }
    setDataFolder(oldFolder);
    return ok;
}

}  // namespace tarnby::course
