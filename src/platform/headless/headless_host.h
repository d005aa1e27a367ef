// A host without a screen: a virtual clock that only sleeping advances, the
// presented frame kept in memory (and written as PNG on request), and key codes
// fed from a script. Tests and tools run the engine through it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "runtime/host.h"

namespace tarnby {

class HeadlessHost : public Host {
public:
    HeadlessHost(int32_t width, int32_t height);

    uint32_t tickCount() override { return m_now; }
    void sleep(int32_t milliseconds) override;
    void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) override;

    // The screen as the presented rectangles left it (0xDDRRGGBB words).
    const std::vector<uint32_t>& screen() const { return m_screen; }
    uint32_t screenAt(int32_t x, int32_t y) const { return m_screen[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)]; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    bool writePng(const std::string& path) const;

    int32_t presents() const { return m_presents; }
    int32_t presentedPixels() const { return m_presentedPixels; }
    void setNow(uint32_t now) { m_now = now; }

    // Scripted input: key codes become available once the clock reaches `at`.
    struct ScriptedKey {
        uint32_t at;
        int32_t code;
        bool down;
    };
    void scriptKey(uint32_t at, int32_t code, bool down);
    // Takes the next scripted key whose time has come; false when none is due.
    bool nextKey(ScriptedKey& key);

private:
    int32_t m_width;
    int32_t m_height;
    uint32_t m_now = 0;
    int32_t m_presents = 0;
    int32_t m_presentedPixels = 0;
    std::vector<uint32_t> m_screen;
    std::deque<ScriptedKey> m_script;
};

}  // namespace tarnby
