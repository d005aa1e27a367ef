// Keyboard, text, mouse and gamepad events into game key codes and stylus
// fields, row by row of the key tables.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/sdl/gamepad_mapper.h"
#include "platform/sdl/input_gate.h"
#include "platform/sdl/input_mapper.h"

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

TEST_F(InputTest, EveryKeyOfTheTableGivesItsCodeOnceAndTheCharacterPathTheRest)
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
}

TEST_F(InputTest, LetterKeyboardTurnsItsLettersIntoDigitsAndSymbols)
{
    input.emplace(*game, KeyMap(true));
    // Shifted, the same key: still its digit, and no character.
    const std::pair<SDL_Keycode, const char*> rows[] = { { SDLK_w, "w1" }, { SDLK_e, "e2" }, { SDLK_r, "r3" },
        { SDLK_s, "s4" }, { SDLK_d, "d5" }, { SDLK_f, "f6" }, { SDLK_z, "z7" }, { SDLK_x, "x8" }, { SDLK_c, "c9" },
        { SDLK_SLASH, "/0" }, { SDLK_a, "a*" }, { SDLK_g, "g#" }, { SDLK_w, "W1" }, { SDLK_a, "A*" } };
    for (const auto& [key, typedAndCode] : rows) {
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

}  // namespace
}  // namespace tarnby
