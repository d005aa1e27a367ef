// The saved game: the 40-byte record of the round in progress, the settings
// and the top scores, its field access, the top-score table and the file.
//
// All numbers are unsigned 16-bit little-endian (low byte first):
//
// | offset | size | content                                                  |
// |--------|------|----------------------------------------------------------|
// | 0      | 2    | next hole to play, 0..17 (0 also after a finished round)  |
// | 2      | 2    | strokes of the finished holes of the round in progress   |
// | 4      | 2    | flags: bit 0 sound off, bit 1 female player              |
// | 6      | 4    | reserved: kept exactly as read, 0 in a new file          |
// | 10     | 2    | course, 0..2                                             |
// | 12     | 28   | top scores: 7 entries of (round total, course); total 0  |
// |        |      | marks an empty entry; best (lowest) first                |
//
// Budget: only a file of exactly 40 bytes is read (its size is asked first, so
// a larger file is never read at all); reading and mending take constant time
// and memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "runtime/array.h"

namespace tarnby {

constexpr int32_t kSaveSize = 40;
constexpr int32_t kSaveHole = 0;
constexpr int32_t kSaveRoundStrokes = 2;
constexpr int32_t kSaveFlags = 4;
constexpr int32_t kSaveReserved = 6;  // four bytes, 6..9
constexpr int32_t kSaveCourse = 10;
constexpr int32_t kSaveTopScores = 12;
constexpr int32_t kTopScoreCount = 7;

constexpr int32_t kFlagSoundOff = 1;
constexpr int32_t kFlagFemale = 2;

// Highest hole index and course index a record may name.
constexpr int32_t kLastHole = 17;
constexpr int32_t kLastCourse = 2;

// The unsigned 16-bit value at `offset`; 0 when the two bytes lie outside the record.
int32_t readSaveShort(const ByteArray& save, int32_t offset);

// Stores the low 16 bits of `value` at `offset`, low byte first; nothing
// happens when the two bytes lie outside the record.
void writeSaveShort(const ByteArray& save, int32_t offset, int32_t value);

// Puts a finished round into the top-score table: at the first place whose
// total is not lower than `total` or that is empty, moving the places below
// it down one (the last one drops out). A tie therefore places the newer round
// first. Returns the place 0..6, or -1 when the round is not good enough (or
// its total is not 1..65535, which could not be stored).
int32_t insertTopScore(const ByteArray& save, int32_t total, int32_t course);

// Reads a save file into `save` (kSaveSize bytes). Only a file of exactly 40
// bytes is a save: a missing, shorter or longer file (the game never writes
// anything but 40 bytes, so a longer one is some other file) leaves `save`
// all zero and gives false; one line names a file that is there but not a
// save (a missing one is a first game: nothing to say). A hole above 17 or a
// course above 2 cannot be resumed: the round is mended to hole 1 of course 0
// with no strokes (flags, reserved bytes and top scores are kept as read), and
// one line says so.
// A save killed while writing leaves a temporary file beside it: it is removed.
bool loadSaveFile(const std::string& path, const ByteArray& save);
// The same for a save file's bytes held in memory.
bool readSaveBytes(const uint8_t* bytes, size_t size, const ByteArray& save);

// Replaces the save file with the record, atomically (the old file stays
// whole when writing fails). A failure prints one line and gives false; the
// game goes on with the record in memory.
bool storeSaveFile(const std::string& path, const ByteArray& save);

}  // namespace tarnby
