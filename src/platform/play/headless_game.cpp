// The game played without a window, by script, on a virtual clock.
#include "platform/play/headless_game.h"

#include <cstdio>

#include "golf/device_profile.h"
#include "runtime/files.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

bool notAfter(uint32_t at, uint32_t now) { return static_cast<int32_t>(at - now) <= 0; }

}  // namespace

HeadlessGame::HeadlessGame(const GameOptions& options) : HeadlessHost(options.width, options.height), m_options(options)
{
}

HeadlessGame::~HeadlessGame()
{
    attachInput(nullptr);
    if (m_game) {
        m_game->destroy();
    }
}

int32_t HeadlessGame::letterKey(int32_t character)
{
    // The digits and symbols printed on a letter keyboard's keys.
    static constexpr struct {
        char letter;
        char key;
    } kLetters[] = { { 'w', '1' }, { 'e', '2' }, { 'r', '3' }, { 's', '4' }, { 'd', '5' }, { 'f', '6' }, { 'z', '7' },
        { 'x', '8' }, { 'c', '9' }, { '/', '0' }, { 'a', '*' }, { 'g', '#' } };
    const int32_t lower = (character >= 'A' && character <= 'Z') ? character - 'A' + 'a' : character;
    for (const auto& entry : kLetters) {
        if (lower == entry.letter) {
            return entry.key;
        }
    }
    return 0;
}

int HeadlessGame::prepare()
{
    if (int status = m_session.prepare(m_options.width, m_options.height); status != 0) {
        return status;
    }
    m_limit = static_cast<uint32_t>(std::min<int64_t>(m_session.limit(false), 0xFFFFFFFF));
    return 0;
}

void HeadlessGame::scheduleScript()
{
    const bool letters = m_options.device == GameOptions::Device::Letters;
    for (const ScriptEvent& e : m_session.script().events()) {
        switch (e.kind) {
        case ScriptEvent::Key: schedule({ e.at, InputEvent::Key, e.a, 0 }); break;
        case ScriptEvent::Down: schedule({ e.at, InputEvent::KeyDown, e.a, 0 }); break;
        case ScriptEvent::Up: schedule({ e.at, InputEvent::KeyUp, e.a, 0 }); break;
        case ScriptEvent::Char:
            // A letter keyboard turns its digit letters into keys; no character follows.
            if (letters && letterKey(e.a) != 0) {
                schedule({ e.at, InputEvent::Key, letterKey(e.a), 0 });
            } else {
                schedule({ e.at, InputEvent::Char, e.a, 0 });
            }
            break;
        case ScriptEvent::Tap: schedule({ e.at, InputEvent::Tap, e.a, e.b }); break;
        case ScriptEvent::Drag: schedule({ e.at, InputEvent::Drag, e.a, e.b }); break;
        case ScriptEvent::Shot:
        case ScriptEvent::Quit: m_pending.push_back(e); break;
        case ScriptEvent::Pen: schedule({ e.at, InputEvent::Pen, e.a, e.b }); break;
        case ScriptEvent::Frame: m_frames.push_back(e.a); break;
        }
    }
}

int HeadlessGame::run()
{
    if (int status = prepare(); status != 0) {
        return status;
    }
    deviceProfile() = m_options.profile();
    m_game = make<Golf>();
    m_game->setSavePath(m_options.savePath.empty() ? dataPath("tarnbygolf") : m_options.savePath);
    m_session.attachLog(*m_game);
    m_game->setSize(m_options.width, m_options.height);
    m_game->attach();
    attachInput(m_game.get());
    scheduleScript();
    takeDueShots();  // shots and a quit at time 0 come before the first frame
    if (m_game->isRunning()) {
        m_game->run();
    }
    attachInput(nullptr);
    m_failed = !m_session.finish(m_game.get()) || m_failed;
    m_game->destroy();
    m_game = nullptr;
    return m_failed ? 1 : 0;
}

void HeadlessGame::sleep(int32_t milliseconds)
{
    if (!m_frames.empty()) {
        // A recording: each sleep lasts as long as the recorded frame's, and
        // the game ends with the recording.
        if (m_nextFrame >= m_frames.size()) {
            m_game->stop();
            return;
        }
        milliseconds = m_frames[m_nextFrame++];
    }
    HeadlessHost::sleep(milliseconds);
    takeDueShots();
}

void HeadlessGame::takeDueShots()
{
    while (!m_pending.empty() && notAfter(m_pending.front().at, tickCount())) {
        const ScriptEvent event = m_pending.front();
        m_pending.pop_front();
        if (event.kind == ScriptEvent::Quit) {
            m_game->stop();
            continue;
        }
        const std::string path = m_session.shotPath(event.name);
        if (!writePng(path)) {
            m_failed = true;
            PlaySession::complain("cannot write the frame " + path, 1);
        }
    }
    if (notAfter(m_limit, tickCount())) {
        m_game->stop();
    }
}

}  // namespace tarnby
