// The headless host: the virtual clock that delivers scripted input on its
// way, the screen it keeps and the sounds it records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/headless/headless_host.h"
#include "platform/headless/png_writer.h"
#include "runtime/keys.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

// A viewport that writes down every key event with the clock's time.
class KeyLog : public Viewport {
public:
    void keyDown(int32_t key) override
    {
        events.push_back("down " + std::to_string(key) + " at " + std::to_string(host().tickCount()) + " pen "
                         + std::to_string(m_penX.load()) + "," + std::to_string(m_penY.load()));
        Viewport::keyDown(key);
    }
    void keyUp(int32_t key) override
    {
        events.push_back("up " + std::to_string(key) + " at " + std::to_string(host().tickCount()));
        Viewport::keyUp(key);
    }
    std::vector<std::string> events;
};

TEST(HeadlessHostTest, ScriptedKeysAndStylusArriveAsTheClockPassesTheirTimeInOrder)
{
    HeadlessHost h(8, 8);
    auto log = make<KeyLog>();
    h.attachInput(log.get());
    // Scheduled out of order; equal times keep the order they were given in.
    h.schedule({ 40, InputEvent::KeyUp, kKeyLeft, 0 });
    h.schedule({ 10, InputEvent::KeyDown, kKeyLeft, 0 });
    h.schedule({ 40, InputEvent::Key, kKeyBack, 0 });
    h.schedule({ 100, InputEvent::Char, 'a', 0 });
    EXPECT_EQ(h.pendingInput(), 4u);

    h.sleep(16);
    EXPECT_EQ(log->events, (std::vector<std::string> { "down 1 at 10 pen 0,0" })) << "delivered at its own time";
    EXPECT_TRUE(log->isKeyDown(kKeyLeft)) << "held until its key-up";
    EXPECT_EQ(h.tickCount(), 16u);
    h.sleep(16);
    EXPECT_EQ(log->events.size(), 1u) << "nothing is due before 40";
    h.sleep(16);
    EXPECT_EQ(log->events,
        (std::vector<std::string> { "down 1 at 10 pen 0,0", "up 1 at 40", "down 7 at 40 pen 0,0", "up 7 at 40" }));
    EXPECT_EQ(h.tickCount(), 48u) << "the clock ends where the sleep ends";
    h.sleep(60);
    EXPECT_EQ(log->events.back(), "up 97 at 100") << "a character is pressed and released";
    EXPECT_EQ(log->nextKey(), kKeyLeft);
    EXPECT_EQ(log->nextKey(), kKeyBack);
    EXPECT_EQ(log->nextKey(), 'a');
    EXPECT_EQ(h.pendingInput(), 0u);

    // An event already due is delivered at the next sleep or on request.
    h.schedule({ 5, InputEvent::Key, kKeyDigit0 + 3, 0 });
    h.deliverDueInput();
    EXPECT_EQ(log->nextKey(), '3');
    // Without a viewport attached, input is dropped rather than kept.
    h.attachInput(nullptr);
    h.schedule({ 120, InputEvent::Key, kKeyUp, 0 });
    h.sleep(100);
    EXPECT_EQ(h.pendingInput(), 0u);
    EXPECT_FALSE(log->hasKey());

    // The stylus: a tap, then the pen held down, dragged and lifted.
    h.attachInput(log.get());
    log->events.clear();
    h.schedule({ 220, InputEvent::Tap, 120, 200 });
    h.schedule({ 240, InputEvent::PenDown, 30, 40 });
    h.schedule({ 250, InputEvent::Drag, 5, -3 });
    h.schedule({ 255, InputEvent::Drag, 2, 1 });
    h.schedule({ 270, InputEvent::PenUp, 0, 0 });
    h.sleep(16);
    EXPECT_EQ(log->events, (std::vector<std::string> { "down 5 at 220 pen 120,200", "up 5 at 220" }))
        << "the tap's place is set before its select press";
    h.sleep(16);
    EXPECT_TRUE(log->isKeyDown(kKeySelect)) << "the pen is still down";
    h.sleep(16);
    EXPECT_EQ(std::make_pair(log->m_dragX.load(), log->m_dragY.load()), std::make_pair(7, -2));
    h.sleep(16);
    EXPECT_FALSE(log->isKeyDown(kKeySelect));
    EXPECT_EQ(log->events.back(), "up 5 at 270");
}

TEST(HeadlessHostTest, KeepsTheScreenAsPresentedAndRecordsSounds)
{
    HeadlessHost h(4, 3);
    // A 6 x 2 frame presented at (2, 1): only the part on the screen lands.
    std::vector<uint32_t> frame(6 * 3);
    for (size_t i = 0; i < frame.size(); ++i) {
        frame[i] = 0xFF000000u | static_cast<uint32_t>(i);
    }
    h.present(frame.data(), 6, 2, 1, 4, 2);
    EXPECT_EQ(h.screenAt(2, 1), 0xFF000000u | 8u);
    EXPECT_EQ(h.screenAt(3, 2), 0xFF000000u | 15u);
    EXPECT_EQ(h.screenAt(1, 1), 0u) << "outside the rectangle";
    EXPECT_EQ(h.screenAt(9, 9), 0u) << "off the screen reads as black";
    EXPECT_EQ(h.presents(), 1);
    EXPECT_EQ(h.presentedPixels(), 4) << "2 x 2 of the 4 x 2 rectangle are on the screen";
    EXPECT_EQ(h.presented()[0], (HeadlessHost::Rect { 2, 1, 4, 2 })) << "recorded as asked";
    h.present(frame.data(), 6, -10, -10, 5, 5);
    EXPECT_EQ(h.presentedPixels(), 4) << "a rectangle wholly off the screen copies nothing";

    test::ScratchFolder folder("headless_host");
    ASSERT_TRUE(h.writePng(folder.file("screen.png")));
    std::vector<uint8_t> back;
    int32_t w = 0, ht = 0;
    ASSERT_TRUE(readRgbaPng(folder.file("screen.png"), back, w, ht));
    ASSERT_EQ(w * ht, 12);
    EXPECT_EQ(back[(1 * 4 + 2) * 4 + 2], 8) << "blue byte of the pixel at (2, 1)";

    std::vector<std::string> heard;
    h.playSound("swing");
    h.setSoundListener([&](const std::string& name) { heard.push_back(name); });
    h.playSound("hit");
    h.playSound(nullptr);
    h.playSound("incup");
    EXPECT_EQ(h.sounds(), (std::vector<std::string> { "swing", "hit", "incup" }));
    EXPECT_EQ(heard, (std::vector<std::string> { "hit", "incup" })) << "the listener hears what follows it";
}

}  // namespace
}  // namespace tarnby
