// Whole rounds by the computer golfer: the runner between holes and the log of strokes against par.
#include "platform/play/autoplay_game.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "golf/holetable.h"
#include "golf/save_record.h"
#include "platform/play/game_data.h"
#include "runtime/files.h"
#include "runtime/host.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

// Frames between two presses of the runner (the scorecard and the top scores
// wait for a key; a missed press is simply made again).
constexpr int32_t kPressEvery = 20;
// Virtual time the start-up screen and the menu may take before the first hole.
constexpr uint32_t kStartWithin = 60 * 1000;

int complain(const std::string& message, int status)
{
    std::printf("tarnby-golf: %s\n", message.c_str());
    std::fflush(stdout);
    return status;
}

// The hole that follows a hole in the game's own order: the next one, and
// after the 18th the first of the next course.
int32_t naturalNext(int32_t id)
{
    const int32_t course = id / kHolesPerCourse;
    const int32_t hole = id % kHolesPerCourse;
    return hole + 1 < kHolesPerCourse ? id + 1 : ((course + 1) % kCourses) * kHolesPerCourse;
}

}  // namespace

AutoplayGame::AutoplayGame(const GameOptions& options)
    : HeadlessHost(options.width, options.height), m_options(options), m_holes(holesToPlay(options))
{
}

AutoplayGame::~AutoplayGame()
{
    if (m_record) {
        std::fclose(m_record);
    }
    m_golfer.reset();
    if (m_game) {
        m_game->destroy();
    }
}

std::vector<int32_t> AutoplayGame::holesToPlay(const GameOptions& options)
{
    std::vector<int32_t> holes;
    for (int32_t round = 0; round < options.rounds; ++round) {
        for (int32_t course = 0; course < kCourses; ++course) {
            if (options.autoplayCourse >= 0 && course != options.autoplayCourse) {
                continue;
            }
            for (int32_t hole = options.firstHole; hole <= options.lastHole; ++hole) {
                holes.push_back(course * kHolesPerCourse + hole - 1);
            }
        }
    }
    return holes;
}

int AutoplayGame::run()
{
    // The game's data sits beside the program unless --data names another folder.
    if (const std::string problem = useDataFolder(m_options.dataFolder); !problem.empty()) {
        return complain(problem, 1);
    }
    if (!m_options.replayPath.empty()) {
        std::string error;
        if (!m_script.load(m_options.replayPath, m_options.width, m_options.height, error)) {
            return complain(error, error.rfind("cannot read", 0) == 0 ? 1 : 2);
        }
        m_replay = true;
    }
    if (!m_options.recordPath.empty()) {
        m_record = std::fopen(m_options.recordPath.c_str(), "wb");
        if (!m_record) {
            return complain("cannot write the recording " + m_options.recordPath, 1);
        }
        std::fprintf(m_record,
            "# tarnby-golf recording: replay with --replay FILE and the same --course and --holes\n");
    }
    if (!m_options.logPath.empty() && !m_log.open(m_options.logPath)) {
        return complain("cannot write the log " + m_options.logPath, 1);
    }
    m_log.steps = m_options.logSteps;

    // The player's own save is left alone unless --save names a file: the
    // golfer plays on a scratch save that starts at the first hole asked for.
    std::string savePath = m_options.savePath;
    if (savePath.empty()) {
        m_scratchSave =
            (std::filesystem::temp_directory_path() / ("tarnby-autoplay-" + std::to_string(::getpid()))).string();
        savePath = m_scratchSave;
    }
    ByteArray save(kSaveSize);
    loadSaveFile(savePath, save);
    const int32_t first = m_holes.front();
    writeSaveShort(save, kSaveHole, first % kHolesPerCourse);
    writeSaveShort(save, kSaveRoundStrokes, 0);
    writeSaveShort(save, kSaveCourse, first / kHolesPerCourse);
    if (!storeSaveFile(savePath, save)) {
        return 1;
    }

    deviceProfile() = m_options.profile();
    m_game = make<Golf>();
    m_game->setSavePath(savePath);
    if (!m_options.logPath.empty()) {
        m_game->setLog(&m_log);
    }
    m_game->setSize(m_options.width, m_options.height);
    m_game->attach();
    m_golfer = std::make_unique<ComputerGolfer>(*m_game, [this](int32_t key) { press(key); });
    m_golfer->setContinueAfterHole(false);
    m_game->run();

    m_game->setLog(nullptr);
    m_golfer.reset();
    m_game->destroy();
    m_game = nullptr;
    if (!m_scratchSave.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_scratchSave, ignored);
    }
    if (!m_log.close()) {
        m_failed = true;
        complain("could not write the whole log " + m_options.logPath, 1);
    }
    if (m_record) {
        const bool written = std::fflush(m_record) == 0 && !std::ferror(m_record);
        std::fclose(m_record);
        m_record = nullptr;
        if (!written) {
            m_failed = true;
            complain("could not write the whole recording " + m_options.recordPath, 1);
        }
    }
    if (m_replay) {
        return m_failed ? 1 : 0;
    }
    if (!m_done && !m_failed && m_options.maxMs < 0) {
        return complain("the golfer could not start the first hole", 1);
    }
    return m_failed ? 1 : 0;
}

void AutoplayGame::sleep(int32_t milliseconds)
{
    ++m_frames;
    if (!m_done) {
        watch();
        if (m_onHole && !m_done && !m_replay) {
            m_golfer->act();
        }
    }
    if (m_replay) {
        // The recording's own frame time; the game ends with the recording.
        while (m_scriptAt < m_script.events().size() && m_script.events()[m_scriptAt].kind != ScriptEvent::Frame
               && m_script.events()[m_scriptAt].at <= tickCount()) {
            ++m_scriptAt;  // input due before this frame was delivered already
        }
        if (m_scriptAt >= m_script.events().size() || m_script.events()[m_scriptAt].kind != ScriptEvent::Frame) {
            m_game->stop();
            return;
        }
        milliseconds = m_script.events()[m_scriptAt++].a;
    }
    record("%u frame %d\n", tickCount(), milliseconds);
    HeadlessHost::sleep(milliseconds);
    deliver();
    if (m_options.maxMs >= 0 && static_cast<int64_t>(tickCount()) >= m_options.maxMs) {
        m_game->stop();
    }
}

void AutoplayGame::deliver()
{
    // The keys reach the game as the window would give them: pressed and
    // released while the game waits for its next frame.
    if (m_replay) {
        const std::vector<ScriptEvent>& events = m_script.events();
        for (; m_scriptAt < events.size() && events[m_scriptAt].at <= tickCount(); ++m_scriptAt) {
            const ScriptEvent& e = events[m_scriptAt];
            if (e.kind == ScriptEvent::Frame) {
                break;
            }
            if (e.kind == ScriptEvent::Key || e.kind == ScriptEvent::Down) {
                m_game->keyDown(e.a);
            }
            if (e.kind == ScriptEvent::Key || e.kind == ScriptEvent::Up) {
                m_game->keyUp(e.a);
            }
        }
        return;
    }
    for (int32_t key : m_keys) {
        record("%u key %02d\n", tickCount(), key);
        m_game->keyDown(key);
        m_game->keyUp(key);
    }
    m_keys.clear();
}

void AutoplayGame::record(const char* format, uint32_t at, int32_t value)
{
    if (m_record) {
        std::fprintf(m_record, format, at, value);
    }
}

bool AutoplayGame::replayHasKeys() const
{
    for (size_t i = m_scriptAt; i < m_script.events().size(); ++i) {
        if (m_script.events()[i].kind != ScriptEvent::Frame) {
            return true;
        }
    }
    return false;
}

void AutoplayGame::press(int32_t key) { m_keys.push_back(key); }

void AutoplayGame::logLine(const std::string& text)
{
    if (!m_options.logPath.empty()) {
        m_log.write(std::to_string(tickCount()) + " " + text);
    }
}

void AutoplayGame::watch()
{
    Golf& g = *m_game;
    const uint32_t now = tickCount();
    const bool clubMenuOpen = g.clubMenu && g.clubMenu->hasParent();
    if (m_replay) {
        // A recording only needs watching: the hole that starts, and how it ends.
        if (!m_onHole && g.gameState == Golf::Aiming && g.holeStrokes == 0) {
            m_onHole = true;
            m_holeId = g.course * kHolesPerCourse + g.hole;
        } else if (m_onHole && g.gameState == Golf::HoleOver) {
            finishHole(true);
        }
        return;
    }
    if (m_onHole) {
        if (g.gameState == Golf::HoleOver) {
            finishHole(true);
        } else if (!clubMenuOpen
                   && ((g.gameState == Golf::Aiming && g.holeStrokes >= kGiveUpStrokes)
                       || now - m_holeStart > kGiveUpMs)) {
            finishHole(false);
        }
        return;
    }
    const int32_t id = m_holes[m_next];
    if (g.gameState == Golf::Aiming && !clubMenuOpen) {
        if (g.course * kHolesPerCourse + g.hole == id && g.holeStrokes == 0) {
            m_started = true;
            m_onHole = true;
            m_holeId = id;
            m_holeStart = now;
        } else {
            startHole(id, false);  // not the hole asked for: go there
        }
        return;
    }
    if (!m_started && now > kStartWithin) {
        m_failed = true;
        complain("the golfer could not start the first hole", 1);
        m_done = true;
        g.stop();
        return;
    }
    if (m_pressWait > 0) {
        --m_pressWait;
        return;
    }
    // The menu after the start-up screen: resume the saved hole. The
    // scorecard and the top scores: any key goes on to the next hole.
    if ((g.gameState == Golf::Menu && g.terrainView) || g.gameState == Golf::HoleOver) {
        press(g.gameState == Golf::Menu ? '9' : kKeySelect);
        m_pressWait = kPressEvery;
    }
}

void AutoplayGame::finishHole(bool holed)
{
    Golf& g = *m_game;
    const int32_t id = m_holeId;
    const int32_t course = id / kHolesPerCourse;
    const int32_t hole = id % kHolesPerCourse;
    const int32_t strokes = g.holeStrokes;
    char line[96];
    if (holed) {
        std::snprintf(line, sizeof line, "hole %d %d strokes %d par %d", course, hole + 1, strokes, holePar(hole));
    } else {
        std::snprintf(line, sizeof line, "gaveup %d %d", course, hole + 1);
    }
    logLine(line);
    m_played += 1;
    m_strokes += strokes;
    m_par += holePar(hole);
    m_onHole = false;
    m_next += 1;
    if (m_replay ? !replayHasKeys() : m_next == m_holes.size()) {
        std::snprintf(line, sizeof line, "autoplay holes %d strokes %d par %d", m_played, m_strokes, m_par);
        logLine(line);
        m_done = true;
        g.stop();
        return;
    }
    // The scorecard leads on to the game's next hole; any other goes there directly.
    if (!m_replay && (!holed || m_holes[m_next] != naturalNext(id))) {
        startHole(m_holes[m_next], true);
    }
    m_pressWait = kPressEvery / 2;
}

void AutoplayGame::startHole(int32_t id, bool fresh)
{
    Golf& g = *m_game;
    // Where a player would pick the hole from the menus, the runner puts the
    // game there: scorecard, map and message away, then the hole's set-up.
    for (const Ref<Vsprite>& shown : { g.scorecard, g.overheadMap, g.message, Ref<Vsprite>(g.mapKeyHelpMenu) }) {
        if (shown) {
            shown->removeSelf();
        }
    }
    if (fresh || g.course != id / kHolesPerCourse) {
        g.roundStrokes = 0;
    }
    g.course = id / kHolesPerCourse;
    g.hole = id % kHolesPerCourse;
    g.setGameState(Golf::HoleStart);
}

}  // namespace tarnby
