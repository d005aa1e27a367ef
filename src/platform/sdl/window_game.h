// The game in a window: the program's entry without --headless. The game
// thread runs the game's loop; this (the main) thread owns the window, turns
// keyboard, mouse and gamepad events into the game's keys, copies finished
// frames to the screen, and plays a script's input through SDL's own event
// queue, so scripted presses travel the same road as real ones.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <SDL.h>

#include "golf/golf.h"
#include "platform/play/game_options.h"
#include "platform/play/play_script.h"
#include "platform/play/play_session.h"
#include "platform/play/recording.h"
#include "platform/sdl/event_wait.h"
#include "platform/sdl/gamepad_mapper.h"
#include "platform/sdl/input_gate.h"
#include "platform/sdl/input_mapper.h"
#include "platform/sdl/instance_lock.h"
#include "platform/sdl/linux_framebuffer.h"
#include "platform/sdl/paint_handoff.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/sdl_host.h"
#include "platform/sdl/sdl_window.h"
#include "platform/sdl/sound_player.h"

namespace tarnby {

class WindowGame {
public:
    explicit WindowGame(const GameOptions& options);
    ~WindowGame();

    // Plays until the window is closed, the player leaves through the menu,
    // or a script ends. Gives the exit status: 0 after a clean stop (also when
    // another copy was running and was brought to the front), 1 when the
    // window or a file could not be made, 2 for a bad script.
    int run();

    // Where the saved game lives when no --save is given: beside the program
    // when its folder is writable, else in $XDG_DATA_HOME/tarnby-golf/ (by
    // default ~/.local/share/tarnby-golf/).
    static std::string defaultSavePath(const std::string& dataFolder);

    // Runs `action` on the window thread once the game has run `at` ms, as the
    // script's events do (tests resize or close the window this way).
    void atTime(uint32_t at, std::function<void(SDL_Window*)> action);
    // Called on the window thread after each rectangle is copied (tests look
    // at the frames as they come).
    void setPaintWatcher(std::function<void(const PaintRequest&)> watcher) { m_paintWatcher = std::move(watcher); }

    // The game's recording so far: every input event the game received and
    // every frame's length, in the script format (--record writes it at the
    // end; a crash writes it beside the save file).
    const Recording& recording() const { return m_recording; }
    // How many times the window thread has gone to sleep (read it on the window thread).
    uint64_t windowWaits() const { return m_wait.waits(); }
    // How many times the game thread has gone to sleep between its frames.
    uint64_t gameWaits() const { return m_host ? m_host->gameBlocks() : 0; }

    // The longest the window thread sleeps with nothing to do (SDL then looks
    // for gamepads coming and going, and for signals). A later copy of the
    // game asking this one to come forward wakes it at once, or where the
    // window cannot wait on the copy's socket, within kInstanceCheckMs of a wake.
    static constexpr int kIdleWaitMs = 250;
    static constexpr uint32_t kInstanceCheckMs = 100;
    // How long the window thread may wait for events at `now` (ms from the
    // start): until `due` (the next scripted event or test action, if any) or
    // the time limit `limit` (-1 for none; one already reached no longer
    // counts), at most kIdleWaitMs. Times wrap as the tick count does.
    static int waitTime(uint32_t now, std::optional<uint32_t> due, int64_t limit);

private:
    int prepare();
    // The time of the next scripted event or test action.
    std::optional<uint32_t> nextDue(uint32_t now) const;
    void handle(const SDL_Event& event);
    void servePaints();
    void pushScriptEvents(uint32_t now);
    void pushKey(int32_t code, bool down, bool up);
    void pushChar(int32_t character);
    void screenshot();
    void rawPaint(const PaintRequest& request);

    GameOptions m_options;
    PlaySession m_session { m_options };
    std::deque<ScriptEvent> m_pending;
    std::vector<std::pair<uint32_t, std::function<void(SDL_Window*)>>> m_actions;
    std::function<void(const PaintRequest&)> m_paintWatcher;
    int64_t m_limit = -1;  // ms from the start; -1 for none
    InstanceLock m_instance;
    uint32_t m_instanceCheck = 0;  // tick of the next look for another copy
    bool m_sdlStarted = false;
    bool m_padsStarted = false;
    bool m_doubling = false;
    uint32_t m_paintEvent = 0;
    uint32_t m_start = 0;
    bool m_quit = false;
    bool m_failed = false;
    int32_t m_pointerX = 0;  // the scripted stylus, frame pixels
    int32_t m_pointerY = 0;

    Ref<Golf> m_game;
    Ref<InputGate> m_gate;
    Recording m_recording;
    PaintHandoff m_handoff;
    EventWait m_wait;
    SdlWindow m_window;
    LinuxFramebuffer m_framebuffer;
    std::unique_ptr<SdlHost> m_host;
    std::unique_ptr<InputMapper> m_input;
    std::unique_ptr<GamepadMapper> m_gamepad;
    SdlAudioDevice m_audioDevice;
    std::unique_ptr<SoundPlayer> m_sound;
};

}  // namespace tarnby
