// The game in a window: start-up, the event loop, scripted input and the end.
#include "platform/sdl/window_game.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "golf/device_profile.h"
#include "platform/play/crash_report.h"
#include "platform/sdl/raw_copy.h"
#include "runtime/files.h"
#include "runtime/host.h"

namespace tarnby {

namespace {

int complain(const std::string& message, int status) { return PlaySession::complain(message, status); }

// The keyboard key that gives a game code, or 0 when only a character does.
SDL_Keycode keyFor(int32_t code)
{
    switch (code) {
    case 1: return SDLK_LEFT;
    case 2: return SDLK_RIGHT;
    case 3: return SDLK_UP;
    case 4: return SDLK_DOWN;
    case 5: return SDLK_RETURN;
    case 6: return SDLK_F2;
    case 7: return SDLK_BACKSPACE;
    case 32: return SDLK_SPACE;
    case 35: return SDLK_F9;
    case 42: return SDLK_F8;
    default: break;
    }
    if (code >= '0' && code <= '9') {
        return code;
    }
    return 0;
}

}  // namespace

WindowGame::WindowGame(const GameOptions& options) : m_options(options) {}

WindowGame::~WindowGame()
{
    if (m_game) {
        m_game->setLog(nullptr);
        m_game->destroy();
        m_game = nullptr;
    }
    setHost(nullptr);
    m_sound.reset();
    m_audioDevice.close();
    if (m_sdlStarted) {
        SDL_Quit();
    }
}

std::string WindowGame::defaultSavePath(const std::string& dataFolder)
{
    const std::string folder = dataFolder.empty() || dataFolder.back() == '/' ? dataFolder : dataFolder + "/";
    if (access(folder.empty() ? "." : folder.c_str(), W_OK) == 0) {
        return folder + "tarnbygolf";
    }
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg != nullptr && xdg[0] == '/') {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        base = std::filesystem::path(home) / ".local" / "share";
    } else {
        return folder + "tarnbygolf";
    }
    const std::filesystem::path saves = base / "tarnby-golf";
    std::error_code made;
    std::filesystem::create_directories(saves, made);
    return (saves / "tarnbygolf").string();
}

int WindowGame::prepare()
{
    if (int status = m_session.prepare(m_options.width, m_options.height); status != 0) {
        return status;
    }
    m_limit = m_session.limit(true);
    for (const ScriptEvent& e : m_session.script().events()) {
        m_pending.push_back(e);
    }
    return 0;
}

int WindowGame::run()
{
    if (int status = prepare(); status != 0) {
        return status;
    }
    if (!m_instance.acquire()) {
        // Another copy is running: it comes to the front and this one ends.
        m_instance.wakeRunning();
        return 0;
    }
    // Gamepads are looked for once the first frame is up: finding them takes
    // a look through the system's devices, which the start-up screen need not wait for.
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return complain(std::string("cannot start SDL: ") + SDL_GetError(), 1);
    }
    m_sdlStarted = true;
    m_paintEvent = SDL_RegisterEvents(2);

    DeviceProfile profile = m_options.profile();
    int32_t gameWidth = m_options.width;
    int32_t gameHeight = m_options.height;
    // A window 480 pixels wide or more shows the game at half its resolution,
    // every pixel doubled.
    m_doubling = 2 * gameWidth >= 480;
    if (m_options.fbdev) {
        if (m_framebuffer.open("/dev/fb0", false)) {
            profile.rawFrameBufferUsable = true;
            m_doubling = false;
            gameWidth = m_framebuffer.screen().widthPixels;
            gameHeight = m_framebuffer.screen().heightPixels;
        }
    }
    profile.pixelDoubling = m_doubling;
    deviceProfile() = profile;
    const int32_t windowWidth = m_doubling ? 2 * gameWidth : gameWidth;
    const int32_t windowHeight = m_doubling ? 2 * gameHeight : gameHeight;
    if (!m_window.open(windowWidth, windowHeight, m_doubling)) {
        return 1;
    }
    SDL_StartTextInput();

    m_game = make<Golf>();
    const std::string savePath = m_options.savePath.empty() ? defaultSavePath(dataFolder()) : m_options.savePath;
    m_game->setSavePath(savePath);
    m_session.attachLog(*m_game);
    m_game->setSize(gameWidth, gameHeight);
    // The window's input reaches the game through the gate, between frames.
    m_gate = make<InputGate>();
    m_recording.line("# tarnby-golf: a game in the window at " + std::to_string(gameWidth) + "x"
                     + std::to_string(gameHeight)
                     + ". Replay: tarnby-golf --headless --script THIS with the "
                       "same --size and --device, and --save a copy of the save file as the game found it");
    const CrashReport crashReport(m_recording, CrashReport::pathFor(savePath));
    m_wait.attach(m_window.handle(), m_paintEvent);
    EventWait* waker = &m_wait;
    m_host = std::make_unique<SdlHost>(
        *m_game, m_handoff, [waker]() { waker->wake(); }, *m_gate, m_recording);
    m_sound = std::make_unique<SoundPlayer>(m_audioDevice, dataFolder());
    m_host->setSound(m_sound.get());
    if (!m_framebuffer.isOpen()) {
        // (The frame buffer is drawn by the window thread as it takes each rectangle.)
        m_host->setDirectScreen(&m_window.directScreen());
    }
    setHost(m_host.get());
    m_game->attach();
    m_input = std::make_unique<InputMapper>(*m_gate, KeyMap(profile.qwertyKeyboard));
    m_gamepad = std::make_unique<GamepadMapper>(*m_gate);
    m_start = SDL_GetTicks();

    const uint32_t endEvent = m_paintEvent + 1;
    Golf* game = m_game.get();
    EventWait* wait = &m_wait;
    std::thread gameThread([game, endEvent, wait]() {
        game->run();
        SDL_Event ended {};
        ended.type = endEvent;
        SDL_PushEvent(&ended);
        wait->wake();
    });

    while (!m_quit) {
        const uint32_t now = SDL_GetTicks() - m_start;
        pushScriptEvents(now);
        bool forGame = false;
        bool pressed = false;
        if (m_limit >= 0 && static_cast<int64_t>(now) >= m_limit) {
            m_game->stop();
            forGame = true;
        }
        // Everything already in SDL's queue: the display's events taken in by
        // the last wait, and the script's and the game's own.
        SDL_Event event;
        while (!m_quit && SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
            forGame = forGame || event.type != m_paintEvent;
            pressed = pressed || event.type == SDL_KEYDOWN || event.type == SDL_TEXTINPUT
                      || event.type == SDL_MOUSEBUTTONDOWN || event.type == SDL_FINGERDOWN
                      || event.type == SDL_CONTROLLERBUTTONDOWN;
            handle(event);
        }
        if (forGame) {
            // A game frame put off because it showed nothing ends now.
            m_host->nudge();
        }
        if (pressed) {
            // A sound device closed while all was quiet opens for what may come.
            m_sound->wake();
        }
        m_sound->rest(SDL_GetTicks());
        std::unique_lock<std::mutex> order(m_window.directScreen().order());
        servePaints();
        if (m_window.needsShow() && !m_handoff.pending()) {
            m_window.show();
        }
        order.unlock();
        if (!m_wait.direct()) {
            // Without a socket to wait on, another copy asking to come to the
            // front is looked for a few times a second, not on every frame.
            const uint32_t tick = SDL_GetTicks();
            if (static_cast<int32_t>(tick - m_instanceCheck) >= 0) {
                m_instanceCheck = tick + kInstanceCheckMs;
                if (m_instance.poll()) {
                    m_window.raise();
                }
            }
        }
        if (!m_padsStarted && m_window.showedFrame()) {
            m_padsStarted = true;
            if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
                complain(std::string("gamepads cannot be used: ") + SDL_GetError(), 0);
            }
        }
        if (m_quit) {
            break;
        }
        const uint32_t later = SDL_GetTicks() - m_start;
        if (m_wait.wait(waitTime(later, nextDue(later), m_limit), m_wait.direct() ? m_instance.listenFd() : -1)
            && m_instance.poll()) {
            m_window.raise();
        }
    }

    m_handoff.close();
    gameThread.join();
    setHost(nullptr);
    m_sound->close();
    m_failed = !m_session.finish(m_game.get()) || m_failed;
    m_game->destroy();
    m_game = nullptr;
    if (!m_options.recordPath.empty() && !m_recording.save(m_options.recordPath)) {
        m_failed = true;
        complain("could not write the recording " + m_options.recordPath, 1);
    }
    m_instance.release();
    return m_failed ? 1 : 0;
}

int WindowGame::waitTime(uint32_t now, std::optional<uint32_t> due, int64_t limit)
{
    // The game thread wakes the window with an event for every finished frame
    // and at its end, and input comes as events: between them the window
    // sleeps, waking only for its own timed work.
    int64_t wait = kIdleWaitMs;
    if (due) {
        wait = std::min<int64_t>(wait, static_cast<int32_t>(*due - now));
    }
    if (limit > static_cast<int64_t>(now)) {
        wait = std::min<int64_t>(wait, limit - static_cast<int64_t>(now));
    }
    return static_cast<int>(std::clamp<int64_t>(wait, 0, kIdleWaitMs));
}

std::optional<uint32_t> WindowGame::nextDue(uint32_t now) const
{
    std::optional<uint32_t> due;
    auto consider = [&](uint32_t at) {
        if (!due || static_cast<int32_t>(at - now) < static_cast<int32_t>(*due - now)) {
            due = at;
        }
    };
    if (!m_pending.empty()) {
        consider(m_pending.front().at);
    }
    for (const auto& action : m_actions) {
        consider(action.first);
    }
    return due;
}

void WindowGame::handle(const SDL_Event& event)
{
    if (event.type == m_paintEvent) {
        return;  // a wake-up: the loop serves the paints
    }
    if (event.type == m_paintEvent + 1) {
        m_quit = true;
        return;
    }
    m_input->setLayout(m_window.layout());
    switch (event.type) {
    case SDL_QUIT: m_game->stop(); break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            const int32_t w = event.window.data1;
            const int32_t h = event.window.data2;
            m_window.resized(w, h);
            m_host->requestSize(m_doubling ? w >> 1 : w, m_doubling ? h >> 1 : h);
        } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
            // Drawn once the paints that came with it are in.
            m_window.invalidate();
        }
        break;
    case SDL_KEYDOWN:
        if (event.key.keysym.sym == SDLK_F11) {
            if (event.key.repeat == 0) {
                m_window.toggleFullscreen();
            }
        } else if (event.key.keysym.sym == SDLK_F12) {
            if (event.key.repeat == 0) {
                screenshot();
            }
        } else {
            m_input->keyDown(event.key.keysym.sym);
        }
        break;
    case SDL_KEYUP: m_input->keyUp(event.key.keysym.sym); break;
    case SDL_TEXTINPUT: m_input->text(event.text.text); break;
    case SDL_MOUSEBUTTONDOWN:
        if (event.button.button == SDL_BUTTON_LEFT) {
            m_input->penDown(event.button.x, event.button.y);
        }
        break;
    case SDL_MOUSEBUTTONUP:
        if (event.button.button == SDL_BUTTON_LEFT) {
            m_input->penUp(event.button.x, event.button.y);
        }
        break;
    case SDL_MOUSEMOTION:
        m_input->penMove(event.motion.x, event.motion.y, (event.motion.state & SDL_BUTTON_LMASK) != 0);
        break;
    case SDL_CONTROLLERDEVICEADDED: SDL_GameControllerOpen(event.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED:
        if (SDL_GameController* pad = SDL_GameControllerFromInstanceID(event.cdevice.which)) {
            SDL_GameControllerClose(pad);
        }
        m_gamepad->releaseAll();
        break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
        m_gamepad->button(static_cast<SDL_GameControllerButton>(event.cbutton.button),
            event.type == SDL_CONTROLLERBUTTONDOWN);
        break;
    case SDL_CONTROLLERAXISMOTION:
        m_gamepad->axis(static_cast<SDL_GameControllerAxis>(event.caxis.axis), event.caxis.value);
        break;
    default: break;
    }
}

void WindowGame::servePaints()
{
    m_handoff.serve([this](const PaintRequest& request) {
        m_window.copy(request);
        if (m_framebuffer.isOpen()) {
            rawPaint(request);
        }
        if (m_paintWatcher) {
            m_paintWatcher(request);
        }
    });
}

void WindowGame::rawPaint(const PaintRequest& r)
{
    const RawScreen& screen = m_framebuffer.screen();
    rawCopy(r.pixels, r.width, r.height, r.x, r.y, r.x + r.w, r.y + r.h, 0, m_framebuffer.turnFor(r.width), screen);
}

void WindowGame::pushKey(int32_t code, bool down, bool up)
{
    const SDL_Keycode key = keyFor(code);
    const uint32_t windowId = SDL_GetWindowID(m_window.handle());
    if (key == 0) {
        // No key gives this code: it can only be typed.
        if (down && code > 0 && code < 128) {
            pushChar(code);
        }
        return;
    }
    SDL_Event e {};
    e.key.windowID = windowId;
    e.key.keysym.sym = key;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
    // The soft key presses at its release: a scripted press is its release alone.
    if (down && !(up && key == SDLK_F2)) {
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        SDL_PushEvent(&e);
        if (key == SDLK_SPACE || (key >= SDLK_0 && key <= SDLK_9)) {
            // A keyboard types the key's character after its press.
            SDL_Event typed {};
            typed.type = SDL_TEXTINPUT;
            typed.text.windowID = windowId;
            typed.text.text[0] = static_cast<char>(key);
            SDL_PushEvent(&typed);
        }
    }
    if (up) {
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        SDL_PushEvent(&e);
    }
}

void WindowGame::pushChar(int32_t character)
{
    const uint32_t windowId = SDL_GetWindowID(m_window.handle());
    const int32_t lower = (character >= 'A' && character <= 'Z') ? character - 'A' + 'a' : character;
    // Characters with a key of their own come as that key's press, the
    // character, and the release, the way a keyboard sends them.
    const bool hasKey = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') || lower == ' '
                        || lower == '/';
    SDL_Event e {};
    e.key.windowID = windowId;
    e.key.keysym.sym = lower;
    e.key.keysym.scancode = SDL_GetScancodeFromKey(lower);
    if (hasKey) {
        e.type = SDL_KEYDOWN;
        e.key.state = SDL_PRESSED;
        SDL_PushEvent(&e);
    }
    if (character > 0 && character < 128) {
        SDL_Event typed {};
        typed.type = SDL_TEXTINPUT;
        typed.text.windowID = windowId;
        typed.text.text[0] = static_cast<char>(character);
        SDL_PushEvent(&typed);
    }
    if (hasKey) {
        e.type = SDL_KEYUP;
        e.key.state = SDL_RELEASED;
        SDL_PushEvent(&e);
    }
}

void WindowGame::atTime(uint32_t at, std::function<void(SDL_Window*)> action)
{
    m_actions.emplace_back(at, std::move(action));
}

void WindowGame::pushScriptEvents(uint32_t now)
{
    for (auto it = m_actions.begin(); it != m_actions.end();) {
        if (static_cast<int32_t>(it->first - now) <= 0) {
            auto action = std::move(it->second);
            it = m_actions.erase(it);
            action(m_window.handle());
        } else {
            ++it;
        }
    }
    while (!m_pending.empty() && static_cast<int32_t>(m_pending.front().at - now) <= 0) {
        const ScriptEvent e = m_pending.front();
        m_pending.pop_front();
        const FrameLayout& layout = m_window.layout();
        const uint32_t windowId = SDL_GetWindowID(m_window.handle());
        switch (e.kind) {
        case ScriptEvent::Key: pushKey(e.a, true, true); break;
        case ScriptEvent::Down: pushKey(e.a, true, false); break;
        case ScriptEvent::Up: pushKey(e.a, false, true); break;
        case ScriptEvent::Char: pushChar(e.a); break;
        case ScriptEvent::Tap: {
            m_pointerX = e.a;
            m_pointerY = e.b;
            SDL_Event tap {};
            tap.button.windowID = windowId;
            tap.button.button = SDL_BUTTON_LEFT;
            tap.button.clicks = 1;
            tap.button.x = layout.windowX(e.a);
            tap.button.y = layout.windowY(e.b);
            tap.type = SDL_MOUSEBUTTONDOWN;
            tap.button.state = SDL_PRESSED;
            SDL_PushEvent(&tap);
            tap.type = SDL_MOUSEBUTTONUP;
            tap.button.state = SDL_RELEASED;
            SDL_PushEvent(&tap);
            break;
        }
        case ScriptEvent::Drag: {
            SDL_Event move {};
            move.type = SDL_MOUSEMOTION;
            move.motion.windowID = windowId;
            move.motion.state = SDL_BUTTON_LMASK;
            m_pointerX += e.a;
            m_pointerY += e.b;
            move.motion.x = layout.windowX(m_pointerX);
            move.motion.y = layout.windowY(m_pointerY);
            SDL_PushEvent(&move);
            break;
        }
        case ScriptEvent::Frame: break;  // a recording's frame times: a headless replay follows them
        case ScriptEvent::Pen:
            // A recorded place of the pen: the scripted stylus moves there without touching.
            m_pointerX = e.a;
            m_pointerY = e.b;
            break;
        case ScriptEvent::Shot: {
            const std::lock_guard<std::mutex> order(m_window.directScreen().order());
            servePaints();
            const std::string path = m_session.shotPath(e.name);
            if (!m_window.writeWindowPng(path)) {
                m_failed = true;
                complain("cannot write the frame " + path, 1);
            }
            break;
        }
        case ScriptEvent::Quit: m_game->stop(); break;
        }
    }
}

void WindowGame::screenshot()
{
    const std::filesystem::path folder = std::filesystem::path(m_game->savePath()).parent_path();
    std::error_code missing;
    for (int32_t n = 1; n < 10000; ++n) {
        const std::filesystem::path path = folder / ("tarnby-golf-" + std::to_string(n) + ".png");
        if (std::filesystem::exists(path, missing)) {
            continue;
        }
        // The game's own latest rectangles first (some may be on the screen only).
        {
            const std::lock_guard<std::mutex> order(m_window.directScreen().order());
            servePaints();
            m_window.show();
        }
        if (m_window.writeFramePng(path.string())) {
            complain("screenshot saved as " + path.string(), 0);
        } else {
            complain("cannot write the screenshot " + path.string(), 0);
        }
        return;
    }
}

}  // namespace tarnby
