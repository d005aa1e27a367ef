// Contact sheets of the built courses for authors and reviewers: every hole's
// tee view and course map, six to a row, each labelled with its number and par.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::course {

// The size of one tee view on the sheet, as a small handset shows it.
constexpr int32_t kSheetViewWidth = 240;
constexpr int32_t kSheetViewHeight = 320;

// A picture of 0xRRGGBB words (the top byte is ignored), `width` a row.
struct SheetImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Lays `cells` (all the same size) out six to a row under a label strip each,
// the label of cell k being `labels[k]` (digits, spaces and the letters of
// "HOLE" and "PAR"; others are left blank).
SheetImage assembleSheet(const std::vector<SheetImage>& cells, const std::vector<std::string>& labels);

// Writes `folder`/cC_tees.png and `folder`/cC_maps.png for the three courses
// from the hole files and pictures in `data`. Gives false and a one-line
// message when a hole file cannot be read or a sheet cannot be written, and
// false with an empty message when a reader has already said in one line what
// is wrong (a hole file drawn in part, a damaged picture bundle).
bool writeCourseSheets(const std::string& data, const std::string& folder, std::string& error);

}  // namespace tarnby::course
