// The saved game's record, its top-score table and its file.
#include "golf/save_record.h"

#include <cstdio>
#include <string>

#include "runtime/files.h"

namespace tarnby {

namespace {
bool fieldInside(const ByteArray& save, int32_t offset) { return offset >= 0 && offset <= save.length() - 2; }

void clear(const ByteArray& save)
{
    for (uint8_t& byte : save) {
        byte = 0;
    }
}
}  // namespace

int32_t readSaveShort(const ByteArray& save, int32_t offset)
{
    if (!fieldInside(save, offset)) {
        return 0;
    }
    return save[offset] + 256 * save[offset + 1];
}

void writeSaveShort(const ByteArray& save, int32_t offset, int32_t value)
{
    if (!fieldInside(save, offset)) {
        return;
    }
    save[offset] = static_cast<uint8_t>(value & 0xFF);
    save[offset + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

int32_t insertTopScore(const ByteArray& save, int32_t total, int32_t course)
{
    if (total <= 0 || total > 0xFFFF || save.length() < kSaveSize) {
        return -1;
    }
    for (int32_t place = 0; place < kTopScoreCount; ++place) {
        int32_t held = readSaveShort(save, kSaveTopScores + 4 * place);
        if (held != 0 && total > held) {
            continue;
        }
        // Move this place and the ones below it down one; the last one drops out.
        for (int32_t below = kTopScoreCount - 1; below > place; --below) {
            int32_t from = kSaveTopScores + 4 * (below - 1);
            int32_t to = kSaveTopScores + 4 * below;
            writeSaveShort(save, to, readSaveShort(save, from));
            writeSaveShort(save, to + 2, readSaveShort(save, from + 2));
        }
        writeSaveShort(save, kSaveTopScores + 4 * place, total);
        writeSaveShort(save, kSaveTopScores + 4 * place + 2, course);
        return place;
    }
    return -1;
}

bool readSaveBytes(const uint8_t* bytes, size_t size, const ByteArray& save)
{
    clear(save);
    if (save.length() < kSaveSize || !bytes || size != static_cast<size_t>(kSaveSize)) {
        return false;
    }
    for (int32_t i = 0; i < kSaveSize; ++i) {
        save[i] = bytes[i];
    }
    if (readSaveShort(save, kSaveHole) > kLastHole || readSaveShort(save, kSaveCourse) > kLastCourse) {
        writeSaveShort(save, kSaveHole, 0);
        writeSaveShort(save, kSaveRoundStrokes, 0);
        writeSaveShort(save, kSaveCourse, 0);
    }
    return true;
}

bool loadSaveFile(const std::string& path, const ByteArray& save)
{
    clear(save);
    if (save.length() < kSaveSize) {
        return false;
    }
    // A save killed mid-way leaves its temporary file; the save itself is whole.
    removeStaleTemporary(path);
    ByteArray bytes;
    const FileRead read = readBoundedFile(path, kSaveSize, bytes);
    if (read == FileRead::Missing) {
        return false;
    }
    if (read == FileRead::TooLarge || bytes.length() != kSaveSize) {
        const std::string size = read == FileRead::TooLarge ? "more than " + std::to_string(kSaveSize) + " bytes"
                                                            : std::to_string(bytes.length()) + " bytes";
        std::printf("Save file %s holds %s, not a %d-byte save: the game starts afresh\n", path.c_str(), size.c_str(),
            kSaveSize);
        std::fflush(stdout);
        return false;
    }
    const int32_t hole = bytes[kSaveHole] | (bytes[kSaveHole + 1] << 8);
    const int32_t course = bytes[kSaveCourse] | (bytes[kSaveCourse + 1] << 8);
    if (hole > kLastHole || course > kLastCourse) {
        std::printf("Save file %s names hole %d of course %d, which cannot be resumed: the round starts afresh\n",
            path.c_str(), hole + 1, course);
        std::fflush(stdout);
    }
    return readSaveBytes(bytes.data(), static_cast<size_t>(bytes.length()), save);
}

bool storeSaveFile(const std::string& path, const ByteArray& save)
{
    if (save.length() < kSaveSize || !writeWholeFile(path, save.data(), kSaveSize)) {
        std::printf("Could not save the game to %s\n", path.c_str());
        std::fflush(stdout);
        return false;
    }
    return true;
}

}  // namespace tarnby
