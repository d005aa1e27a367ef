// The frame on its way to the screen: the present/paint hand-off between the
// game and window threads (a copied offer, a window that never answers, a
// closed window), and the copy into a raw 5-6-5 screen (colour packing, the
// three orientations, the clip at the frame's bottom and the screen's edges).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/raw_copy.h"

namespace tarnby {
namespace {

// A screen in memory with a guard word of 0xEEEE around every pixel row, so
// that stray writes show.
struct MemoryScreen {
    MemoryScreen(int32_t w, int32_t h) : height(h), words(static_cast<size_t>((w + 2) * h), 0xEEEE)
    {
        raw.pixels = reinterpret_cast<uint8_t*>(words.data() + 1);
        raw.xStride = 2;
        raw.yStride = (w + 2) * 2;
        raw.widthPixels = w;
        raw.heightPixels = h;
    }
    uint16_t at(int32_t column, int32_t row) const
    {
        uint16_t p;
        std::memcpy(&p, raw.pixels + row * raw.yStride + column * raw.xStride, 2);
        return p;
    }
    // The words never written, the two guards of every row included.
    int32_t untouched() const { return static_cast<int32_t>(std::count(words.begin(), words.end(), 0xEEEE)); }
    int32_t height;
    std::vector<uint16_t> words;
    RawScreen raw;
};

// A frame whose every pixel is different and carries a depth byte.
std::vector<uint32_t> patterned(int32_t w, int32_t h)
{
    std::vector<uint32_t> frame(static_cast<size_t>(w * h));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            frame[static_cast<size_t>(y * w + x)] = 0x7F000000u | static_cast<uint32_t>(x * 8) << 16
                                                    | static_cast<uint32_t>(y * 8) << 8
                                                    | static_cast<uint32_t>((x + y) * 4);
        }
    }
    return frame;
}

TEST(RawCopyTest, PacksTheTopBitsOfEachColourAndDropsTheDepth)
{
    // Green 0xFC keeps six bits while red's low bits are ignored; bits below
    // each colour's top are dropped, and so is the depth byte.
    const std::pair<uint32_t, uint16_t> cases[] = { { 0xFFFFFFFFu, 0xFFFF }, { 0xFF000000u, 0 },
        { 0x00F80000u, 0xF800 }, { 0x0007FC00u, 0x07E0 }, { 0x000000F8u, 0x001F }, { 0x00070307u, 0 },
        { 0x12345678u, 0x6 << 11 | 0x15 << 5 | 0xF } };
    for (auto [word, packed] : cases) {
        EXPECT_EQ(rgb565(word), packed) << std::hex << word;
    }
}

TEST(RawCopyTest, EachOrientationPutsEveryPixelInItsPlace)
{
    const int32_t fw = 6;
    const int32_t fh = 4;
    const auto frame = patterned(fw, fh);
    const int32_t top = 1;  // the window starts one row down the screen
    // Same orientation: frame (x, y) at screen (x, y + top). A quarter turn
    // on a native 5 x 6 screen: at column y + top, row height - 1 - x. 270
    // degrees: at column width - 1 - (y + top), row x.
    MemoryScreen same(6, 6), quarter(5, 6), threeQuarters(5, 6);
    rawCopy(frame.data(), fw, fh, 0, 0, fw, fh, top, ScreenTurn::Same, same.raw);
    rawCopy(frame.data(), fw, fh, 0, 0, fw, fh, top, ScreenTurn::Quarter, quarter.raw);
    rawCopy(frame.data(), fw, fh, 0, 0, fw, fh, top, ScreenTurn::ThreeQuarters, threeQuarters.raw);
    for (int32_t y = 0; y < fh; ++y) {
        for (int32_t x = 0; x < fw; ++x) {
            const uint16_t want = rgb565(frame[static_cast<size_t>(y * fw + x)]);
            EXPECT_EQ(same.at(x, y + top), want) << "same, frame " << x << "," << y;
            EXPECT_EQ(quarter.at(y + top, 6 - 1 - x), want) << "quarter, frame " << x << "," << y;
            EXPECT_EQ(threeQuarters.at(5 - 1 - (y + top), x), want) << "270, frame " << x << "," << y;
        }
    }
    // Exactly the frame's pixels were written, nothing beside the rows.
    EXPECT_EQ(same.untouched(), 8 * 6 - fw * fh);
    EXPECT_EQ(quarter.untouched(), 7 * 6 - fw * fh);
    EXPECT_EQ(threeQuarters.untouched(), 7 * 6 - fw * fh);
}

TEST(RawCopyTest, ClipsAtTheFrameBottomAndTheScreenEdges)
{
    const int32_t fw = 4;
    const int32_t fh = 5;
    const auto frame = patterned(fw, fh);
    // A paint rectangle reaching below the frame copies only the frame's rows.
    MemoryScreen screen(4, 8);
    rawCopy(frame.data(), fw, fh, 1, 3, 3, 9, 0, ScreenTurn::Same, screen.raw);
    EXPECT_EQ(screen.untouched(), 6 * 8 - 2 * (fh - 3));
    EXPECT_EQ(screen.at(1, 3), rgb565(frame[3 * fw + 1]));
    EXPECT_EQ(screen.at(2, 4), rgb565(frame[4 * fw + 2]));
    EXPECT_EQ(screen.at(2, 5), 0xEEEE);
    // Empty and inverted rectangles copy nothing.
    MemoryScreen empty(4, 8);
    rawCopy(frame.data(), fw, fh, 2, 2, 2, 4, 0, ScreenTurn::Same, empty.raw);
    rawCopy(frame.data(), fw, fh, 0, 5, 4, 9, 0, ScreenTurn::Same, empty.raw);
    rawCopy(frame.data(), fw, fh, 3, 1, 1, 4, 0, ScreenTurn::Same, empty.raw);
    EXPECT_EQ(empty.untouched(), 6 * 8);
    // A window reaching past the screen's bottom, or a screen smaller than the
    // frame, loses the pixels that fall off, and nothing is written beyond.
    MemoryScreen small(3, 4);
    rawCopy(frame.data(), fw, fh, 0, 0, fw, fh, 2, ScreenTurn::Same, small.raw);
    EXPECT_EQ(small.untouched(), 2 * 4 + 3 * 2);
    MemoryScreen turned(3, 3);
    rawCopy(frame.data(), fw, fh, 0, 0, fw, fh, 0, ScreenTurn::Quarter, turned.raw);
    EXPECT_EQ(turned.untouched(), 2 * 3);
    rawCopy(frame.data(), fw, fh, 0, 0, fw, fh, 0, ScreenTurn::ThreeQuarters, turned.raw);
    EXPECT_EQ(turned.untouched(), 2 * 3);
}

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
