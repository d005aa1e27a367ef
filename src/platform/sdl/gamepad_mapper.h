// A game controller as the handheld's keys: the d-pad and the left stick are
// the arrows, A selects, B goes back, X opens the club menu ('1'), Y the map
// ('7'), Start the menu (back), Back/View is the right soft key, and each
// shoulder button turns the aim by one step.
#pragma once

#include <cstdint>

#include <SDL.h>

#include "sprite/viewport.h"

namespace tarnby {

class GamepadMapper {
public:
    // The stick counts as an arrow beyond this deflection and lets go below the
    // release threshold, so a stick resting near the edge does not chatter.
    static constexpr int32_t kStickPress = 16000;
    static constexpr int32_t kStickRelease = 8000;

    explicit GamepadMapper(Viewport& game) : m_game(game) {}

    // The game code of a button while held, 0 for none (shoulders are steps).
    static int32_t buttonCode(SDL_GameControllerButton button);

    void button(SDL_GameControllerButton button, bool down);
    void axis(SDL_GameControllerAxis axis, int32_t value);
    // A controller was unplugged: let go of everything it held.
    void releaseAll();

private:
    // Which inputs hold each arrow (1..4): bit 0 the d-pad, bit 1 the stick.
    enum Source : uint8_t { kPad = 1, kStick = 2 };
    void hold(int32_t code, Source source, bool down);
    void stick(int32_t negativeCode, int32_t positiveCode, int32_t value);

    Viewport& m_game;
    uint8_t m_holders[5] = {};
};

}  // namespace tarnby
