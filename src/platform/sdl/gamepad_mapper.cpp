// Game controller buttons and stick into game key codes.
#include "platform/sdl/gamepad_mapper.h"

#include "platform/sdl/key_map.h"

namespace tarnby {

int32_t GamepadMapper::buttonCode(SDL_GameControllerButton button)
{
    switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return KeyMap::kLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return KeyMap::kRight;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return KeyMap::kUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return KeyMap::kDown;
    case SDL_CONTROLLER_BUTTON_A: return KeyMap::kSelect;
    case SDL_CONTROLLER_BUTTON_B:
    case SDL_CONTROLLER_BUTTON_START: return KeyMap::kBack;
    case SDL_CONTROLLER_BUTTON_BACK: return KeyMap::kSoft;
    case SDL_CONTROLLER_BUTTON_X: return KeyMap::kDigit0 + 1;
    case SDL_CONTROLLER_BUTTON_Y: return KeyMap::kDigit0 + 7;
    default: return 0;
    }
}

void GamepadMapper::button(SDL_GameControllerButton button, bool down)
{
    if (button == SDL_CONTROLLER_BUTTON_LEFTSHOULDER || button == SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) {
        // One tap of the arrow: one step of the aim per press.
        if (down) {
            const int32_t code = button == SDL_CONTROLLER_BUTTON_LEFTSHOULDER ? KeyMap::kLeft : KeyMap::kRight;
            m_game.keyDown(code);
            if (m_holders[code] == 0) {
                m_game.keyUp(code);
            }
        }
        return;
    }
    const int32_t code = buttonCode(button);
    if (code >= KeyMap::kLeft && code <= KeyMap::kDown) {
        hold(code, kPad, down);
    } else if (code != 0) {
        if (down) {
            m_game.keyDown(code);
        } else {
            m_game.keyUp(code);
        }
    }
}

void GamepadMapper::axis(SDL_GameControllerAxis axis, int32_t value)
{
    if (axis == SDL_CONTROLLER_AXIS_LEFTX) {
        stick(KeyMap::kLeft, KeyMap::kRight, value);
    } else if (axis == SDL_CONTROLLER_AXIS_LEFTY) {
        // The stick's y grows downwards, like the screen's.
        stick(KeyMap::kUp, KeyMap::kDown, value);
    }
}

void GamepadMapper::stick(int32_t negativeCode, int32_t positiveCode, int32_t value)
{
    const bool negativeHeld = (m_holders[negativeCode] & kStick) != 0;
    const bool positiveHeld = (m_holders[positiveCode] & kStick) != 0;
    const bool wantNegative = negativeHeld ? value < -kStickRelease : value < -kStickPress;
    const bool wantPositive = positiveHeld ? value > kStickRelease : value > kStickPress;
    // Let go before pressing the other way, as a thumb does.
    if (negativeHeld && !wantNegative) {
        hold(negativeCode, kStick, false);
    }
    if (positiveHeld && !wantPositive) {
        hold(positiveCode, kStick, false);
    }
    if (!negativeHeld && wantNegative) {
        hold(negativeCode, kStick, true);
    }
    if (!positiveHeld && wantPositive) {
        hold(positiveCode, kStick, true);
    }
}

void GamepadMapper::hold(int32_t code, Source source, bool down)
{
    const uint8_t before = m_holders[code];
    const uint8_t after = down ? static_cast<uint8_t>(before | source) : static_cast<uint8_t>(before & ~source);
    m_holders[code] = after;
    if (down && (before & source) == 0) {
        m_game.keyDown(code);
    } else if (!down && before != 0 && after == 0) {
        m_game.keyUp(code);
    }
}

void GamepadMapper::releaseAll()
{
    for (int32_t code = KeyMap::kLeft; code <= KeyMap::kDown; ++code) {
        if (m_holders[code] != 0) {
            m_holders[code] = 0;
            m_game.keyUp(code);
        }
    }
}

}  // namespace tarnby
