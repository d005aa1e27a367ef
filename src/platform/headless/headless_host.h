// A host without a screen, for tests, tools and scripted play: a virtual clock
// that only sleeping advances, the presented frame kept in memory (and written
// as PNG on request), every played sound recorded, and scripted input fed into
// an attached viewport as the clock passes each event's time.
//
// It installs itself as the process's host when it is made and puts the host
// before it back when it goes, so a test or tool just keeps one alive:
//
//     HeadlessHost host(240, 320);
//     host.attachInput(game.get());
//     host.schedule({ 100, InputEvent::Key, kKeySelect, 0 });  // select at 100 ms
//     host.schedule({ 500, InputEvent::Tap, 120, 200 });       // a tap at (120, 200)
//     game->run();  // its waitFrame(16) sleeps move the clock and deliver the input
//     host.writePng("last.png");
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "runtime/host.h"
#include "sprite/viewport.h"

namespace tarnby {

// One scripted input, delivered once the virtual clock reaches `at` (events
// due at the same time go in the order they were scheduled).
struct InputEvent {
    enum Kind {
        KeyDown,  // key `a` pressed (held until its KeyUp)
        KeyUp,    // key `a` released
        Key,      // key `a` pressed and released at once
        Char,     // character `a` typed: pressed and released
        Tap,      // the stylus taps (a, b): pen down there, then up at once
        PenDown,  // the stylus goes down at (a, b) and stays
        PenUp,    // the stylus comes up
        Drag,     // the stylus moves by (a, b) while down
        Pen,      // the stylus's place is set to (a, b), with no press (a recorded pen's place)
    };
    uint32_t at;  // milliseconds on the virtual clock
    Kind kind;
    int32_t a;
    int32_t b;
};

class HeadlessHost : public Host {
public:
    // A screen of width x height pixels (at least 1 x 1), clock at 0; installs itself.
    HeadlessHost(int32_t width, int32_t height);
    // Puts back the host installed before this one.
    ~HeadlessHost() override;
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // --- The host's services ---------------------------------------------------
    uint32_t tickCount() override { return m_now; }
    // Moves the clock on, delivering every scripted input it passes on the way.
    void sleep(int32_t milliseconds) override;
    // Copies the part of the rectangle that lies on the screen.
    void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) override;
    // Records the name (and tells the listener).
    void playSound(const char* name) override;

    // --- The clock ---------------------------------------------------------------
    // Sets the clock without delivering anything (tests of the frame pacing).
    void setNow(uint32_t now) { m_now = now; }
    int32_t sleepCount() const { return m_sleeps; }

    // --- The screen --------------------------------------------------------------
    // The screen as the presented rectangles left it (0xDDRRGGBB words).
    const std::vector<uint32_t>& screen() const { return m_screen; }
    uint32_t screenAt(int32_t x, int32_t y) const;
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    // A new screen size, cleared to black.
    void setScreenSize(int32_t width, int32_t height);
    // The screen as an RGB PNG; false when it could not be written.
    bool writePng(const std::string& path) const;

    // Every present call so far (x, y, w, h as asked), and the screen pixels
    // they covered.
    struct Rect {
        int32_t x, y, w, h;
        bool operator==(const Rect&) const = default;
    };
    const std::vector<Rect>& presented() const { return m_presented; }
    int32_t presents() const { return static_cast<int32_t>(m_presented.size()); }
    int64_t presentedPixels() const { return m_presentedPixels; }
    void clearPresented();

    // --- Sounds ------------------------------------------------------------------
    // Every sound played so far, in order.
    const std::vector<std::string>& sounds() const { return m_sounds; }
    // Called with each sound's name as it is played (null for none).
    void setSoundListener(std::function<void(const std::string&)> listener) { m_soundListener = std::move(listener); }

    // --- Scripted input ----------------------------------------------------------
    // The viewport that receives the input (the caller keeps it alive; null detaches).
    void attachInput(Viewport* viewport) { m_input = viewport; }
    void schedule(const InputEvent& event);
    // Delivers every scheduled event whose time has come (sleeping does this).
    void deliverDueInput();
    // Events not yet delivered.
    size_t pendingInput() const { return m_script.size(); }

private:
    void deliver(const InputEvent& event);

    Host* m_previous = nullptr;
    int32_t m_width;
    int32_t m_height;
    uint32_t m_now = 0;
    int32_t m_sleeps = 0;
    std::vector<uint32_t> m_screen;
    std::vector<Rect> m_presented;
    int64_t m_presentedPixels = 0;
    std::vector<std::string> m_sounds;
    std::function<void(const std::string&)> m_soundListener;
    Viewport* m_input = nullptr;
    std::deque<InputEvent> m_script;  // in order of time
};

}  // namespace tarnby
