// The club table, the choice of club by distance and the launch of a struck ball.
#include "golf/clubs.h"

#include "golf/surface_table.h"
#include "terrain/vphob.h"

namespace tarnby {

namespace {

const Club kClubs[kClubCount] = {
    // clang-format off
    { "1 1W-250", 8191500, 1092 }, { "2 3W-230", 7536180, 1365 }, { "3 3i-200", 6553200, 1456 },
    { "4 4i-185", 6061710, 1820 }, { "5 5i-170", 5570220, 2184 }, { "6 6i-155", 5078730, 2548 },
    { "7 7i-140", 4587240, 2912 }, { "8 8i-125", 4095750, 3276 }, { "9 9i-110", 3604260, 3640 },
    { "# PW-60", 1965960, 5461 },  { "* PT-100", 1092200, 0 },
    // clang-format on
};

// 90 % of the target: the ball rolls out the rest.
constexpr Fixed kCarryShare = 0x7333;

}  // namespace

const Club& clubAt(int32_t index) { return kClubs[index >= 0 && index < kClubCount ? index : kPutter]; }

int32_t clubForDistance(Fixed d, int32_t surface)
{
    if (d >= kFullClubDistance) {
        for (int32_t i = 0; i <= kNineIron; ++i) {
            if (kClubs[i].distance < d) {
                // The previous club is the shortest that still reaches; nothing
                // reaches further than the driver.
                return i <= kThreeWood ? kDriver : i - 1;
            }
        }
        return kNineIron;
    }
    if (surface == kSurfaceGreen || (surface == kSurfaceGreenEdge && d < kPuttFromEdge)) {
        return kPutter;
    }
    return kPitchingWedge;
}

Fixed carryTarget(int32_t club, int32_t swingPower)
{
    // swingPower >> 15 is twice the percentage.
    return static_cast<Fixed>(static_cast<int64_t>(clubAt(club).distance) * (swingPower >> 15) / 200);
}

Launch launchFor(int32_t club, Fixed target)
{
    const int32_t angle = clubAt(club).angle;
    if (angle == 0) {
        return { fsqrt(static_cast<int64_t>(target) * 12), 0 };
    }
    // Flat-ground range: v^2 = range * g / sin(2 angle), with 30 fraction
    // bits in the product and a 64-bit quotient before the root.
    const int64_t product = static_cast<int64_t>(fmul(kCarryShare, target)) * -kGameGravity;
    const Fixed v = fsqrt(product / fsin(angle * 2));
    return { fmul(v, fcos(angle)), fmul(v, fsin(angle)) };
}

}  // namespace tarnby
