// Turns the window's keyboard, text and mouse events into the game's key
// codes and stylus fields, exactly as a handheld's keys and pen reach the game.
// Runs on the window thread; the game reads the codes from its key queue.
#pragma once

#include <cstdint>

#include "platform/sdl/frame_layout.h"
#include "platform/sdl/key_map.h"
#include "sprite/viewport.h"

namespace tarnby {

class InputMapper {
public:
    InputMapper(Viewport& game, const KeyMap& keys) : m_game(game), m_keys(keys) {}

    // Where the frame is shown, for turning window positions into frame pixels.
    void setLayout(const FrameLayout& layout) { m_layout = layout; }
    const FrameLayout& layout() const { return m_layout; }

    // A key went down (auto-repeat included). True when it was a game key.
    bool keyDown(SDL_Keycode key);
    // A key went up. True when it was a game key.
    bool keyUp(SDL_Keycode key);
    // Typed text (UTF-8). Characters that are game keys were handled by their
    // key and are dropped; other characters arrive as a press and a release.
    void text(const char* utf8);

    // The mouse is the stylus: window positions in pixels.
    void penDown(int32_t windowX, int32_t windowY);
    void penUp(int32_t windowX, int32_t windowY);
    // Movement counts only while the button is held: a mouse also moves
    // without touching the screen, which a stylus cannot.
    void penMove(int32_t windowX, int32_t windowY, bool held);

private:
    Viewport& m_game;
    KeyMap m_keys;
    FrameLayout m_layout;
    int32_t m_lastX = 0;
    int32_t m_lastY = 0;
};

}  // namespace tarnby
