// Holing out and the saved game: the scorecard, the round total, the
// top-score table and the save file.
#include "golf/golf.h"
#include "golf/holetable.h"
#include "golf/save_record.h"
#include "golf/scoring.h"
#include "runtime/files.h"

namespace tarnby {

void Golf::finishHole()
{
    setGameState(HoleOver);
    fillScorecard(String::intern(scoreName(holePar(hole), holeStrokes)));
    roundStrokes += holeStrokes;
    paint();
    hole += 1;
    if (hole == kHolesPerCourse) {
        recordTopScore();
        hole = 0;
        roundStrokes = 0;
    }
    saveGame();
    playSound("music");
}

void Golf::fillScorecard(const Ref<String>& title)
{
    scoreTitle->setText(title);
    scoreTitle->setPosition((scorecard->getWidth() - scoreTitle->getWidth()) / 2, 0);
    const int32_t par = holePar(hole);
    scoreHole->setText(String::fromChars(holeLine(hole, par, holeStrokes).c_str()));
    scoreStrokes->setNumber(holeStrokes);
    // The round against par so far, this hole included (its strokes not yet in roundStrokes).
    const int32_t toPar = holeStrokes - parThrough(hole) + roundStrokes;
    scoreRound->setText(String::fromChars(roundLine(toPar).c_str()));
    scoreTotal->setNumber(holeStrokes + roundStrokes);
    scorecard->removeSelf();
    addCentred(scorecard);
}

void Golf::recordTopScore() { insertTopScore(saveData, roundStrokes, course); }

int32_t Golf::readSaveShort(int32_t offset) { return tarnby::readSaveShort(saveData, offset); }

void Golf::writeSaveShort(int32_t offset, int32_t value) { tarnby::writeSaveShort(saveData, offset, value); }

void Golf::saveGame()
{
    if (m_demo) {
        return;  // the player's save is not the demo's
    }
    writeSaveShort(kSaveHole, hole);
    writeSaveShort(kSaveCourse, course);
    writeSaveShort(kSaveRoundStrokes, roundStrokes);
    writeSaveShort(kSaveFlags, (golferFrameBase == kFemaleGolfer ? kFlagFemale : 0) | (soundOff ? kFlagSoundOff : 0));
    if (storeSaveFile(m_savePath.empty() ? dataPath("tarnbygolf") : m_savePath, saveData)) {
        logLine("save");
    }
}

void Golf::loadSave()
{
    if (m_demo) {
        return;  // the demo takes the player's settings from the game it stands in for
    }
    if (!loadSaveFile(m_savePath.empty() ? dataPath("tarnbygolf") : m_savePath, saveData)) {
        return;
    }
    const int32_t flags = readSaveShort(kSaveFlags);
    soundOff = (flags & kFlagSoundOff) != 0;
    golferFrameBase = (flags & kFlagFemale) != 0 ? kFemaleGolfer : kMaleGolfer;
    roundInProgress = readSaveShort(kSaveHole) != 0;
}

}  // namespace tarnby
