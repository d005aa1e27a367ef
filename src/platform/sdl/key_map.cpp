// The keyboard's game keys.
#include "platform/sdl/key_map.h"

namespace tarnby {

namespace {

// A letter keyboard prints a digit or symbol on these letters.
struct LetterKey {
    SDL_Keycode key;
    int32_t code;
};
constexpr LetterKey kLetterKeys[] = {
    // clang-format off
    { SDLK_w, '1' }, { SDLK_e, '2' }, { SDLK_r, '3' }, { SDLK_s, '4' }, { SDLK_d, '5' }, { SDLK_f, '6' },
    { SDLK_z, '7' }, { SDLK_x, '8' }, { SDLK_c, '9' }, { SDLK_SLASH, '0' }, { SDLK_a, '*' }, { SDLK_g, '#' },
    // clang-format on
};

}  // namespace

int32_t KeyMap::code(SDL_Keycode key) const
{
    switch (key) {
    case SDLK_LEFT: return kLeft;
    case SDLK_RIGHT: return kRight;
    case SDLK_UP: return kUp;
    case SDLK_DOWN: return kDown;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
    case SDLK_F1: return kSelect;
    case SDLK_F2: return kSoft;
    case SDLK_ESCAPE:
    case SDLK_BACKSPACE: return kBack;
    case SDLK_F8: return kStar;
    case SDLK_F9: return kPound;
    case SDLK_SPACE: return kSpace;
    default: break;
    }
    // Digits 0 to 8 are keys; 9 comes through the character path only, so it
    // is a press without a held state.
    if (key >= SDLK_0 && key <= SDLK_8) {
        return kDigit0 + (key - SDLK_0);
    }
    // The number pad's digits are the same keys (its characters are then
    // dropped as already handled, just like the main row's).
    if (key >= SDLK_KP_1 && key <= SDLK_KP_8) {
        return kDigit0 + 1 + (key - SDLK_KP_1);
    }
    if (key == SDLK_KP_0) {
        return kDigit0;
    }
    if (m_letterKeyboard) {
        for (const auto& letter : kLetterKeys) {
            if (letter.key == key) {
                return letter.code;
            }
        }
    }
    return 0;
}

}  // namespace tarnby
