// Which keyboard keys are game keys: arrows, Return and the soft keys, back,
// star and pound, digits and space, and on a letter keyboard the letters that
// carry digits and symbols.
#pragma once

#include <cstdint>

#include <SDL.h>

namespace tarnby {

class KeyMap {
public:
    // Game key codes the keyboard produces.
    static constexpr int32_t kLeft = 1;
    static constexpr int32_t kRight = 2;
    static constexpr int32_t kUp = 3;
    static constexpr int32_t kDown = 4;
    static constexpr int32_t kSelect = 5;
    static constexpr int32_t kSoft = 6;
    static constexpr int32_t kBack = 7;
    static constexpr int32_t kSpace = 32;
    static constexpr int32_t kPound = 35;
    static constexpr int32_t kStar = 42;
    static constexpr int32_t kDigit0 = 48;

    // The key that stands for a joystick's centre press. It also arrives with
    // Return, so its own release must not count as a second press.
    static constexpr SDL_Keycode kActionKey = SDLK_SELECT;

    explicit KeyMap(bool letterKeyboard) : m_letterKeyboard(letterKeyboard) {}

    // The game code of a key, 0 when the key is not a game key. Letters are
    // looked up in lower case, the way the keyboard reports them.
    int32_t code(SDL_Keycode key) const;

    // The soft keys and Back make a whole press at their release, whether or
    // not their press was seen (a window can gain focus with the key held).
    static bool pressesAtRelease(SDL_Keycode key) { return key == SDLK_F1 || key == SDLK_F2 || key == SDLK_ESCAPE; }

    bool letterKeyboard() const { return m_letterKeyboard; }

private:
    bool m_letterKeyboard;
};

}  // namespace tarnby
