// The present/paint hand-off between the game and window threads: a copied
// offer, a window that never answers (the offer is withdrawn, and a late
// window copies nothing), and a closed window.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/sdl/paint_handoff.h"

namespace tarnby {
namespace {

TEST(PaintHandoffTest, TheWindowCopiesWhileTheGameWaitsAndALateWindowCopiesNothing)
{
    PaintHandoff handoff;
    const uint32_t frame[4] = { 1, 2, 3, 4 };
    const PaintRequest request { frame, 2, 2, 0, 0, 2, 1 };

    // A window that serves: the game returns once the copy is done, and the
    // copy saw the frame as it was offered.
    // The game polls with 1 ms sleeps as it does in play, so a busy machine
    // still gives the window half a second; and the window stops looking once
    // the game has gone on, so a missed offer fails the test instead of hanging it.
    std::atomic<bool> woken { false };
    std::atomic<bool> gameWentOn { false };
    uint32_t copied = 0;
    std::thread window([&]() {
        while (!woken.load() && !gameWentOn.load()) {
            std::this_thread::yield();
        }
        while (!gameWentOn.load()
               && !handoff.serve([&](const PaintRequest& r) { copied = r.pixels[0] + r.pixels[1] + r.w; })) {
            std::this_thread::yield();
        }
    });
    const bool shown = handoff.present(
        request, [&]() { woken = true; }, []() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); });
    gameWentOn = true;
    window.join();
    EXPECT_TRUE(shown);
    EXPECT_EQ(copied, 5u);
    EXPECT_FALSE(handoff.pending());

    // Nobody serves: 500 polls, then the offer is withdrawn.
    int32_t polls = 0;
    auto count = [&]() { ++polls; };
    EXPECT_FALSE(handoff.present(
        request, []() {}, count));
    EXPECT_EQ(polls, PaintHandoff::kPolls);
    EXPECT_FALSE(handoff.pending());
    bool lateCopy = false;
    EXPECT_FALSE(handoff.serve([&](const PaintRequest&) { lateCopy = true; }));
    EXPECT_FALSE(lateCopy) << "a window arriving after the game went on must not read its frame";

    // A closed window: offers return at once.
    handoff.close();
    EXPECT_FALSE(handoff.present(
        request, []() {}, count));
    EXPECT_EQ(polls, PaintHandoff::kPolls) << "no further poll";
}

}  // namespace
}  // namespace tarnby
