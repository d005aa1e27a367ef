// Score names and scorecard lines.
#include "golf/scoring.h"

#include "golf/holetable.h"

namespace tarnby {

const char* scoreName(int32_t par, int32_t strokes)
{
    switch (par - strokes) {
    case 0: return "Par";
    case 1: return "Birdie!";
    case 2: return "Eagle!";
    case 3: return "Double Eagle!";
    default: return "Scorecard";
    }
}

int32_t parThrough(int32_t lastHole)
{
    int32_t sum = 0;
    for (int32_t h = 0; h <= lastHole && h < kHolesPerCourse; ++h) {
        sum += holePar(h);
    }
    return sum;
}

std::string holeLine(int32_t hole, int32_t par, int32_t strokes)
{
    std::string line = "Hole " + std::to_string(hole + 1);
    if (strokes < par) {
        return line + ":\t-" + std::to_string(par - strokes);
    }
    return line + ":\t+" + std::to_string(strokes - par);
}

std::string roundLine(int32_t toPar)
{
    return std::string("Round:\t") + (toPar < 0 ? "-" + std::to_string(-toPar) : "+" + std::to_string(toPar));
}

}  // namespace tarnby
