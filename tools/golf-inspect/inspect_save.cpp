// golf-inspect save: shows a saved game's 40-byte record field by field, as
// stored (nothing is mended), so a player or a test can see what the game wrote.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "golf-inspect/command.h"
#include "golf/save_record.h"
#include "runtime/files.h"

namespace tarnby::inspect {

namespace {

int runSave(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return fail("cannot read save file " + path);
    }
    const uintmax_t size = std::filesystem::file_size(path, error);
    ByteArray save = error ? ByteArray() : readWholeFile(path, kSaveSize);
    if (error || size != static_cast<uintmax_t>(kSaveSize) || save.length() != kSaveSize) {
        return fail(path + " is " + (error ? std::string("unreadable") : std::to_string(size) + " bytes")
                    + ", not a 40-byte save file");
    }
    // Holes are numbered from 1 here, as on the scorecard and in the game's log;
    // the file counts them from 0. Courses are the stored index 0..2.
    const int32_t flags = readSaveShort(save, kSaveFlags);
    std::printf("next hole %d\n", readSaveShort(save, kSaveHole) + 1);
    std::printf("round strokes %d\n", readSaveShort(save, kSaveRoundStrokes));
    std::printf("flags %d sound %s player %s\n", flags, (flags & kFlagSoundOff) ? "off" : "on",
        (flags & kFlagFemale) ? "female" : "male");
    std::printf("reserved %02X %02X %02X %02X\n", save[kSaveReserved], save[kSaveReserved + 1], save[kSaveReserved + 2],
        save[kSaveReserved + 3]);
    std::printf("course %d\n", readSaveShort(save, kSaveCourse));
    for (int32_t i = 0; i < kTopScoreCount; ++i) {
        const int32_t total = readSaveShort(save, kSaveTopScores + 4 * i);
        if (total == 0) {
            std::printf("top %d - -\n", i + 1);
        } else {
            std::printf("top %d %d %d\n", i + 1, total, readSaveShort(save, kSaveTopScores + 4 * i + 2));
        }
    }
    return 0;
}

Command setUpSave(CLI::App& tool)
{
    auto path = std::make_shared<std::string>();
    CLI::App* app = cli::addCommand(tool, "save",
        "Shows a saved game (the 40-byte file \"tarnbygolf\") field by field, as stored.",
        "golf-inspect save build/bin/tarnbygolf");
    app->add_option("FILE", *path, "The save file")->required()->type_name("");
    return Command { app, [path] { return runSave(*path); } };
}

const RegisterCommand kSaveCommand(setUpSave);

}  // namespace

}  // namespace tarnby::inspect
