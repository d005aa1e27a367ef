// Scores against par: the names of a hole's score and the scorecard's lines.
#pragma once

#include <cstdint>
#include <string>

namespace tarnby {

// "Par", "Birdie!", "Eagle!", "Double Eagle!" or, over par or four under,
// "Scorecard".
const char* scoreName(int32_t par, int32_t strokes);

// Sum of the par of holes 0..lastHole.
int32_t parThrough(int32_t lastHole);

// "Hole 5:\t+1": the hole (0-based) and its strokes against par; even par is "+0".
std::string holeLine(int32_t hole, int32_t par, int32_t strokes);

// "Round:\t-2": the round so far against par; even par is "+0".
std::string roundLine(int32_t toPar);

}  // namespace tarnby
