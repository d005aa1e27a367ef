// Holes and clubs in play: loading a hole file, setting up a hole with its
// ball, flag, golfer and map markers, and choosing the club.
#include <algorithm>
#include <cstdio>

#include "golf/clubs.h"
#include "golf/golf.h"
#include "golf/hole_setup.h"
#include "golf/holetable.h"

namespace tarnby {

namespace {

constexpr int32_t kFlagPicture = 25;
constexpr int32_t kBallPicture = 30;
constexpr int32_t kBallShadowPicture = 31;
constexpr int32_t kGolferStance = 49;
constexpr Fixed kBallSize = 0xE38;         // 1/9 yard
constexpr Fixed kStandingSize = 0xFFFC;    // 2 yards
constexpr Fixed kMapMarkerScale = 0x2000;  // a quarter
constexpr Fixed kMapFlagScale = 0x1555;    // a sixth
constexpr Fixed kMapDepth = 0x7FFFFF;

struct Scenery {
    int32_t picture;
    Fixed a;
    Fixed b;
    Fixed size;
    bool flag;
};

// Two pieces of scenery per course, placed beside the tee relative to the aim.
const Scenery kScenery[3][2] = {
    { { 26, -98298, -76454, 174752, true }, { 26, 98298, -76454, 163830, true } },
    { { 28, -98298, -76454, 174752, false }, { 29, 87376, -43688, 54610, true } },
    { { 27, -120142, -76454, 174752, true }, { 27, 98298, -76454, 163830, true } },
};

}  // namespace

void Golf::loadHoleFile(const Ref<String>& name)
{
    if (loadedHoleFile && name && loadedHoleFile->equals(name->chars())) {
        return;
    }
    loadedHoleFile = name;
    if (!terrain) {
        terrain = make<VpolyTerrain>();
    }
    ball->setTerrain(terrain);
    gravity = kGameGravity;
    terrainView->setPolyTerrain(terrain);
    terrainView->setTextures(pictures);
    terrain->setDepth(kMapDepth);
    const int32_t outside = loadHole(terrain, name, course, pictures);
    terrainView->setOutsideFill(outside < 0 ? 0 : outside);

    if (overheadMap) {
        overheadMap->removeSelf();
        overheadMap->destroy();
    }
    overheadMap = make<Vsprite>();
    overheadMap->setDepth(kMapDepth);
    terrain->setScale(kOne);
    overheadMap->add(terrain);
    overheadMap->setScale(std::max(getWidth(), getHeight()) * 64);
}

void Golf::setUpHole()
{
    if (hudHole) {
        hudHole->setNumber(hole + 1);
    }
    if (hudPar) {
        char text[16];
        std::snprintf(text, sizeof text, "Par %d - ", static_cast<int>(holePar(hole)));
        hudPar->setText(String::fromChars(text));
    }
    holeStrokes = 0;
    setGameState(Aiming);

    terrainView->removeAll();
    terrainView->removeSelf();
    if (overheadMap) {
        overheadMap->removeAll();
        overheadMap->removeSelf();
    }
    Ref<String> name = holeFileName(course, hole);
    if (loadedHoleFile && overheadMap && loadedHoleFile->equals(name->chars())) {
        overheadMap->add(terrain);
    } else {
        loadHoleFile(name);
    }
    add(terrainView);

    const HoleRow& row = holeRow(course, hole);
    ballShadowSprite = addWorldSprite(kBallShadowPicture, row.teeX, row.teeZ, kBallSize, 0x5000);
    ballShadowSprite->setOpacity(kHalf);
    ballSprite = addWorldSprite(kBallPicture, row.teeX, row.teeZ, kBallSize, 0x5000);
    aimMarkerSprite = addWorldSprite(kBallPicture, row.teeX, row.teeZ, kBallSize, 1);
    aimMarkerSprite->setOpacity(0x6000);
    mapShadowSprite = addMapSprite(overheadMap, kBallShadowPicture, row.teeX, row.teeZ, 0, 0x5000);
    mapShadowSprite->setScale(kMapMarkerScale);
    mapShadowSprite->setOpacity(kHalf);
    mapBallSprite = addMapSprite(overheadMap, kBallPicture, row.teeX, row.teeZ, 0, 0x5000);
    mapBallSprite->setScale(kMapMarkerScale);
    pinSprite = addWorldSprite(kFlagPicture, row.pinX, row.pinZ, kStandingSize, 0);
    pinSprite->m_extendLeft = true;
    pinSprite->m_snap = true;
    Ref<Vsprite> mapFlag = addMapSprite(overheadMap, kFlagPicture, row.pinX, row.pinZ, 0, kMapFlagScale);
    mapFlag->setScale(kMapFlagScale);
    mapFlag->m_snap = true;
    golferSprite = addWorldSprite(kGolferStance, row.teeX, row.teeZ, kStandingSize, kOne);
    golferSprite->setMaxScale(kOne);
    golferSprite->m_extendLeft = true;

    setUpLie(toFixed(row.aimX), toFixed(row.aimZ));

    const int32_t c = course >= 0 && course < 3 ? course : 0;
    for (const Scenery& s : kScenery[c]) {
        addScenery(s.picture, s.a, s.b, s.size, 1, s.flag);
    }
}

void Golf::selectClub(int32_t index)
{
    club = index >= 0 && index < kClubCount ? index : kPutter;
    if (hudClub) {
        hudClub->setText(String::fromChars(clubAt(club).label + 2));
    }
    if (golferSprite) {
        golferSprite->setFrame(club == kPutter ? golferFrameBase + 17 : golferFrameBase);
    }
}

void Golf::chooseClubForDistance(Fixed d)
{
    int32_t surface = 0;
    if (d < kFullClubDistance && terrain && ballSprite) {
        surface = terrain->surfaceAt(ballSprite->getX3d(), ballSprite->getZ3d());
    }
    selectClub(clubForDistance(d, surface));
}

}  // namespace tarnby
