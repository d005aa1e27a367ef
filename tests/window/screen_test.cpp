// The frame on its way to the screen: the present/paint hand-off between the
// game and window threads (the game draws on while the window takes what was
// presented, one wake a batch, a resize, rectangles cut to the frame, a closed
// window, a window serving a running game), and the copy into a raw 5-6-5
// screen (colour packing, the three orientations, the clip at the frame's
// bottom and the screen's edges).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
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

struct Taken {
    std::vector<uint32_t> frame;
    PaintRequest area;
};

bool take(PaintHandoff& handoff, Taken& taken)
{
    return handoff.serve([&](const PaintRequest& r) {
        taken.frame.assign(r.pixels, r.pixels + static_cast<size_t>(r.width) * static_cast<size_t>(r.height));
        taken.area = r;
    });
}

TEST(PaintHandoffTest, TheGameDrawsOnWhileTheWindowTakesWhatWasPresented)
{
    PaintHandoff handoff;
    std::vector<uint32_t> frame(4 * 3, 7);
    Taken taken;

    // The first present hands over the whole frame (a new size) and asks for a wake.
    EXPECT_TRUE(handoff.present({ frame.data(), 4, 3, 1, 1, 1, 1 }));
    EXPECT_TRUE(handoff.pending());
    frame.assign(frame.size(), 9);  // the game draws on at once
    ASSERT_TRUE(take(handoff, taken));
    EXPECT_FALSE(handoff.pending());
    EXPECT_EQ((std::vector<int32_t> { taken.area.x, taken.area.y, taken.area.w, taken.area.h }),
        (std::vector<int32_t> { 0, 0, 4, 3 }));
    EXPECT_EQ(taken.frame, std::vector<uint32_t>(12, 7)) << "the window must see the frame as it was presented";
    EXPECT_FALSE(take(handoff, taken)) << "nothing new: nothing to take";

    // Two rectangles before the window looks: one wake, their union, only their pixels new.
    frame[1 * 4 + 0] = 1;
    EXPECT_TRUE(handoff.present({ frame.data(), 4, 3, 0, 1, 1, 1 }));
    frame[2 * 4 + 3] = 2;
    EXPECT_FALSE(handoff.present({ frame.data(), 4, 3, 3, 2, 1, 1 })) << "the window is already woken";
    ASSERT_TRUE(take(handoff, taken));
    EXPECT_EQ((std::vector<int32_t> { taken.area.x, taken.area.y, taken.area.w, taken.area.h }),
        (std::vector<int32_t> { 0, 1, 4, 2 }));
    EXPECT_EQ(taken.frame[4], 1u);
    EXPECT_EQ(taken.frame[11], 2u);
    EXPECT_EQ(taken.frame[5], 7u) << "pixels of the union that were not presented keep their last presented value";

    // Rectangles reaching beyond the frame are cut to it; ones wholly outside or empty hand nothing over.
    EXPECT_FALSE(handoff.present({ frame.data(), 4, 3, 5, 0, 2, 2 }));
    EXPECT_FALSE(handoff.present({ frame.data(), 4, 3, 1, 1, 0, 3 }));
    EXPECT_FALSE(handoff.present({ frame.data(), 4, 3, -2147483647, 0, 2147483647, 1 }));
    EXPECT_FALSE(handoff.pending());
    EXPECT_TRUE(handoff.present({ frame.data(), 4, 3, 2, -5, 2147483647, 2147483647 }));
    ASSERT_TRUE(take(handoff, taken));
    EXPECT_EQ((std::vector<int32_t> { taken.area.x, taken.area.y, taken.area.w, taken.area.h }),
        (std::vector<int32_t> { 2, 0, 2, 3 }));

    // A closed window: presents are dropped.
    handoff.close();
    EXPECT_FALSE(handoff.present({ frame.data(), 4, 3, 0, 0, 4, 3 }));
    EXPECT_FALSE(take(handoff, taken));
}

TEST(PaintHandoffTest, AWindowServingARunningGameEndsWithItsLastFrame)
{
    // The game presents frames of growing numbers, each a different rectangle,
    // and resizes once; the window takes whenever it is woken. What the window
    // holds at the end must be the game's last frame, pixel for pixel.
    PaintHandoff handoff;
    std::atomic<int32_t> wakes { 0 };
    std::atomic<bool> done { false };
    std::vector<uint32_t> shown;
    int32_t shownWidth = 0;
    std::thread window([&]() {
        auto copy = [&](const PaintRequest& r) {
            if (r.width != shownWidth || shown.size() != static_cast<size_t>(r.width) * static_cast<size_t>(r.height)) {
                shown.assign(static_cast<size_t>(r.width) * static_cast<size_t>(r.height), 0);
                shownWidth = r.width;
            }
            for (int32_t y = r.y; y < r.y + r.h; ++y) {
                for (int32_t x = r.x; x < r.x + r.w; ++x) {
                    shown[static_cast<size_t>(y * r.width + x)] = r.pixels[y * r.width + x];
                }
            }
        };
        while (!done.load()) {
            handoff.serve(copy);
            std::this_thread::yield();
        }
        handoff.serve(copy);
    });
    std::vector<uint32_t> frame;
    int32_t width = 0;
    int32_t height = 0;
    for (int32_t n = 1; n <= 2000; ++n) {
        if (n == 1 || n == 1000) {
            width = n == 1 ? 16 : 24;
            height = n == 1 ? 12 : 10;
            frame.assign(static_cast<size_t>(width) * static_cast<size_t>(height), static_cast<uint32_t>(n));
        }
        const int32_t x = n % width;
        const int32_t y = (n / 3) % height;
        frame[static_cast<size_t>(y * width + x)] = static_cast<uint32_t>(n);
        wakes += handoff.present({ frame.data(), width, height, x, y, 1, 1 }) ? 1 : 0;
    }
    done = true;
    window.join();
    EXPECT_EQ(shownWidth, width);
    EXPECT_EQ(shown, frame) << "the window's frame must end as the game's last frame";
    EXPECT_GE(wakes.load(), 1);
    EXPECT_FALSE(handoff.pending());
}

}  // namespace
}  // namespace tarnby
