// Keyboard, text and mouse events into game key codes and stylus fields.
#include "platform/sdl/input_mapper.h"

namespace tarnby {

bool InputMapper::keyDown(SDL_Keycode key)
{
    const int32_t code = m_keys.code(key);
    if (code < 1) {
        return false;
    }
    m_game.keyDown(code);
    return true;
}

bool InputMapper::keyUp(SDL_Keycode key)
{
    if (key == KeyMap::kActionKey) {
        return false;
    }
    const int32_t code = m_keys.code(key);
    if (code < 1) {
        return false;
    }
    if (KeyMap::pressesAtRelease(key)) {
        m_game.keyDown(code);
    }
    m_game.keyUp(code);
    return true;
}

void InputMapper::text(const char* utf8)
{
    if (utf8 == nullptr) {
        return;
    }
    for (const char* p = utf8; *p != '\0'; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        // Only plain characters reach the game: the bytes of a longer UTF-8
        // sequence would otherwise pose as unrelated codes.
        if (byte >= 0x80) {
            continue;
        }
        // The keyboard reports letter keys in lower case; a shifted letter is
        // the same key.
        const int32_t asKey = (byte >= 'A' && byte <= 'Z') ? byte - 'A' + 'a' : byte;
        if (m_keys.code(asKey) != 0) {
            continue;
        }
        m_game.keyDown(byte);
        m_game.keyUp(byte);
    }
}

void InputMapper::penDown(int32_t windowX, int32_t windowY)
{
    const int32_t x = m_layout.frameX(windowX);
    const int32_t y = m_layout.frameY(windowY);
    m_game.m_penX.store(x, std::memory_order_relaxed);
    m_game.m_penY.store(y, std::memory_order_relaxed);
    m_lastX = x;
    m_lastY = y;
    // The select press publishes the position through the key queue.
    m_game.keyDown(KeyMap::kSelect);
}

void InputMapper::penUp(int32_t windowX, int32_t windowY)
{
    m_game.m_penX.store(m_layout.frameX(windowX), std::memory_order_relaxed);
    m_game.m_penY.store(m_layout.frameY(windowY), std::memory_order_relaxed);
    m_game.keyUp(KeyMap::kSelect);
}

void InputMapper::penMove(int32_t windowX, int32_t windowY, bool held)
{
    if (!held) {
        return;
    }
    const int32_t x = m_layout.frameX(windowX);
    const int32_t y = m_layout.frameY(windowY);
    m_game.m_dragX.fetch_add(x - m_lastX, std::memory_order_relaxed);
    m_game.m_dragY.fetch_add(y - m_lastY, std::memory_order_relaxed);
    m_lastX = x;
    m_lastY = y;
}

}  // namespace tarnby
