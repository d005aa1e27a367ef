// The record of one complete data generation, so that a generation killed
// mid-way, or a folder that mixes files of two generations, is noticed (by the
// build and by the game) instead of played.
//
// The generator removes the stamp before it replaces any data file and writes
// it last, once every file is complete and renamed into place. It lists the
// files that generation wrote, and no other file of the folder. The stamp is a
// text file:
//
// | line            | contents                                                         |
// |-----------------|------------------------------------------------------------------|
// | first           | "tarnby-data 2"                                                  |
// | one per file    | size in bytes, space, 16 hex digits of its checksum, space, name |
// | one per absence | "absent", space, name: a file that must not be there (the bundle |
// |                 | segment after the last: the game reads segments until one lacks) |
// | last            | "end", space, the number of lines between the first and this one |
//
// A name is a plain file name of the folder (no '/', not "." or ".."), listed
// once. A stamp cut short, even at the end of a line, lacks its last line.
//
// Budget: the stamp is read only up to 64 KB and 1000 lines; each listed file
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

// Writes the stamp for the named files of `folder` (which ends in '/') and the
// names that must be absent; false (and no stamp) when one of the files cannot
// be read, a name is not a plain file name or listed twice, or the stamp cannot
// be written.
bool writeDataStamp(const std::string& folder, const std::vector<std::string>& names,
    const std::vector<std::string>& absent = {});

// Checks every file the stamp lists against its size and checksum, and that no
// file it names as absent is there. Gives an empty string when the data set is
// complete, else one line naming the first file that is missing, empty, cut
// short, from another generation or not to be there, or the stamp itself.
std::string checkDataStamp(const std::string& folder);

}  // namespace tarnby
