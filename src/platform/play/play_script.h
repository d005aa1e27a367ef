// A play script: the input of one scripted game, one event a line, each at a
// time on the game's virtual clock.
//
//     # comment (a '#' anywhere starts one)
//     T key K      press and release game key K
//     T down K     press K and hold it
//     T up K       release K
//     T char C     type character C (the character path)
//     T tap X,Y    the stylus taps the screen at (X, Y)
//     T drag DX,DY the stylus moves by (DX, DY)
//     T shot NAME  write the frame presented last as NAME.png
//     T quit       end the game
//     T frame MS   a recorded frame: the game slept MS ms at T (a recording
//                  replays with these frame times instead of 16 ms frames)
//     T pen X,Y    the stylus is at (X, Y), with no press (a recording's
//                  place of the pen as it went down or up)
//
// T is whole milliseconds from the start, never less than the line before.
// K is one of left right up down select soft back space star pound, a single
// digit 0..9 (that digit's key), or a key code of two or more digits ("10" is
// Enter, "05" is select).
//
// Budget: a script file of at most kMaxFileBytes (16 MB) and kMaxEvents events
// (about 64 MB held), parsed in one pass in time linear in its length; a
// message quotes at most 40 characters of a word.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tarnby {

struct ScriptEvent {
    enum Kind { Key, Down, Up, Char, Tap, Drag, Shot, Quit, Frame, Pen };
    uint32_t at = 0;  // milliseconds of virtual time
    Kind kind = Key;
    int32_t a = 0;     // key code, character, x / dx, or a frame's milliseconds
    int32_t b = 0;     // y / dy
    std::string name;  // the shot's name
    int32_t line = 0;  // line of the script it came from
};

class PlayScript {
public:
    // Latest time a script may name: the game's clock is a 32-bit tick count
    // and its log prints it as a plain number; about 24 days of play.
    static constexpr uint32_t kLastTime = 0x7FFFFFFF;
    // Largest stylus movement of one drag event, pixels.
    static constexpr int32_t kMaxDrag = 10000;
    // Longest recorded frame, milliseconds (an hour).
    static constexpr int32_t kMaxFrame = 3600000;
    // Largest script file, and most events of one script.
    static constexpr size_t kMaxFileBytes = 16u << 20;
    static constexpr size_t kMaxEvents = 1u << 20;

    // Reads a script for a screen of width x height pixels (taps must land on
    // it). On a bad line gives false with `error` set to one line naming the
    // script's `name`, the line number and what is wrong; the events read so
    // far are then dropped.
    bool parse(const std::string& text, const std::string& name, int32_t width, int32_t height, std::string& error);
    // Reads a script file; false with `error` set when it cannot be read or a line is bad.
    bool load(const std::string& path, int32_t width, int32_t height, std::string& error);

    const std::vector<ScriptEvent>& events() const { return m_events; }
    // Time of the last event (0 for an empty script).
    uint32_t endTime() const { return m_events.empty() ? 0 : m_events.back().at; }
    bool takesShots() const;
    // Whether the script is a recording with frame times.
    bool hasFrames() const;

    // The game key code a script names (see above), or 0 for none.
    static int32_t keyCode(const std::string& word);

private:
    std::vector<ScriptEvent> m_events;
};

}  // namespace tarnby
