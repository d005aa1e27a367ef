// The record of one complete data generation, so that a generation killed
// mid-way is noticed (by the build and by the game) instead of played.
//
// The generator removes the stamp before it replaces any data file and writes
// it last, once every file is complete and renamed into place. The stamp is a
// text file:
//
// | line            | contents                                                  |
// |-----------------|-----------------------------------------------------------|
// | first           | "tarnby-data 1"                                           |
// | one per file    | size in bytes, space, 16 hex digits of its checksum, space, name |
//
// Budget: the stamp is read only up to 64 KB and 1000 files; each listed file
// is read once, in 64 KB pieces.
#pragma once

#include <string>
#include <vector>

namespace tarnby {

// The stamp's file name in the data folder.
constexpr const char* kDataStampName = "golf-assets.stamp";

// Removes the stamp (and flushes the folder) before a generation replaces any
// file; true when no stamp is left.
bool clearDataStamp(const std::string& folder);

// Writes the stamp for the named files of `folder` (which ends in '/'); false
// (and no stamp) when one of them cannot be read or the stamp not written.
bool writeDataStamp(const std::string& folder, const std::vector<std::string>& names);

// Checks every file the stamp lists against its size and checksum. Gives an
// empty string when the data set is complete, else one line naming what is
// missing or does not match.
std::string checkDataStamp(const std::string& folder);

}  // namespace tarnby
