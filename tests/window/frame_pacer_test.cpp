// The game's frame pacing in a window, on a simulated clock: frames that show
// something sleep until they are due; a frame that shows nothing is put off
// and ends together with the next one, with the game's clock and every frame
// length as asked; input ends a put-off frame no later than a clock woken for
// every frame would let the game see it; long waits and late frames are never
// put off.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/sdl/frame_pacer.h"

namespace tarnby {
namespace {

// A pacer on a simulated clock that moves only when the pacer sleeps (and a
// little more: a sleep wakes `overshootUs` late) or when the test says the
// game worked. A nudge can be planned for a moment of the simulated clock.
class SimulatedPacer : public FramePacer {
public:
    int64_t us = 0;             // the simulated clock, µs from the start
    int64_t overshootUs = 300;  // how late a sleep wakes
    std::optional<int64_t> nudgeAtUs;

    void work(int64_t micros) { us += micros; }

protected:
    Clock::time_point clockNow() override { return m_start + std::chrono::microseconds(us); }
    void sleepUntil(Clock::time_point until) override { wakeAt(until); }
    bool waitForNudge(std::unique_lock<std::mutex>&, Clock::time_point until) override
    {
        const int64_t untilUs = std::chrono::duration_cast<std::chrono::microseconds>(until - m_start).count();
        if (nudgeAtUs && *nudgeAtUs < untilUs) {
            us = std::max(us, *nudgeAtUs);
            nudgeAtUs.reset();
            m_nudged = true;
            return true;
        }
        wakeAt(until);
        return false;
    }

private:
    void wakeAt(Clock::time_point until)
    {
        const int64_t untilUs = std::chrono::duration_cast<std::chrono::microseconds>(until - m_start).count();
        us = std::max(us, untilUs + overshootUs);
    }
};

// One frame of the game: it works, shows something or not, and waits for the
// rest of its `ms` as the game's frame wait does (counted from the last
// frame's end on the game's clock). Gives the frame's length on the game's clock.
struct Game {
    SimulatedPacer& pacer;
    uint32_t lastTick = 0;

    int32_t frame(bool shows, int64_t workUs = 500, int32_t ms = 16)
    {
        pacer.work(workUs);
        if (shows) {
            pacer.shown();
        }
        const int32_t left = static_cast<int32_t>(lastTick + static_cast<uint32_t>(ms) - pacer.now());
        if (left > 0) {
            pacer.sleep(left);
        }
        const int32_t length = static_cast<int32_t>(pacer.now() - lastTick);
        lastTick = pacer.now();
        return length;
    }
};

TEST(FramePacerTest, FramesThatShowNothingComeInPairsWithTheLengthsAsked)
{
    // Every frame shows something: one sleep each, ending when due (plus the
    // sleep's own lateness), and the game's clock is the real one.
    {
        SimulatedPacer pacer;
        Game game { pacer };
        for (int32_t i = 0; i < 40; ++i) {
            const int32_t length = game.frame(true);
            EXPECT_GE(length, 16) << "frame " << i;
            EXPECT_LE(length, 17) << "frame " << i;
            EXPECT_EQ(pacer.now(), pacer.realNow()) << "frame " << i;
        }
        EXPECT_EQ(pacer.blocks(), 40u);
    }
    // The waiting aiming screen: the marker moves on every second frame. The
    // game thread sleeps once for each pair; every frame is as long as asked
    // on the game's clock, the clock is never ahead of the real one and at
    // most one frame behind it, and only the frames after a put-off one run late.
    {
        SimulatedPacer pacer;
        Game game { pacer };
        std::vector<int64_t> lateUs;
        for (int32_t i = 0; i < 80; ++i) {
            const bool shows = i % 2 == 1;
            const int64_t startUs = pacer.us;
            const uint64_t blocksBefore = pacer.blocks();
            const int32_t length = game.frame(shows);
            EXPECT_GE(length, 16) << "frame " << i;
            EXPECT_LE(length, 17) << "frame " << i;
            EXPECT_LE(static_cast<int64_t>(pacer.now()), pacer.realNow()) << "frame " << i;
            EXPECT_LE(pacer.realNow() - pacer.now(), 17) << "frame " << i;
            // A frame that shows something here follows a put-off one: it
            // finds its time already past and does not sleep.
            if (shows) {
                EXPECT_EQ(pacer.blocks(), blocksBefore) << "frame " << i;
                lateUs.push_back(startUs);
            } else {
                EXPECT_EQ(pacer.blocks(), blocksBefore + 1) << "frame " << i;
            }
        }
        EXPECT_EQ(pacer.blocks(), 40u);
        // The shown frames still come evenly: one every 32 ms and a little.
        for (size_t i = 1; i < lateUs.size(); ++i) {
            EXPECT_GE(lateUs[i] - lateUs[i - 1], 32000) << i;
            EXPECT_LE(lateUs[i] - lateUs[i - 1], 34000) << i;
        }
    }
    // A quiet menu shows nothing at all: still one sleep for two frames.
    {
        SimulatedPacer pacer;
        Game game { pacer };
        for (int32_t i = 0; i < 40; ++i) {
            EXPECT_GE(game.frame(false), 16) << "frame " << i;
        }
        EXPECT_EQ(pacer.blocks(), 20u);
    }
}

TEST(FramePacerTest, InputEndsAPutOffFrameNoLaterThanAFrameWokenOnTime)
{
    // Input 5 ms into a frame that shows nothing: the frame ends when due, at
    // the real time, as it would have without putting off.
    {
        SimulatedPacer pacer;
        Game game { pacer };
        pacer.nudgeAtUs = 5000;
        EXPECT_EQ(game.frame(false, 1000), 16);
        EXPECT_EQ(pacer.realNow(), 16);
        EXPECT_EQ(pacer.blocks(), 2u) << "a wait for the input, then the rest of the frame";
    }
    // Input 8 ms after a put-off frame was due: the frame ends at once with
    // the game's clock at its end, so the game sees the input 8 ms after it
    // was due, where a clock woken for every frame would have let it wait for
    // the end of the next frame; the next frame is back on the real clock.
    {
        SimulatedPacer pacer;
        Game game { pacer };
        pacer.nudgeAtUs = 24000;
        EXPECT_EQ(game.frame(false, 1000), 16);
        EXPECT_EQ(pacer.us, 24000);
        EXPECT_EQ(game.frame(true, 1000), 16);
        EXPECT_EQ(pacer.now(), 32u);
        EXPECT_EQ(pacer.now(), pacer.realNow());
    }
    // Input that came while the frame ran: the frame is not put off.
    {
        SimulatedPacer pacer;
        Game game { pacer };
        pacer.nudge();
        EXPECT_EQ(game.frame(false, 1000), 16);
        EXPECT_EQ(pacer.now(), pacer.realNow());
        EXPECT_EQ(pacer.blocks(), 1u);
        // The next one is again: the nudge was taken with the frame's end.
        EXPECT_EQ(game.frame(false, 1000), 16);
        EXPECT_EQ(pacer.realNow(), 48);
    }
}

TEST(FramePacerTest, LongWaitsAndLateFramesAreNotPutOff)
{
    SimulatedPacer pacer;
    Game game { pacer };
    // A screen shown for a second, then nothing: the second is not doubled.
    EXPECT_EQ(game.frame(false, 1000, 1000), 1000);
    EXPECT_EQ(pacer.realNow(), 1000);
    EXPECT_EQ(pacer.blocks(), 1u);
    // The longest wait still put off, and the shortest not.
    EXPECT_EQ(game.frame(false, 0, FramePacer::kLongestPutOffMs), FramePacer::kLongestPutOffMs);
    EXPECT_EQ(pacer.realNow(), 1000 + 2 * FramePacer::kLongestPutOffMs);
    EXPECT_EQ(game.frame(true, 0), 20) << "the frame after a put-off one runs late";
    EXPECT_EQ(game.frame(false, 0, FramePacer::kLongestPutOffMs + 1), FramePacer::kLongestPutOffMs + 1);
    EXPECT_EQ(pacer.now(), pacer.realNow());
    // A frame that took longer than it had: no sleep, as long as it took.
    const uint64_t blocks = pacer.blocks();
    EXPECT_EQ(game.frame(false, 25000), 25);
    EXPECT_EQ(pacer.blocks(), blocks);
    EXPECT_EQ(pacer.now(), pacer.realNow());
}

}  // namespace
}  // namespace tarnby
