// The ball in flight: one physics step per frame and what ends a shot (out
// of bounds, water, the cup, rest), with the trail, the map markers, the
// "Out of bounds" message and the map framed on ball and flag.
#include <algorithm>

#include "golf/golf.h"
#include "golf/holetable.h"
#include "golf/surface_table.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

constexpr int32_t kLongestFrame = 60;   // ms of flight one step covers at most
constexpr Fixed kTrailHeight = 0x2AAB;  // a third of a yard
constexpr Fixed kNearCup = 0x5554;      // two thirds of a yard
constexpr Fixed kInCup = 911;           // a thirty-sixth of a yard
constexpr Fixed kDropSpeed = 0x58DE0;   // 11.11 yards per second
constexpr Fixed kStill = 910;
constexpr int32_t kStillSteps = 30;
constexpr int32_t kBallPicture = 30;
constexpr int32_t kOffMap = -1000;

}  // namespace

bool Golf::ballSeen()
{
    const Vsprite& b = *ballSprite;
    if (b.m_hiddenPixels == 0 && b.m_right > 0 && b.m_left < getWidth() && b.m_top > -20) {
        return true;
    }
    return ballShadowSprite->m_hiddenPixels == 0 && isVisible(ballShadowSprite);
}

void Golf::runBallFlight()
{
    const bool seen = ballSeen();
    const int32_t key = nextKey();
    if (key == kKeySelect || key == '7' || key == kKeySpace || !seen) {
        enterOverhead(MapFlight);
        return;
    }
    if (!stepBallFlight() && gameState != HoleOver) {
        aimAtPin();
        paintColumns();
    }
}

void Golf::runMapFlight()
{
    if (!stepBallFlight()) {
        if (gameState != HoleOver) {
            aimAtPin();
            terrainView->renderChangeDetect();
            setGameState(Aiming);
            returnToAiming();
        }
        return;
    }
    if (gameState == MapFlight && !isVisible(mapBallSprite) && !isVisible(mapShadowSprite)) {
        frameMap();
    }
}

bool Golf::stepBallFlight()
{
    int32_t t = m_frameTime;
    if (t <= 0 || t > kLongestFrame) {
        t = kLongestFrame;
    }
    ball->step(t * 32);
    const Vector& p = *ball->getPosition();
    const Fixed x = p.x();
    const Fixed y = p.y();
    const Fixed z = p.z();
    if (m_log && m_log->steps) {
        logLine("step %d %d,%d,%d", t, x, y, z);
    }

    if (((x | z) & static_cast<int32_t>(0xFF000000)) != 0) {
        logOutcome("out");
        holeStrokes += 1;
        if (gameState == BallFlight) {
            enterOverhead(Overhead);
        }
        showMessage(String::intern("Out of bounds"));
        // Ball, shadow and map markers all go back to the spot the shot was played from.
        ballSprite->setPosition3d(lastLie->x(), lastLie->y(), lastLie->z());
        ballShadowSprite->setPosition3d(lastLie->x(), terrain->heightAt(lastLie->x(), lastLie->z()), lastLie->z());
        mapBallSprite->setPositionFixed(lastLie->x(), lastLie->z());
        mapShadowSprite->setPositionFixed(lastLie->x(), lastLie->z());
        aimAtPin();
        setGameState(Overhead);
        return true;
    }

    const Fixed ground = terrain->heightAt(x, z);

    // The trail marks the part of the flight well above the ground.
    Ref<Vsprite>& dot = trailDots[trailIndex];
    if (wrapSub(y, ground) < kTrailHeight) {
        if (dot) {
            dot->removeSelf();
        }
    } else {
        if (!dot) {
            dot = make<Vsprite>();
            dot->setPicture(pictures, kBallPicture);
            dot->setOpacity(kHalf);
            dot->setScale(ballSprite->getScale());
            dot->setMinScale(ballSprite->m_minScale / 2);
        }
        dot->setPosition3d(ballSprite->getX3d(), ballSprite->getY3d(), ballSprite->getZ3d());
        if (!dot->hasParent()) {
            terrainView->add(dot);
        }
    }
    trailIndex = (trailIndex + 1) % kTrailDots;

    const Fixed flagX = pinSprite->getX3d();
    const Fixed flagZ = pinSprite->getZ3d();
    pinOffset->set(wrapSub(flagX, x), wrapSub(pinSprite->getY3d(), y), wrapSub(flagZ, z));
    const Fixed d = pinOffset->fastLength();
    // Near the cup: close to it now, or the ground path of this step ran over it.
    const bool nearCup = d < kNearCup
                         && (d < kInCup
                             || segmentDistanceSq(flagX, flagZ, ballSprite->getX3d(), ballSprite->getZ3d(), x, z)
                                    < kInCup);

    ballSprite->setPosition3d(x, y, z);
    ballShadowSprite->setPosition3d(x, ground, z);
    mapBallSprite->setPositionFixed(x, z);
    mapShadowSprite->setPositionFixed(x, wrapAdd(z, wrapSub(y, ground) / 2));

    if (nearCup && ball->velocity()->fastLength() < kDropSpeed) {
        logOutcome("holed");
        playSound("incup");
        ball->setVelocity(0, 0, 0);
        for (const Ref<Vsprite>& gone :
            { ballSprite, ballShadowSprite, aimMarkerSprite, mapBallSprite, mapShadowSprite }) {
            gone->removeSelf();
        }
        finishHole();
        return false;
    }

    bool stopped = false;
    if (fabs(wrapSub(d, lastPinDistance)) < kStill) {
        restFrames += 1;
        stopped = restFrames >= kStillSteps;
    } else {
        restFrames = 0;
        lastPinDistance = d;
    }

    const Vector& v = *ball->velocity();
    const bool still = ball->onGround() && v.x() == 0 && v.y() == 0 && v.z() == 0;
    if (still || stopped) {
        if (terrain->surfaceAt(x, z) == kSurfaceWater) {
            logOutcome("water");
            playSound("water");
            holeStrokes += 1;
            if (gameState == BallFlight) {
                aimAtPin();
                enterOverhead(Splash);
            }
            ballSprite->setPosition3d(lastLie->x(), lastLie->y(), lastLie->z());
            ballShadowSprite->setPosition3d(lastLie->x(), terrain->heightAt(lastLie->x(), lastLie->z()), lastLie->z());
            // Off the tee the hole is played toward its aim point again.
            const HoleRow& row = holeRow(course, hole);
            if (fixedToInt(lastLie->x()) == row.teeX && fixedToInt(lastLie->z()) == row.teeZ) {
                setUpLie(toFixed(row.aimX), toFixed(row.aimZ));
            } else {
                aimAtPin();
            }
            mapShadowSprite->setPosition(kOffMap, kOffMap);
            setGameState(Splash);
            return true;
        }
        if (stopped) {
            logLine("rest %d,%d,%d surface %d", x, y, z, terrain->surfaceAt(x, z));
            return false;
        }
    }
    return true;
}

void Golf::showMessage(const Ref<String>& text)
{
    if (message) {
        message->removeSelf();
    }
    Ref<Vtext> box = make<Vtext>(text);
    box->setColour(kPanelColour);
    message = box;
    addCentred(box);
}

void Golf::frameMap()
{
    const int32_t w = getWidth();
    const int32_t h = getHeight();
    const Fixed margin = toFixed(32);
    const Fixed bx = ballSprite->getX3d();
    const Fixed bz = ballSprite->getZ3d();
    const Fixed fx = pinSprite->getX3d();
    const Fixed fz = pinSprite->getZ3d();
    const Fixed left = std::min(bx, fx) - margin;
    const Fixed right = std::max(bx, fx) + margin;
    const Fixed top = std::min(bz, fz) - margin;
    const Fixed bottom = std::max(bz, fz) + margin;
    const Fixed boxW = right - left;
    const Fixed boxH = bottom - top;
    Fixed scale = boxW > boxH ? fdiv(toFixed(w), boxW) : fdiv(toFixed(h), boxH);
    scale = std::clamp(scale, wholeMapScale, std::max(wholeMapScale, toFixed(2)));
    const Fixed centreX = left + boxW / 2;
    const Fixed centreZ = top + boxH / 2;
    overheadMap->setPosition(w / 2 - fixedToInt(fmul(centreX, scale)), h / 2 - fixedToInt(fmul(centreZ, scale)));
    overheadMap->setScale(scale);
    clampMap();
    paintRows();
    flushInput();
}

}  // namespace tarnby
