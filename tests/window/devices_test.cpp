// The window's devices without a window: keyboard, text, mouse and gamepad
// events into game key codes and stylus fields (row by row of the key tables),
// the frame layout, the present/paint hand-off between the game and window
// threads (the game draws on while the window takes what was presented, one
// wake a batch, a resize, rectangles cut to the frame, a closed window, a
// window serving a running game), and the copy into a raw 5-6-5 screen (colour
// packing, the three orientations, the clip at the frame's bottom and the
// screen's edges).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/sdl/gamepad_mapper.h"
#include "platform/sdl/input_gate.h"
#include "platform/sdl/input_mapper.h"
#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/raw_copy.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;

// A game that writes down every key event it receives, as "+k" or "-k".
class KeyRecorder : public Viewport {
public:
    void keyDown(int32_t key) override
    {
        events += (events.empty() ? "+" : " +") + std::to_string(key);
        Viewport::keyDown(key);
    }
    void keyUp(int32_t key) override
    {
        events += (events.empty() ? "-" : " -") + std::to_string(key);
        Viewport::keyUp(key);
    }
    std::string take() { return std::exchange(events, ""); }
    // The stylus fields: pen x and y, drag x and y.
    Ints stylus() const { return { m_penX.load(), m_penY.load(), m_dragX.load(), m_dragY.load() }; }
    std::string events;
};

FrameLayout layout(int32_t windowWidth, int32_t windowHeight, bool doubling)
{
    FrameLayout l;
    l.set(windowWidth, windowHeight, 240, 320, doubling);
    return l;
}

// A game recording its keys, fed by the keyboard and mouse without letter keys.
class InputTest : public testing::Test {
protected:
    // A key pressed and released the way the keyboard reports it: key down,
    // the text it types (if any), key up.
    std::string press(SDL_Keycode key, const char* typed)
    {
        input->keyDown(key);
        input->text(typed);
        input->keyUp(key);
        return game->take();
    }
    Ref<KeyRecorder> game = make<KeyRecorder>();
    std::optional<InputMapper> input { std::in_place, *game, KeyMap(false) };
};

TEST_F(InputTest, EveryKeyOfBothTablesGivesItsCodeOnceAndTheCharacterPathTheRest)
{
    struct Row {
        SDL_Keycode key;
        const char* typed;
        const char* events;
    };
    // The soft keys and Escape press again at their release; nine is not a
    // key, so only its character arrives; star and pound typed with shift
    // come through the character path; without a letter keyboard letters are
    // characters only; the last three are not game keys at all.
    const Row rows[] = { { SDLK_LEFT, nullptr, "+1 -1" }, { SDLK_RIGHT, nullptr, "+2 -2" },
        { SDLK_UP, nullptr, "+3 -3" }, { SDLK_DOWN, nullptr, "+4 -4" }, { SDLK_RETURN, "\r", "+5 -5" },
        { SDLK_KP_ENTER, nullptr, "+5 -5" }, { SDLK_F1, nullptr, "+5 +5 -5" }, { SDLK_F2, nullptr, "+6 +6 -6" },
        { SDLK_ESCAPE, nullptr, "+7 +7 -7" }, { SDLK_BACKSPACE, nullptr, "+7 -7" }, { SDLK_F8, nullptr, "+42 -42" },
        { SDLK_F9, nullptr, "+35 -35" }, { SDLK_SPACE, " ", "+32 -32" }, { SDLK_0, "0", "+48 -48" },
        { SDLK_5, "5", "+53 -53" }, { SDLK_8, "8", "+56 -56" }, { SDLK_KP_3, "3", "+51 -51" },
        { SDLK_KP_0, "0", "+48 -48" }, { SDLK_9, "9", "+57 -57" }, { SDLK_KP_9, "9", "+57 -57" },
        { SDLK_8, "*", "+56 +42 -42 -56" }, { SDLK_3, "#", "+51 +35 -35 -51" }, { SDLK_w, "w", "+119 -119" },
        { SDLK_w, "W", "+87 -87" }, { SDLK_a, "a", "+97 -97" }, { SDLK_F11, nullptr, "" }, { SDLK_TAB, nullptr, "" },
        { KeyMap::kActionKey, nullptr, "" } };
    for (const auto& row : rows) {
        EXPECT_EQ(press(row.key, row.typed), row.events)
            << "key " << SDL_GetKeyName(row.key) << " typing " << (row.typed ? row.typed : "nothing");
    }

    // F1's release alone (its press went to another window) is still a whole press.
    input->keyUp(SDLK_F1);
    EXPECT_EQ(game->take(), "+5 -5");
    // The action key's release never counts, whatever came before.
    input->keyDown(SDLK_RETURN);
    input->keyUp(KeyMap::kActionKey);
    input->keyUp(SDLK_RETURN);
    EXPECT_EQ(game->take(), "+5 -5");

    // Characters beyond plain ASCII would alias unrelated codes: dropped
    // (an accented A, then t, then the euro sign).
    input->text("\xc3\x80t\xe2\x82\xac");
    EXPECT_EQ(game->take(), "+116 -116");

    // The queue sees F1 as two selects; its held bit is clear after the release.
    while (game->nextKey() != 0) {}
    input->keyDown(SDLK_F1);
    EXPECT_TRUE(game->isKeyDown(5));
    input->keyUp(SDLK_F1);
    EXPECT_FALSE(game->isKeyDown(5));
    EXPECT_EQ((Ints { game->nextKey(), game->nextKey(), game->nextKey() }), (Ints { 5, 5, 0 }));

    // The letter keyboard turns its letters into digits and symbols.
    input.emplace(*game, KeyMap(true));
    game->take();
    // Shifted, the same key: still its digit, and no character.
    const std::pair<SDL_Keycode, const char*> letters[] = { { SDLK_w, "w1" }, { SDLK_e, "e2" }, { SDLK_r, "r3" },
        { SDLK_s, "s4" }, { SDLK_d, "d5" }, { SDLK_f, "f6" }, { SDLK_z, "z7" }, { SDLK_x, "x8" }, { SDLK_c, "c9" },
        { SDLK_SLASH, "/0" }, { SDLK_a, "a*" }, { SDLK_g, "g#" }, { SDLK_w, "W1" }, { SDLK_a, "A*" } };
    for (const auto& [key, typedAndCode] : letters) {
        const std::string code = std::to_string(typedAndCode[1]);
        EXPECT_EQ(press(key, std::string(1, typedAndCode[0]).c_str()), "+" + code + " -" + code)
            << "letter key " << SDL_GetKeyName(key) << " typing " << typedAndCode[0];
    }
    // Other letters stay characters, and the ordinary keys are unchanged.
    EXPECT_EQ(press(SDLK_q, "q"), "+113 -113");
    EXPECT_EQ(press(SDLK_LEFT, nullptr), "+1 -1");
    EXPECT_EQ(press(SDLK_9, "9"), "+57 -57");
    EXPECT_EQ(KeyMap(false).code(SDLK_w), 0);
}

TEST_F(InputTest, TheMouseIsTheStylusAndTheGateHoldsInputUntilTheFrameEnds)
{
    // A 480 x 640 window doubling a 240 x 320 frame: positions halve. A key,
    // then a stroke of the stylus: down, two moves, up elsewhere; the drags
    // add up.
    input->setLayout(layout(480, 640, true));
    auto stroke = [&] {
        input->keyDown(SDLK_LEFT);
        input->keyUp(SDLK_LEFT);
        input->penDown(300, 200);
        input->penMove(311, 205, true);
        input->penMove(321, 209, true);
        input->penUp(333, 401);
    };
    stroke();
    EXPECT_EQ(game->stylus(), (Ints { 166, 200, 10, 4 }));
    EXPECT_EQ(game->take(), "+1 -1 +5 -5");
    // A mouse moving with its button up is not a stylus on the glass.
    input->penMove(400, 500, false);
    EXPECT_EQ(game->stylus(), (Ints { 166, 200, 10, 4 }));
    EXPECT_EQ(game->take(), "");

    // Through the gate: nothing reaches the game before its frame ends, then
    // everything in order and recorded, a second stroke still going on.
    auto gate = make<InputGate>();
    input.emplace(*gate, KeyMap(false));
    input->setLayout(layout(480, 640, true));
    Recording recording;
    stroke();
    input->penDown(100, 100);
    input->penMove(110, 104, true);
    EXPECT_EQ(game->take(), "");
    gate->deliver(*game, recording, 48);
    EXPECT_EQ(game->take(), "+1 -1 +5 -5 +5");
    // The pen's last place is where it went down again; the moves add up.
    EXPECT_EQ(game->stylus(), (Ints { 50, 50, 25, 10 }));
    EXPECT_EQ(recording.text(), "48 down 01\n48 up 01\n48 pen 150,100\n48 down 05\n48 drag 10,4\n"
                                "48 pen 166,200\n48 up 05\n48 pen 50,50\n48 down 05\n48 drag 5,2\n");
    // Delivered once: the next frame brings nothing new.
    gate->deliver(*game, recording, 64);
    EXPECT_EQ(game->take(), "");
    EXPECT_EQ(recording.size(), recording.text().size());
    EXPECT_EQ(recording.text().find("64 "), std::string::npos);

    // One to one: dragging from (10, 10) to (15, 12) adds 5 and 2.
    auto plain = make<KeyRecorder>();
    InputMapper direct(*plain, KeyMap(false));
    direct.setLayout(layout(240, 320, false));
    direct.penDown(10, 10);
    direct.penMove(15, 12, true);
    EXPECT_EQ(plain->stylus(), (Ints { 10, 10, 5, 2 }));
}

TEST_F(InputTest, FrameLayoutDoublesLetterboxesAndMapsBothWays)
{
    // Window, frame and doubling, then where the frame lands (x, y, w, h):
    // exactly twice the frame has no bars; a wider window while doubling gets
    // twice the size, centred; the frame still at its old shape after a turn
    // to landscape is fitted with bars at the sides; not doubling and too
    // small, it shrinks with bars above and below; not doubling in a window
    // more than twice the frame, it is fitted, not doubled.
    const std::pair<Ints, Ints> cases[] = { { { 480, 640, 240, 320, 1 }, { 0, 0, 480, 640 } },
        { { 600, 640, 240, 320, 1 }, { 60, 0, 480, 640 } }, { { 640, 480, 240, 320, 1 }, { 140, 0, 360, 480 } },
        { { 240, 200, 240, 100, 0 }, { 0, 50, 240, 100 } }, { { 1000, 700, 240, 320, 0 }, { 237, 0, 525, 700 } } };
    FrameLayout l;
    for (const auto& [in, out] : cases) {
        l.set(in[0], in[1], in[2], in[3], in[4] != 0);
        const FrameRect& d = l.destination();
        EXPECT_EQ((Ints { d.x, d.y, d.w, d.h }), out) << in[0] << "x" << in[1] << " doubling " << in[4];
    }
    // Taps in the bars of the wider window lie outside the frame, the same scale on.
    l = layout(600, 640, true);
    EXPECT_EQ((Ints { l.frameX(60), l.frameX(61), l.frameX(62), l.frameX(10), l.frameX(59), l.frameX(599) }),
        (Ints { 0, 0, 1, -25, -1, 269 }));
    // Every frame pixel maps to a window position that maps back to it.
    for (const auto& size : { std::pair { 480, 640 }, std::pair { 1000, 700 }, std::pair { 333, 517 } }) {
        l = layout(size.first, size.second, true);
        for (int32_t p = 0; p < 320; ++p) {
            ASSERT_TRUE(p >= 240 || l.frameX(l.windowX(p)) == p) << "column " << p << " in " << size.first;
            ASSERT_EQ(l.frameY(l.windowY(p)), p) << "row " << p << " in " << size.first << "x" << size.second;
        }
    }
    // Before the first frame, positions halve while doubling.
    l.set(480, 640, 0, 0, true);
    EXPECT_EQ(l.frameX(301), 150);
}

TEST_F(InputTest, GamepadButtonsAndStickAreTheHandheldsKeys)
{
    GamepadMapper pad(*game);
    // A shoulder is one step of the aim at its press.
    const std::pair<SDL_GameControllerButton, const char*> rows[] = { { SDL_CONTROLLER_BUTTON_DPAD_LEFT, "+1 -1" },
        { SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "+2 -2" }, { SDL_CONTROLLER_BUTTON_DPAD_UP, "+3 -3" },
        { SDL_CONTROLLER_BUTTON_DPAD_DOWN, "+4 -4" }, { SDL_CONTROLLER_BUTTON_A, "+5 -5" },
        { SDL_CONTROLLER_BUTTON_B, "+7 -7" }, { SDL_CONTROLLER_BUTTON_START, "+7 -7" },
        { SDL_CONTROLLER_BUTTON_BACK, "+6 -6" }, { SDL_CONTROLLER_BUTTON_X, "+49 -49" },
        { SDL_CONTROLLER_BUTTON_Y, "+55 -55" }, { SDL_CONTROLLER_BUTTON_LEFTSHOULDER, "+1 -1" },
        { SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, "+2 -2" }, { SDL_CONTROLLER_BUTTON_GUIDE, "" } };
    for (const auto& [button, events] : rows) {
        pad.button(button, true);
        pad.button(button, false);
        EXPECT_EQ(game->take(), events) << "button " << SDL_GameControllerGetStringForButton(button);
    }

    // The stick presses past 16000 and lets go only below 8000.
    for (int32_t x : { -12000, -20000, -12000, -17000 }) {
        pad.axis(SDL_CONTROLLER_AXIS_LEFTX, x);
    }
    EXPECT_EQ(game->take(), "+1");
    EXPECT_TRUE(game->isKeyDown(1));
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 30000);
    EXPECT_EQ(game->take(), "-1 +2");
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 32767);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, -32768);
    pad.axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
    EXPECT_EQ(game->take(), "-2 +4 -4 +3");

    // The d-pad and the stick hold the same arrow: it is up only when both let go.
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 0);
    EXPECT_TRUE(game->isKeyDown(3));
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_UP, false);
    EXPECT_FALSE(game->isKeyDown(3));
    EXPECT_EQ(game->take(), "+3 -3");
    // Unplugged while held: everything is let go.
    pad.button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
    pad.releaseAll();
    EXPECT_FALSE(game->isKeyDown(2));
    EXPECT_EQ(game->take(), "+2 -2");
}

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
    std::vector<uint32_t> frame;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            frame.push_back(0x7F000000u | static_cast<uint32_t>(x * 8) << 16 | static_cast<uint32_t>(y * 8) << 8
                            | static_cast<uint32_t>((x + y) * 4));
        }
    }
    return frame;
}

TEST(RawCopyTest, PacksTheTopBitsOfEachColourAndPutsEveryPixelInItsPlaceInEachOrientation)
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
            const uint16_t want = rgb565(frame[static_cast<size_t>(y) * fw + x]);
            EXPECT_EQ(same.at(x, y + top), want) << "same, frame " << x << "," << y;
            EXPECT_EQ(quarter.at(y + top, 6 - 1 - x), want) << "quarter, frame " << x << "," << y;
            EXPECT_EQ(threeQuarters.at(5 - 1 - (y + top), x), want) << "270, frame " << x << "," << y;
        }
    }
    // Exactly the frame's pixels were written, nothing beside the rows.
    EXPECT_EQ(same.untouched(), 8 * 6 - fw * fh);
    EXPECT_EQ(quarter.untouched(), 7 * 6 - fw * fh);
    EXPECT_EQ(threeQuarters.untouched(), 7 * 6 - fw * fh);

    // Green 0xFC keeps six bits while red's low bits are ignored; bits below
    // each colour's top are dropped, and so is the depth byte.
    const std::pair<uint32_t, uint16_t> cases[] = { { 0xFFFFFFFFu, 0xFFFF }, { 0xFF000000u, 0 },
        { 0x00F80000u, 0xF800 }, { 0x0007FC00u, 0x07E0 }, { 0x000000F8u, 0x001F }, { 0x00070307u, 0 },
        { 0x12345678u, 0x6 << 11 | 0x15 << 5 | 0xF } };
    for (auto [word, packed] : cases) {
        EXPECT_EQ(rgb565(word), packed) << std::hex << word;
    }
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
                    shown[static_cast<size_t>(y) * r.width + x] = r.pixels[y * r.width + x];
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
        frame[static_cast<size_t>(y) * width + x] = static_cast<uint32_t>(n);
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
