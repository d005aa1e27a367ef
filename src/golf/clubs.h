// The golfer's bag: eleven clubs with their nominal carry and launch angle,
// the automatic club choice and the conversion of a swing into a launch.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"

namespace tarnby {

constexpr int32_t kClubCount = 11;
constexpr int32_t kDriver = 0;
constexpr int32_t kThreeWood = 1;
constexpr int32_t kNineIron = 8;
constexpr int32_t kPitchingWedge = 9;
constexpr int32_t kPutter = 10;

struct Club {
    const char* label;  // first character: the club menu key; from the third: the HUD text
    Fixed distance;     // nominal carry, yards (a yard counted as 32766)
    int32_t angle;      // launch angle, 32768 to a turn; 0 rolls the ball
};

// Club 0..10 (a bad index reads as the putter).
const Club& clubAt(int32_t index);

// Shortest full club whose distance reaches d: the driver beyond the 3-wood,
// the 9-iron when even it is long enough.
constexpr Fixed kFullClubDistance = 1965960;  // 60 yards
constexpr Fixed kPuttFromEdge = 109220;       // 3 1/3 yards
int32_t clubForDistance(Fixed d, int32_t surface);

// The carry target of a swing: the club's distance scaled by the power
// (swingPower a 16.16 percentage, 0..100.0).
Fixed carryTarget(int32_t club, int32_t swingPower);

// Launch speed of a ball struck for a carry target D: horizontal and vertical
// speed in yards per time unit.
struct Launch {
    Fixed horizontal;
    Fixed vertical;
};
Launch launchFor(int32_t club, Fixed target);

}  // namespace tarnby
