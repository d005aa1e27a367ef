// Where the game reports each event of play, one line at a time.
#pragma once

#include <string>

namespace tarnby {

// Receives one line per event of play (state changes, strikes, outcomes,
// sounds, saves; with `steps` set also every flight step), already formatted
// and prefixed with the virtual time. The game never writes through a null log.
class GameLog {
public:
    virtual ~GameLog() = default;
    virtual void write(const std::string& line) = 0;
    bool steps = false;
};

}  // namespace tarnby
