// Playing the game inside a test: the headless host, feeding scheduled input
// and actions into the game as time passes and stopping the game at a time
// limit, a log that keeps every line, and save records written and read.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "golf/device_profile.h"
#include "golf/game_log.h"
#include "golf/golf.h"
#include "golf/save_record.h"
#include "platform/headless/headless_host.h"
#include "runtime/files.h"
#include "runtime/host.h"
#include "runtime/random.h"
#include "support/test_support.h"

namespace tarnby::test {

class LinesLog : public GameLog {
public:
    void write(const std::string& line) override { lines.push_back(line); }
    // Lines containing `part`, in order.
    std::vector<std::string> matching(const std::string& part) const
    {
        std::vector<std::string> found;
        for (const std::string& line : lines) {
            if (line.find(part) != std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    }
    bool has(const std::string& part) const { return !matching(part).empty(); }
    std::vector<std::string> lines;
};

// One game on a virtual clock, sized and profiled as a device.
class Play : public HeadlessHost {
public:
    Play(int32_t width, int32_t height, bool touch, const std::string& name) : HeadlessHost(width, height)
    {
        m_folder = std::filesystem::path(binFolder()) / ".." / "test-scratch"
                   / (name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
        setDataFolder(binFolder());
        reseedRandom(0);
        deviceProfile() = DeviceProfile {};
        deviceProfile().isPocketPC = touch;
        golf = make<Golf>();
        golf->setSavePath(savePath());
        golf->setLog(&log);
        golf->setSize(width, height);
        golf->attach();
    }
    ~Play() override
    {
        golf->destroy();
        golf = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    std::string savePath() const { return (m_folder / "tarnbygolf").string(); }
    void writeSave(const ByteArray& save) const
    {
        ASSERT_TRUE(writeWholeFile(savePath(), save.data(), static_cast<size_t>(save.length())));
    }
    // The save file as the game wrote it: always 40 bytes.
    ByteArray readSave() const
    {
        ByteArray bytes = readWholeFile(savePath());
        EXPECT_EQ(bytes.length(), kSaveSize);
        return bytes.length() == kSaveSize ? bytes : ByteArray(kSaveSize);
    }

    void sleep(int32_t milliseconds) override
    {
        HeadlessHost::sleep(milliseconds);
        while (!m_events.empty() && static_cast<int32_t>(tickCount() - m_events.front().first) >= 0) {
            auto action = std::move(m_events.front().second);
            m_events.pop_front();
            action();
        }
        if (static_cast<int32_t>(tickCount() - m_limit) >= 0 || (m_until && m_until())) {
            golf->stop();
        }
    }

    // Input and other actions at virtual times (events of equal time keep their order).
    void key(uint32_t at, int32_t code)
    {
        at_(at, [this, code] {
            golf->keyDown(code);
            golf->keyUp(code);
        });
    }
    // A stylus tap at (x, y), or a drag by (dx, dy), 16 ms from now, then 100 ms of play.
    void tap(int32_t x, int32_t y)
    {
        at_(now() + 16, [this, x, y] {
            golf->m_penX = x;
            golf->m_penY = y;
            golf->keyDown(5);
            golf->keyUp(5);
        });
        runUntil(now() + 100);
    }
    void drag(int32_t dx, int32_t dy)
    {
        at_(now() + 16, [this, dx, dy] {
            golf->m_dragX += dx;
            golf->m_dragY += dy;
        });
        runUntil(now() + 100);
    }
    void at_(uint32_t at, std::function<void()> action)
    {
        auto it = m_events.begin();
        while (it != m_events.end() && static_cast<int32_t>(it->first - at) <= 0) {
            ++it;
        }
        m_events.insert(it, { at, std::move(action) });
    }

    // Runs the game loop (or one of the game's own screen loops) until the virtual clock reaches `until`.
    void runUntil(uint32_t until, const std::function<void()>& screen = nullptr)
    {
        m_limit = until;
        golf->m_stop = false;
        screen ? screen() : golf->run();
    }
    // Runs until the state is `state` (checked every frame) or `most` ms pass;
    // true when the state was reached.
    bool runTo(int32_t state, uint32_t most = 20000)
    {
        if (golf->gameState != state) {
            m_until = [this, state] { return golf->gameState == state; };
            runUntil(tickCount() + most);
            m_until = nullptr;
        }
        return golf->gameState == state;
    }
    // From the start-up screen into aiming at the saved (or first) hole.
    void startAndResume()
    {
        runUntil(tickCount() + 1500);
        key(tickCount() + 16, 'R');
        ASSERT_TRUE(runTo(Golf::Aiming, 2000)) << "resuming lands in aiming";
    }
    // Drops the ball into the cup at once, `strokes` strokes into the hole (or as played).
    void holeOut(int32_t strokes = -1)
    {
        golf->holeStrokes = strokes < 0 ? golf->holeStrokes : strokes;
        const Fixed x = golf->pinSprite->getX3d();
        const Fixed z = golf->pinSprite->getZ3d();
        golf->ball->setPosition(x, golf->terrain->heightAt(x, z), z);
        golf->ball->setVelocity(0, 0, 0);
        golf->setGameState(Golf::BallFlight);
        golf->m_frameTime = 16;
        golf->stepBallFlight();
    }

    uint32_t now() { return tickCount(); }

    Ref<Golf> golf;
    LinesLog log;

private:
    std::deque<std::pair<uint32_t, std::function<void()>>> m_events;
    uint32_t m_limit = 0;
    std::function<bool()> m_until;
    std::filesystem::path m_folder;
};

// A save record: the next hole, the round's strokes, the flags, the course and
// the reserved bytes, which the game must never touch.
constexpr int32_t kReservedLow = 0xA2A1;
constexpr int32_t kReservedHigh = 0xA4A3;
using SaveFields = std::array<int32_t, 6>;
inline ByteArray saveRecord(int32_t hole, int32_t strokes, int32_t flags, int32_t course)
{
    ByteArray save(kSaveSize);
    const SaveFields fields = { hole, strokes, flags, course, kReservedLow, kReservedHigh };
    const int32_t offsets[] = { kSaveHole, kSaveRoundStrokes, kSaveFlags, kSaveCourse, kSaveReserved,
        kSaveReserved + 2 };
    for (size_t i = 0; i < fields.size(); ++i) {
        writeSaveShort(save, offsets[i], fields[i]);
    }
    return save;
}
inline SaveFields saveFields(const ByteArray& save)
{
    return { readSaveShort(save, kSaveHole), readSaveShort(save, kSaveRoundStrokes), readSaveShort(save, kSaveFlags),
        readSaveShort(save, kSaveCourse), readSaveShort(save, kSaveReserved), readSaveShort(save, kSaveReserved + 2) };
}
// The top-score table as (total, course) pairs, best first.
using TopScores = std::vector<std::pair<int32_t, int32_t>>;
inline TopScores topScores(const ByteArray& save)
{
    TopScores rows;
    for (int32_t i = 0; i < kTopScoreCount; ++i) {
        rows.emplace_back(readSaveShort(save, kSaveTopScores + 4 * i), readSaveShort(save, kSaveTopScores + 4 * i + 2));
    }
    return rows;
}
inline std::vector<uint8_t> bytesOf(const ByteArray& save) { return std::vector<uint8_t>(save.begin(), save.end()); }

// A test on a touch screen that starts aiming at the first hole of a new game.
class Aiming : public ::testing::Test {
protected:
    Aiming() { play.startAndResume(); }

    Play play { 240, 320, true, ::testing::UnitTest::GetInstance()->current_test_info()->name() };
    Golf& game = *play.golf;
};

}  // namespace tarnby::test
