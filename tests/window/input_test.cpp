// Keyboard, text, mouse and gamepad events into game key codes and stylus
// fields, row by row of the key tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sdl/gamepad_mapper.h"
#include "platform/sdl/input_gate.h"
#include "platform/sdl/input_mapper.h"

namespace tarnby {
namespace {

// A game that writes down every key event it receives, as "+k" or "-k".
class KeyRecorder : public Viewport {
public:
    void keyDown(int32_t key) override
    {
        events.push_back("+" + std::to_string(key));
        Viewport::keyDown(key);
    }
    void keyUp(int32_t key) override
    {
        events.push_back("-" + std::to_string(key));
        Viewport::keyUp(key);
    }
    std::string take()
    {
        std::string all;
        for (const auto& e : events) {
            all += (all.empty() ? "" : " ") + e;
        }
        events.clear();
        return all;
    }
    std::vector<std::string> events;
};

// A key pressed and released the way the keyboard reports it: key down, the
// text it types (if any), key up.
std::string press(InputMapper& input, KeyRecorder& game, SDL_Keycode key, const char* typed)
{
    input.keyDown(key);
    if (typed != nullptr) {
        input.text(typed);
    }
    input.keyUp(key);
    return game.take();
}

TEST(InputTest, EveryKeyOfTheTableGivesItsCodeOnceAndTheCharacterPathTheRest)
{
    auto game = make<KeyRecorder>();
    const KeyMap keys(false);
    InputMapper input(*game, keys);
    struct Row {
        SDL_Keycode key;
        const char* typed;
        const char* events;
    };
    const Row rows[] = {
        { SDLK_LEFT, nullptr, "+1 -1" },
        { SDLK_RIGHT, nullptr, "+2 -2" },
        { SDLK_UP, nullptr, "+3 -3" },
        { SDLK_DOWN, nullptr, "+4 -4" },
        { SDLK_RETURN, "\r", "+5 -5" },
        { SDLK_KP_ENTER, nullptr, "+5 -5" },
        // The soft keys and Escape press again at their release.
        { SDLK_F1, nullptr, "+5 +5 -5" },
        { SDLK_F2, nullptr, "+6 +6 -6" },
        { SDLK_ESCAPE, nullptr, "+7 +7 -7" },
        { SDLK_BACKSPACE, nullptr, "+7 -7" },
        { SDLK_F8, nullptr, "+42 -42" },
        { SDLK_F9, nullptr, "+35 -35" },
        { SDLK_SPACE, " ", "+32 -32" },
        { SDLK_0, "0", "+48 -48" },
        { SDLK_5, "5", "+53 -53" },
        { SDLK_8, "8", "+56 -56" },
        { SDLK_KP_3, "3", "+51 -51" },
        { SDLK_KP_0, "0", "+48 -48" },
        // Nine is not a key: only its character arrives, as press and release.
        { SDLK_9, "9", "+57 -57" },
        { SDLK_KP_9, "9", "+57 -57" },
        // Star and pound typed with shift come through the character path.
        { SDLK_8, "*", "+56 +42 -42 -56" },
        { SDLK_3, "#", "+51 +35 -35 -51" },
        // Without a letter keyboard, letters are characters only.
        { SDLK_w, "w", "+119 -119" },
        { SDLK_w, "W", "+87 -87" },
        { SDLK_a, "a", "+97 -97" },
        // Not game keys at all.
        { SDLK_F11, nullptr, "" },
        { SDLK_TAB, nullptr, "" },
        { KeyMap::kActionKey, nullptr, "" },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(press(input, *game, row.key, row.typed), row.events)
            << "key " << SDL_GetKeyName(row.key) << " typing " << (row.typed ? row.typed : "nothing");
    }

    // F1's release alone (its press went to another window) is still a whole press.
    input.keyUp(SDLK_F1);
    EXPECT_EQ(game->take(), "+5 -5");
    // The action key's release never counts, whatever came before.
    input.keyDown(SDLK_RETURN);
    input.keyUp(KeyMap::kActionKey);
    input.keyUp(SDLK_RETURN);
    EXPECT_EQ(game->take(), "+5 -5");

    // Characters beyond plain ASCII would alias unrelated codes: dropped.
    input.text("\xc3\xa9t\xe2\x82\xac");
    EXPECT_EQ(game->take(), "+116 -116");
    input.text(nullptr);
    EXPECT_EQ(game->take(), "");

    // The queue sees F1 as two selects; its held bit is clear after the release.
    while (game->nextKey() != 0) {}
    input.keyDown(SDLK_F1);
    EXPECT_TRUE(game->isKeyDown(5));
    input.keyUp(SDLK_F1);
    EXPECT_FALSE(game->isKeyDown(5));
    EXPECT_EQ(game->nextKey(), 5);
    EXPECT_EQ(game->nextKey(), 5);
    EXPECT_EQ(game->nextKey(), 0);
}

TEST(InputTest, LetterKeyboardTurnsItsLettersIntoDigitsAndSymbols)
{
    auto game = make<KeyRecorder>();
    const KeyMap keys(true);
    InputMapper input(*game, keys);
    struct Row {
        SDL_Keycode key;
        const char* typed;
        int32_t code;
    };
    const Row rows[] = {
        { SDLK_w, "w", '1' },
        { SDLK_e, "e", '2' },
        { SDLK_r, "r", '3' },
        { SDLK_s, "s", '4' },
        { SDLK_d, "d", '5' },
        { SDLK_f, "f", '6' },
        { SDLK_z, "z", '7' },
        { SDLK_x, "x", '8' },
        { SDLK_c, "c", '9' },
        { SDLK_SLASH, "/", '0' },
        { SDLK_a, "a", '*' },
        { SDLK_g, "g", '#' },
        // Shifted, the same key: still its digit, and no character.
        { SDLK_w, "W", '1' },
    };
    for (const auto& row : rows) {
        const std::string want = "+" + std::to_string(row.code) + " -" + std::to_string(row.code);
        EXPECT_EQ(press(input, *game, row.key, row.typed), want) << "letter key " << SDL_GetKeyName(row.key);
    }
    // Other letters stay characters, and the ordinary keys are unchanged.
    EXPECT_EQ(press(input, *game, SDLK_q, "q"), "+113 -113");
    EXPECT_EQ(press(input, *game, SDLK_LEFT, nullptr), "+1 -1");
    EXPECT_EQ(press(input, *game, SDLK_9, "9"), "+57 -57");
    EXPECT_TRUE(keys.letterKeyboard());
    EXPECT_EQ(KeyMap(false).code(SDLK_w), 0);
}

TEST(InputTest, MouseIsTheStylusHalvedWhileDoublingWithDragsAccumulated)
{
    auto game = make<KeyRecorder>();
    const KeyMap keys(false);
    InputMapper input(*game, keys);

    // A 480 x 640 window doubling a 240 x 320 frame: positions halve.
    FrameLayout doubled;
    doubled.set(480, 640, 240, 320, true);
    input.setLayout(doubled);
    input.penDown(300, 200);
    EXPECT_EQ(game->m_penX.load(), 150);
    EXPECT_EQ(game->m_penY.load(), 100);
    EXPECT_EQ(game->take(), "+5");
    input.penMove(311, 205, true);
    input.penMove(321, 209, true);
    EXPECT_EQ(game->m_dragX.load(), 10);
    EXPECT_EQ(game->m_dragY.load(), 4);
    input.penUp(333, 401);
    EXPECT_EQ(game->m_penX.load(), 166);
    EXPECT_EQ(game->m_penY.load(), 200);
    EXPECT_EQ(game->take(), "-5");
    // A mouse moving with its button up is not a stylus on the glass.
    input.penMove(400, 500, false);
    EXPECT_EQ(game->m_dragX.load(), 10);
    EXPECT_EQ(game->m_dragY.load(), 4);
    EXPECT_EQ(game->take(), "");

    // One to one: dragging from (10, 10) to (15, 12) adds 5 and 2.
    auto plain = make<KeyRecorder>();
    InputMapper direct(*plain, keys);
    FrameLayout same;
    same.set(240, 320, 240, 320, false);
    direct.setLayout(same);
    direct.penDown(10, 10);
    direct.penMove(15, 12, true);
    EXPECT_EQ(plain->m_dragX.load(), 5);
    EXPECT_EQ(plain->m_dragY.load(), 2);
    EXPECT_EQ(plain->m_penX.load(), 10);
    EXPECT_EQ(plain->m_penY.load(), 10);
}

TEST(InputTest, TheGateHoldsInputUntilTheFrameEndsThenDeliversAndRecordsItInOrder)
{
    auto gate = make<InputGate>();
    auto game = make<KeyRecorder>();
    InputMapper input(*gate, KeyMap(false));
    FrameLayout doubled;
    doubled.set(480, 640, 240, 320, true);
    input.setLayout(doubled);
    Recording recording;

    // A key, then a stroke of the stylus: down, two moves, up elsewhere.
    input.keyDown(SDLK_LEFT);
    input.keyUp(SDLK_LEFT);
    input.penDown(300, 200);
    input.penMove(311, 205, true);
    input.penMove(321, 209, true);
    input.penUp(333, 401);
    // A second stroke still going on when the frame ends.
    input.penDown(100, 100);
    input.penMove(110, 104, true);
    EXPECT_EQ(game->take(), "") << "nothing reaches the game before its frame ends";

    gate->deliver(*game, recording, 48);
    EXPECT_EQ(game->take(), "+1 -1 +5 -5 +5");
    // The pen's last place is where it went down again; the moves add up.
    EXPECT_EQ(game->m_penX.load(), 50);
    EXPECT_EQ(game->m_penY.load(), 50);
    EXPECT_EQ(game->m_dragX.load(), 15);
    EXPECT_EQ(game->m_dragY.load(), 6);
    EXPECT_EQ(recording.text(), "48 down 01\n48 up 01\n48 pen 150,100\n48 down 05\n48 drag 10,4\n"
                                "48 pen 166,200\n48 up 05\n48 pen 50,50\n48 down 05\n48 drag 5,2\n");

    // Delivered once: the next frame brings nothing new.
    gate->deliver(*game, recording, 64);
    EXPECT_EQ(game->take(), "");
    EXPECT_EQ(recording.size(), recording.text().size());
    EXPECT_EQ(recording.text().find("64 "), std::string::npos);
}

TEST(InputTest, FrameLayoutDoublesLetterboxesAndMapsBothWays)
{
    FrameLayout layout;
    // Exactly twice the frame: no bars.
    layout.set(480, 640, 240, 320, true);
    EXPECT_EQ(layout.destination().x, 0);
    EXPECT_EQ(layout.destination().w, 480);
    EXPECT_EQ(layout.destination().h, 640);
    // A wider window while doubling: twice the size, centred.
    layout.set(600, 640, 240, 320, true);
    EXPECT_EQ(layout.destination().x, 60);
    EXPECT_EQ(layout.destination().w, 480);
    EXPECT_EQ(layout.frameX(60), 0);
    EXPECT_EQ(layout.frameX(61), 0);
    EXPECT_EQ(layout.frameX(62), 1);
    // Taps in the bars lie outside the frame, the same scale on.
    EXPECT_EQ(layout.frameX(10), -25);
    EXPECT_EQ(layout.frameX(59), -1);
    EXPECT_EQ(layout.frameX(599), 269);
    // The frame still at its old shape after a turn to landscape: fitted, bars at the sides.
    layout.set(640, 480, 240, 320, true);
    EXPECT_EQ(layout.destination().h, 480);
    EXPECT_EQ(layout.destination().w, 360);
    EXPECT_EQ(layout.destination().x, 140);
    EXPECT_EQ(layout.destination().y, 0);
    // Not doubling and too small: shrunk to fit, bars above and below.
    layout.set(240, 200, 240, 100, false);
    EXPECT_EQ(layout.destination().w, 240);
    EXPECT_EQ(layout.destination().h, 100);
    EXPECT_EQ(layout.destination().y, 50);
    // Not doubling in a window more than twice the frame: fitted, not doubled.
    layout.set(1000, 700, 240, 320, false);
    EXPECT_EQ((std::vector<int32_t> { layout.destination().x, layout.destination().w, layout.destination().h }),
        (std::vector<int32_t> { 237, 525, 700 }));
    // Every frame pixel maps to a window position that maps back to it.
    for (const auto& size : { std::pair { 480, 640 }, std::pair { 1000, 700 }, std::pair { 333, 517 } }) {
        layout.set(size.first, size.second, 240, 320, true);
        for (int32_t p = 0; p < 240; ++p) {
            ASSERT_EQ(layout.frameX(layout.windowX(p)), p)
                << "column " << p << " in " << size.first << "x" << size.second;
        }
        for (int32_t p = 0; p < 320; ++p) {
            ASSERT_EQ(layout.frameY(layout.windowY(p)), p) << "row " << p << " in " << size.first << "x" << size.second;
        }
    }
    // Before the first frame, positions halve while doubling.
    layout.set(480, 640, 0, 0, true);
    EXPECT_EQ(layout.frameX(301), 150);
}

TEST(InputTest, GamepadButtonsAndStickAreTheHandheldsKeys)
{
    auto game = make<KeyRecorder>();
    GamepadMapper pad(*game);
    struct Row {
        SDL_GameControllerButton button;
        const char* events;
    };
    const Row rows[] = {
        { SDL_CONTROLLER_BUTTON_DPAD_LEFT, "+1 -1" },
        { SDL_CONTROLLER_BUTTON_DPAD_RIGHT, "+2 -2" },
        { SDL_CONTROLLER_BUTTON_DPAD_UP, "+3 -3" },
        { SDL_CONTROLLER_BUTTON_DPAD_DOWN, "+4 -4" },
        { SDL_CONTROLLER_BUTTON_A, "+5 -5" },
        { SDL_CONTROLLER_BUTTON_B, "+7 -7" },
        { SDL_CONTROLLER_BUTTON_START, "+7 -7" },
        { SDL_CONTROLLER_BUTTON_BACK, "+6 -6" },
        { SDL_CONTROLLER_BUTTON_X, "+49 -49" },
        { SDL_CONTROLLER_BUTTON_Y, "+55 -55" },
        // A shoulder is one step of the aim at its press.
        { SDL_CONTROLLER_BUTTON_LEFTSHOULDER, "+1 -1" },
        { SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, "+2 -2" },
        { SDL_CONTROLLER_BUTTON_GUIDE, "" },
    };
    for (const auto& row : rows) {
        pad.button(row.button, true);
        pad.button(row.button, false);
        EXPECT_EQ(game->take(), row.events) << "button " << SDL_GameControllerGetStringForButton(row.button);
    }

    // The stick presses past 16000 and lets go only below 8000.
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -12000);
    EXPECT_EQ(game->take(), "");
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -20000);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -12000);
    pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -17000);
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
