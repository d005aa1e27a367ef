// One stroke from the lie to the strike: standing at the ball, the distance
// and club, turning the aim, the drifting wind, the swing meter, the golfer's
// animation and the launch of the ball.
#include <algorithm>

#include "golf/clubs.h"
#include "golf/golf.h"
#include "golf/hole_setup.h"
#include "runtime/host.h"
#include "runtime/keys.h"
#include "runtime/random.h"

namespace tarnby {

namespace {

constexpr int32_t kFullPower = 6553600;  // 100.0 in 16.16
constexpr int32_t kCameraFollowGap = 513;
constexpr Fixed kFeetLimit = 1092200;  // 33 1/3 yards
constexpr Fixed kWindScale = 196836;   // yards per time unit per wind unit

bool isSwingKey(int32_t key) { return key == kKeySelect || key == '5' || key == kKeySpace || key == kKeyEnter; }

}  // namespace

void Golf::setUpLie(Fixed aimX, Fixed aimZ)
{
    const Fixed bx = ballSprite->getX3d();
    const Fixed by = ballSprite->getY3d();
    const Fixed bz = ballSprite->getZ3d();
    golferSprite->setPosition3d(bx, by, bz);

    // The distance shown is the length of the path through the aim point.
    Fixed d = fhypot(wrapSub(bx, aimX), wrapSub(bz, aimZ));
    const Fixed flagX = pinSprite->getX3d();
    const Fixed flagZ = pinSprite->getZ3d();
    if (flagX != aimX || flagZ != aimZ) {
        d = wrapAdd(d, fhypot(wrapSub(aimX, flagX), wrapSub(aimZ, flagZ)));
    }

    // A little aiming error, except on the very first stroke of a round.
    int32_t error = 0;
    if (hole != 0 || holeStrokes != 0) {
        error = (static_cast<int32_t>(host().tickCount() & 15) - 9) * 45;
    }
    terrainView->setPosition3d(bx, by, bz);
    terrainView->lookAt(aimX, aimZ);
    terrainView->setHeading(terrainView->getHeading() + error);
    terrainView->setHeightAboveGround(cameraHeight);
    minCameraHeight = terrainView->getY3d();
    terrainView->moveForward(-kCameraBehindBall);

    aimHeading = terrainView->getHeading();
    setGameState(Aiming);
    chooseClubForDistance(d);

    hudPar->setNumber(holeStrokes + 1);
    hudScore->setNumber(holeStrokes + roundStrokes);
    if (club == kPutter && d < kFeetLimit) {
        hudDistance->setText(String::intern("Feet "));
        hudDistance->setNumber(d / 10922);
    } else {
        hudDistance->setText(String::intern("Yards "));
        hudDistance->setNumber(d / 32766);
    }
}

void Golf::aimAtPin() { setUpLie(pinSprite->getX3d(), pinSprite->getZ3d()); }

void Golf::turnAim(int32_t delta)
{
    aimHeading += delta;
    aimMarkerOffset = 0;
    const int32_t e = (aimHeading - terrainView->getHeading()) & 0x7FFF;
    if (std::min(e, kFullTurn - e) < kCameraFollowGap) {
        return;  // the marker shows the new line; the camera stays
    }
    // Swing the camera round the ball onto the new line.
    terrainView->moveForward(kCameraBehindBall);
    terrainView->setHeading(aimHeading);
    terrainView->moveForward(-kCameraBehindBall);
    paintColumns();
    flushInput();
}

void Golf::updateWind()
{
    const uint32_t tick = host().tickCount();
    const int32_t strengthGap = wrapSub(windStrengthTarget, windStrength) >> 7;
    if (strengthGap == 0) {
        windStrengthTarget = static_cast<Fixed>(tick & 0x3FFFF);
    } else {
        windStrength += strengthGap > 0 ? 128 : -128;
    }
    const int32_t directionGap = wrapSub(windDirectionTarget, windDirection) >> 7;
    if (directionGap == 0) {
        windDirectionTarget = static_cast<int32_t>(tick & 0x7FFF);
    } else {
        windDirection += directionGap > 0 ? 2 : -2;
    }
    if (hudWind) {
        hudWind->setNumber((windStrength + 16384) >> 15);
    }
    int32_t angle = windDirection;
    if (gameState != Overhead && terrainView) {
        angle += terrainView->getHeading();
    }
    angle &= 0x7C00;
    // Redrawing the arrow is a shape load: only when it turns a whole step.
    if (windArrow && angle != m_arrowAngle) {
        m_arrowAngle = angle;
        windArrowReader->load(windArrow, String::intern("arrow"), 24, 24, 48, 2, angle);
    }
}

void Golf::startSwing()
{
    aimMarkerOffset = 0;
    aimMarkerSprite->removeSelf();
    const int32_t w = getWidth();
    const int32_t h = getHeight();
    swingMeter->setPosition((w >> 2) + (w >> 1) - 12, std::min(ballSprite->m_bottom, h - 8) - 100);
    addTail(swingMeter);
    ball->setVelocity(0, 0, 0);
    swingPower = 0;
    swingMeterBar->setSize(24, 0);
    swingMeterBar->setPosition(0, 100);
    waitFrame(0);
    // The state first: a cancel in this very first meter frame must stand.
    setGameState(SwingMeter);
    runSwingMeter();
}

void Golf::runSwingMeter()
{
    const int32_t key = nextKey();
    if (key == kKeySoft) {
        swingMeter->removeSelf();
        setGameState(Aiming);
        return;
    }
    int32_t increment = std::min(m_frameTime, 50) * 2048;
    if (club != kPutter) {
        increment += increment >> 1;
    }
    const int32_t power = std::min(swingPower + increment, kFullPower);
    const bool full = swingPower >= kFullPower;
    if (swingPower != 0 && (full || isSwingKey(key))) {
        swingMeter->removeSelf();
        if (!isSwingKey(key)) {
            // Overswing: the full meter released itself and the shot flies off line.
            playSound("bad");
            const Fixed r1 = random();
            const Fixed r2 = random();
            int32_t deviation = 910 + fmul(r1, 456);
            if (r2 < kHalf) {
                deviation = -deviation;
            }
            aimHeading += deviation;
        }
        setGameState(club == kPutter ? PuttAnim : SwingAnim);
        return;
    }
    swingPower = power;
    const int32_t bar = swingPower >> 16;
    swingMeterBar->setSize(24, bar);
    swingMeterBar->setPosition(0, 100 - bar);
}

void Golf::runSwingAnim()
{
    loadSwingFrames();
    for (int32_t f = 1; f <= 7; ++f) {
        showSwingFrame(golferFrameBase + f);
    }
    playSound("swing");
    showSwingFrame(golferFrameBase + 8);
    showSwingFrame(golferFrameBase + 9);
    if (isRunning()) {
        strikeBall();
        for (int32_t f = 10; f <= 16; ++f) {
            showSwingFrame(golferFrameBase + f);
        }
    }
}

void Golf::runPuttAnim()
{
    loadSwingFrames();
    showSwingFrame(golferFrameBase + 18);
    strikeBall();
    for (int32_t f = 19; f <= 22; ++f) {
        showSwingFrame(golferFrameBase + f);
    }
}

void Golf::showSwingFrame(int32_t picture)
{
    if (!isRunning() || (gameState != BallFlight && gameState != SwingAnim && gameState != PuttAnim)) {
        return;
    }
    if (pictures->getPictureRef(picture)) {
        golferSprite->setFrame(picture);
    }
    const Vector& v = *ball->velocity();
    if (v.x() == 0 && v.y() == 0 && v.z() == 0) {
        paint();
        waitFrame(96);
        return;
    }
    // The ball is on its way: keep it flying under the follow-through.
    int32_t budget = 96;
    for (int32_t i = 0; i < 6 && isRunning(); ++i) {
        if (gameState == BallFlight) {
            stepBallFlight();
        }
        paint();
        waitFrame(16);
        budget -= m_frameTime;
        if (budget < 0) {
            break;
        }
    }
}

void Golf::loadSwingFrames()
{
    if (swingFramesLoaded) {
        return;
    }
    swingFramesLoaded = true;
    for (auto [first, last] : { std::pair { 33, 48 }, { 50, 54 }, { 56, 71 }, { 73, 77 } }) {
        for (int32_t i = first; i <= last; ++i) {
            pictures->getPicture(i);
        }
    }
}

void Golf::strikeBall()
{
    setGameState(BallFlight);
    playSound("hit");
    const Fixed w = fmul(windStrength, kWindScale);
    ball->wind()->set(fmul(w, fsin(windDirection)), 0, wrapSub(0, fmul(w, fcos(windDirection))));
    restFrames = 0;
    holeStrokes += 1;

    const Launch launch = launchFor(club, carryTarget(club, swingPower));
    const Fixed x = ballSprite->getX3d();
    const Fixed y = ballSprite->getY3d();
    const Fixed z = ballSprite->getZ3d();
    ball->setPosition(x, y, z);
    lastLie->set(x, y, z);
    const Fixed vx = fmul(launch.horizontal, fsin(aimHeading));
    const Fixed vz = wrapSub(0, fmul(launch.horizontal, fcos(aimHeading)));
    ball->setVelocity(vx, launch.vertical, vz);

    const Vector& wind = *ball->wind();
    logLine("strike club %d power %d heading %d windstrength %d winddir %d wind %d,%d,%d from %d,%d,%d "
            "launch %d,%d,%d",
        club, swingPower, aimHeading, windStrength, windDirection, wind.x(), wind.y(), wind.z(), x, y, z, vx,
        launch.vertical, vz);
}

}  // namespace tarnby
