// Reading play scripts: one event a line, checked strictly, so that a typing
// mistake is named with its line instead of playing a different game.
#include "platform/play/play_script.h"

#include <cstdio>
#include <sstream>

#include "runtime/files.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

// A whole decimal number without a sign; false when there are other
// characters or it is larger than `limit`.
bool parseCount(const std::string& text, int64_t limit, int64_t& value)
{
    if (text.empty() || text.size() > 12) {
        return false;
    }
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

// A word of the script as a message quotes it: at most 40 characters, so that
// a line of a whole megabyte still gives a one-line message, and a byte that
// is not a printable character shows as '?' (a carriage return or a terminal
// control from a damaged file would garble the line).
std::string clip(const std::string& word)
{
    std::string quoted = word.size() <= 40 ? word : word.substr(0, 37) + "...";
    for (char& c : quoted) {
        const unsigned char u = static_cast<unsigned char>(c);
        c = u < 32 || u > 126 ? '?' : c;
    }
    return quoted;
}

// A whole number with an optional minus sign, within -limit..limit.
bool parseSigned(const std::string& text, int64_t limit, int64_t& value)
{
    const bool negative = !text.empty() && text[0] == '-';
    if (!parseCount(negative ? text.substr(1) : text, limit, value)) {
        return false;
    }
    value = negative ? -value : value;
    return true;
}

// "A,B" as two whole numbers within -limit..limit.
bool parsePair(const std::string& text, int64_t limit, int64_t& a, int64_t& b)
{
    const size_t comma = text.find(',');
    return comma != std::string::npos && parseSigned(text.substr(0, comma), limit, a)
           && parseSigned(text.substr(comma + 1), limit, b);
}

// Shot names become file names in the frames folder: no folders, nothing hidden.
bool goodShotName(const std::string& name)
{
    if (name.empty() || name.size() > 100 || name[0] == '.') {
        return false;
    }
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-'
                           || c == '_' || c == '.';
        if (!plain) {
            return false;
        }
    }
    return true;
}

struct Word {
    const char* name;
    int32_t code;
};
constexpr Word kKeyNames[] = {
    { "left", kKeyLeft },
    { "right", kKeyRight },
    { "up", kKeyUp },
    { "down", kKeyDown },
    { "select", kKeySelect },
    { "soft", kKeySoft },
    { "back", kKeyBack },
    { "space", kKeySpace },
    { "star", kKeyStar },
    { "pound", kKeyPound },
};

}  // namespace

int32_t PlayScript::keyCode(const std::string& word)
{
    for (const Word& key : kKeyNames) {
        if (word == key.name) {
            return key.code;
        }
    }
    if (word.size() == 1 && word[0] >= '0' && word[0] <= '9') {
        return kKeyDigit0 + (word[0] - '0');
    }
    // Game key codes are signed bytes; 0 is "no key".
    int64_t code = 0;
    if (word.size() >= 2 && parseCount(word, 127, code) && code > 0) {
        return static_cast<int32_t>(code);
    }
    return 0;
}

bool PlayScript::hasFrames() const
{
    for (const ScriptEvent& event : m_events) {
        if (event.kind == ScriptEvent::Frame) {
            return true;
        }
    }
    return false;
}

bool PlayScript::takesShots() const
{
    for (const ScriptEvent& event : m_events) {
        if (event.kind == ScriptEvent::Shot) {
            return true;
        }
    }
    return false;
}

bool PlayScript::parse(const std::string& text, const std::string& name, int32_t width, int32_t height,
    std::string& error)
{
    m_events.clear();
    std::istringstream lines(text);
    std::string line;
    int32_t number = 0;
    uint32_t last = 0;
    auto fail = [&](const std::string& what) {
        error = name + ":" + std::to_string(number) + ": " + what;
        m_events.clear();
        return false;
    };
    while (std::getline(lines, line)) {
        ++number;
        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.resize(comment);
        }
        std::istringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;) {
            w.push_back(word);
        }
        if (w.empty()) {
            continue;
        }
        ScriptEvent event;
        event.line = number;
        int64_t at = 0;
        if (!parseCount(w[0], kLastTime, at)) {
            return fail(
                "\"" + clip(w[0]) + "\" is not a time in milliseconds (0 to " + std::to_string(kLastTime) + ")");
        }
        event.at = static_cast<uint32_t>(at);
        if (event.at < last) {
            return fail("time " + w[0] + " is before the time of the line above (" + std::to_string(last) + ")");
        }
        last = event.at;
        if (w.size() < 2) {
            return fail("an event must follow the time");
        }
        const std::string& kind = w[1];
        const bool takesArgument = kind != "quit";
        if (takesArgument && w.size() < 3) {
            return fail("\"" + clip(kind) + "\" needs a value");
        }
        if (w.size() > (takesArgument ? 3u : 2u)) {
            return fail("unexpected \"" + clip(w[takesArgument ? 3 : 2]) + "\" after the event");
        }
        const std::string arg = takesArgument ? w[2] : std::string();
        if (kind == "key" || kind == "down" || kind == "up") {
            event.kind = kind == "key" ? ScriptEvent::Key : kind == "down" ? ScriptEvent::Down : ScriptEvent::Up;
            event.a = keyCode(arg);
            if (event.a == 0) {
                return fail("unknown key \"" + clip(arg)
                            + "\" (left right up down select soft back space star pound, a digit, or a code 10..127)");
            }
        } else if (kind == "char") {
            event.kind = ScriptEvent::Char;
            if (arg.size() != 1 || arg[0] < 33 || arg[0] > 126) {
                return fail("\"" + clip(arg) + "\" is not one printable character");
            }
            event.a = arg[0];
        } else if (kind == "pen") {
            // A recorded stylus place, inside the frame or beyond it (a touch on a window's bars).
            event.kind = ScriptEvent::Pen;
            int64_t x = 0;
            int64_t y = 0;
            if (!parsePair(arg, kMaxDrag, x, y)) {
                return fail("pen \"" + clip(arg) + "\" is not X,Y (each -" + std::to_string(kMaxDrag) + " to "
                            + std::to_string(kMaxDrag) + ")");
            }
            event.a = static_cast<int32_t>(x);
            event.b = static_cast<int32_t>(y);
        } else if (kind == "tap" || kind == "drag") {
            int64_t x = 0;
            int64_t y = 0;
            if (kind == "tap") {
                event.kind = ScriptEvent::Tap;
                if (!parsePair(arg, kLastTime, x, y) || x < 0 || y < 0 || x >= width || y >= height) {
                    return fail("tap \"" + clip(arg) + "\" is not X,Y on the " + std::to_string(width) + "x"
                                + std::to_string(height) + " screen");
                }
            } else {
                event.kind = ScriptEvent::Drag;
                if (!parsePair(arg, kMaxDrag, x, y)) {
                    return fail("drag \"" + clip(arg) + "\" is not DX,DY (each -" + std::to_string(kMaxDrag) + " to "
                                + std::to_string(kMaxDrag) + ")");
                }
            }
            event.a = static_cast<int32_t>(x);
            event.b = static_cast<int32_t>(y);
        } else if (kind == "shot") {
            event.kind = ScriptEvent::Shot;
            if (!goodShotName(arg)) {
                return fail("shot name \"" + clip(arg) + "\" must be letters, digits, '-', '_' or '.' (not first)");
            }
            event.name = arg;
        } else if (kind == "quit") {
            event.kind = ScriptEvent::Quit;
        } else if (kind == "frame") {
            event.kind = ScriptEvent::Frame;
            int64_t ms = -1;
            if (!parseCount(arg, kMaxFrame, ms)) {
                return fail("frame \"" + clip(arg) + "\" is not a time of 0 to " + std::to_string(kMaxFrame) + " ms");
            }
            event.a = static_cast<int32_t>(ms);
        } else {
            return fail("unknown event \"" + clip(kind) + "\" (key down up char tap drag shot quit frame pen)");
        }
        if (m_events.size() == kMaxEvents) {
            return fail("more than " + std::to_string(kMaxEvents) + " events");
        }
        m_events.push_back(event);
    }
    return true;
}

bool PlayScript::load(const std::string& path, int32_t width, int32_t height, std::string& error)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = "cannot read the script " + path;
        return false;
    }
    std::string text;
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        text.append(buffer, n);
        if (text.size() > kMaxFileBytes) {
            std::fclose(file);
            error = "the script " + path + " is larger than " + std::to_string(kMaxFileBytes) + " bytes";
            return false;
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = "cannot read the script " + path;
        return false;
    }
    return parse(text, path, width, height, error);
}

}  // namespace tarnby
