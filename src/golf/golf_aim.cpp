// Aiming and the overhead map: keys, taps and drags while the player lines
// up a shot, the key-help menus that see keys first, and the map's panning,
// zooming and clamping.
#include <algorithm>

#include "golf/golf.h"
#include "runtime/keys.h"

namespace tarnby {

namespace {

constexpr int32_t kAimStep = 128;
constexpr Fixed kCameraStep = 0x2AAA;      // a third of a yard
constexpr Fixed kDragCameraStep = 0x1555;  // a sixth of a yard per pixel
constexpr Fixed kMarkerRange = 0x27FF5;    // 5 yards
constexpr Fixed kMarkerLift = 0xE38;
constexpr int32_t kMapStep = 32;
constexpr Fixed kMostZoom = toFixed(8);
constexpr Fixed kLeastZoom = 0x1000;  // an eighth

bool isSwingKey(int32_t key) { return key == kKeySelect || key == '5' || key == kKeySpace || key == kKeyEnter; }

// A compact icon bar is marked by its tag until it is laid out again.
bool isCompact(const Ref<Vmenu>& menu) { return menu && menu->getTag() != 0; }

}  // namespace

// --- Aiming ---------------------------------------------------------------------------

int32_t Golf::aimingKey(int32_t key)
{
    const bool icons = keyHelpMenu->m_tileSize != 0;
    const int32_t penX = m_penX;
    const int32_t penY = m_penY;
    if (key == kKeySelect && (penX != 0 || penY != 0)) {
        stylusOnView = false;
        const bool onHud = hudPanel->hasParent() && hudPanel->contains(penX, penY);
        const bool onHelp = keyHelpMenu->hasParent() && keyHelpMenu->hitTest(penX, penY, 0);
        if (onHud || (onHelp && isCompact(keyHelpMenu))) {
            // The panel and the folded bar fold and unfold the help.
            key = '0';
            m_penX = 0;
            m_penY = 0;
        } else if (!onHelp) {
            stylusOnView = true;
            m_penX = 0;
            m_penY = 0;
            if (golferSprite->contains(penX, penY)) {
                if (icons) {
                    keyHelpMenu->removeSelf();
                }
                key = '5';
            } else {
                key = penX < ballSprite->m_left ? '4' : '6';
            }
        }
    }
    if (!keyHelpFolded) {
        if (!keyHelpMenu->hasParent()) {
            if (!icons) {
                keyHelpMenu->selectTag('5');
            }
            showMenu(keyHelpMenu);
        }
        key = menuKey(keyHelpMenu, key);
        if (isSwingKey(key)) {
            hideKeyHelp(keyHelpMenu);
        } else if (key == kKeySoft || key == '0') {
            foldKeyHelp(keyHelpMenu);
            return -1;
        }
    } else if (icons) {
        if (isSwingKey(key)) {
            keyHelpMenu->removeSelf();
        } else if (key != 0 && !keyHelpMenu->hasParent()) {
            compactIconBar(keyHelpMenu);
        }
    }
    return key;
}

void Golf::runAiming()
{
    updateWind();
    for (;;) {
        const int32_t key = aimingKey(nextKey());
        if (key == -1) {
            continue;  // the help menu used the key
        }
        if (key == 0) {
            const int32_t dx = m_dragX;
            const int32_t dy = m_dragY;
            if (dx == 0 && dy == 0) {
                advanceAimMarker();
                return;
            }
            if (dx != 0 && stylusOnView) {
                turnAim(dx * 64);
            } else if (dy != 0 && stylusOnView) {
                moveCameraUp(dy * kDragCameraStep);
            }
            m_dragX = 0;
            m_dragY = 0;
            continue;
        }
        switch (key) {
        case kKeyLeft:
        case '4': turnAim(-kAimStep); break;
        case kKeyRight:
        case '6': turnAim(kAimStep); break;
        case kKeyUp:
        case '2': moveCameraUp(kCameraStep); break;
        case kKeyDown:
        case '8': moveCameraUp(-kCameraStep); break;
        case kKeySelect:
        case kKeyEnter:
        case kKeySpace:
        case '5': startSwing(); return;
        case kKeySoft:
        case '0':
            if (keyHelpFolded) {
                keyHelpFolded = false;
                showMenu(keyHelpMenu);
            }
            break;
        case kKeyBack:
        case '9':
            hideKeyHelp(keyHelpMenu);
            setGameState(Menu);
            return;
        case '1': runClubMenu(); break;
        case '7':
            hideKeyHelp(keyHelpMenu);
            enterOverhead(Overhead);
            return;
        default: break;
        }
    }
}

void Golf::moveCameraUp(Fixed dy)
{
    const Fixed y = std::max(wrapAdd(terrainView->getY3d(), dy), minCameraHeight);
    terrainView->setPosition3d(terrainView->getX3d(), y, terrainView->getZ3d());
}

void Golf::advanceAimMarker()
{
    int32_t t = m_frameTime;
    if (t < 0 || t > 100) {
        t = 100;
    }
    if (aimMarkerOffset > kMarkerRange) {
        aimMarkerOffset = 0;
    }
    aimMarkerOffset += t * 303;
    // The marker is placed on every second frame only: it still runs
    // smoothly (a pixel or two a step at 240 x 320), and the frames between
    // change nothing, so that the game draws and the window shows nothing
    // for them while the player only aims.
    aimMarkerFrames = (aimMarkerFrames + 1) & 1;
    if (aimMarkerFrames != 0 && aimMarkerSprite->hasParent()) {
        return;
    }
    // The marker runs out along the aim line, just above the ground.
    const Fixed x = wrapAdd(ballSprite->getX3d(), fmul(aimMarkerOffset, fsin(aimHeading)));
    const Fixed z = wrapSub(ballSprite->getZ3d(), fmul(aimMarkerOffset, fcos(aimHeading)));
    aimMarkerSprite->setPosition3d(x, wrapAdd(terrain->heightAt(x, z), kMarkerLift), z);
    if (!aimMarkerSprite->hasParent()) {
        terrainView->add(aimMarkerSprite);
    }
}

// --- The overhead map -------------------------------------------------------------------

void Golf::enterOverhead(int32_t state)
{
    setGameState(state);
    mapBallSprite->setPositionFixed(ballSprite->getX3d(), ballSprite->getZ3d());
    terrainView->removeSelf();
    add(overheadMap);
    frameMap();
    if (state == Overhead && !keyHelpFolded) {
        if (mapKeyHelpMenu->m_tileSize == 0) {
            mapKeyHelpMenu->selectTag('9');
        }
        showMenu(mapKeyHelpMenu);
    }
}

void Golf::leaveOverhead()
{
    hideKeyHelp(mapKeyHelpMenu);
    overheadMap->removeSelf();
}

void Golf::returnToAiming()
{
    leaveOverhead();
    for (const Ref<Vsprite>& dot : trailDots) {
        if (dot) {
            dot->removeSelf();
        }
    }
    add(terrainView);
    paintColumns();
    if (keyHelpFolded) {
        // A folded help stays folded: only an icon bar keeps its corner square.
        if (keyHelpMenu->m_tileSize != 0 && !keyHelpMenu->hasParent()) {
            compactIconBar(keyHelpMenu);
        }
    } else {
        showMenu(keyHelpMenu);
    }
    flushInput();
}

int32_t Golf::overheadKey(int32_t key)
{
    const bool icons = mapKeyHelpMenu->m_tileSize != 0;
    const int32_t penX = m_penX;
    const int32_t penY = m_penY;
    if (key == kKeySelect && (penX != 0 || penY != 0)) {
        const bool onHud = hudPanel->hasParent() && hudPanel->contains(penX, penY);
        const bool onHelp = mapKeyHelpMenu->hasParent() && mapKeyHelpMenu->hitTest(penX, penY, 0);
        if (onHud || (onHelp && isCompact(mapKeyHelpMenu))) {
            key = '0';
            m_penX = 0;
            m_penY = 0;
        } else if (!onHelp) {
            // A tap on the map itself does nothing; dragging moves it.
            m_penX = 0;
            m_penY = 0;
            return 0;
        }
    }
    if (!keyHelpFolded) {
        if (!mapKeyHelpMenu->hasParent()) {
            if (!icons) {
                mapKeyHelpMenu->selectTag('9');
            }
            showMenu(mapKeyHelpMenu);
        }
        key = menuKey(mapKeyHelpMenu, key);
        if (key == '9') {
            hideKeyHelp(mapKeyHelpMenu);
        } else if (key == '0') {
            foldKeyHelp(mapKeyHelpMenu);
            return -1;
        } else if (key == kKeySoft) {
            key = kKeyBack;  // the soft key leaves the map while its help shows
        }
    } else if (icons && key != 0 && !mapKeyHelpMenu->hasParent()) {
        compactIconBar(mapKeyHelpMenu);
    }
    return key;
}

void Golf::runOverhead()
{
    updateWind();
    for (;;) {
        const int32_t key = overheadKey(nextKey());
        if (key == -1) {
            continue;
        }
        const int32_t x = fixedToInt(overheadMap->getX());
        const int32_t y = fixedToInt(overheadMap->getY());
        const Fixed scale = overheadMap->getScale();
        if (key == 0) {
            const int32_t dx = m_dragX;
            const int32_t dy = m_dragY;
            if (dx == 0 && dy == 0) {
                return;
            }
            m_dragX = 0;
            m_dragY = 0;
            placeMap(x + dx, y + dy, scale);
            continue;
        }
        switch (key) {
        case kKeyLeft:
        case '4': placeMap(x + kMapStep, y, scale); break;
        case kKeyRight:
        case '6': placeMap(x - kMapStep, y, scale); break;
        case kKeyUp:
        case '2': placeMap(x, y + kMapStep, scale); break;
        case kKeyDown:
        case '8': placeMap(x, y - kMapStep, scale); break;
        case '1':
        case '+':
            if (scale < kMostZoom) {
                zoomMap(0xC000);
            }
            break;
        case '3':
        case '-':
            if (scale > kLeastZoom) {
                zoomMap(0x5555);
            }
            break;
        case kKeySoft:
        case '0':
            keyHelpFolded = false;
            showMenu(mapKeyHelpMenu);
            break;
        case kKeyBack:
        case '7':
        case '9':
            if (message) {
                message->removeSelf();
            }
            setGameState(Aiming);
            returnToAiming();
            return;
        default: break;
        }
    }
}

void Golf::placeMap(int32_t x, int32_t y, Fixed scale)
{
    overheadMap->setScale(scale);
    overheadMap->setPosition(x, y);
    clampMap();
}

void Golf::clampMap()
{
    if (!overheadMap) {
        return;
    }
    // The drawing is 512 yards across: its size on screen in whole pixels.
    const int32_t size = static_cast<int32_t>((static_cast<int64_t>(overheadMap->getScale()) * 512) >> 15);
    auto clampAxis = [size](int32_t p, int32_t view) {
        if (p > 0 && p + size > view) {
            p = 0;
        }
        if (p + size < view && p < 0) {
            p = view - size;
        }
        if (p >= 0 && p + size < view) {
            p = (view - size) / 2;
        }
        return p;
    };
    mapPositionX = clampAxis(fixedToInt(overheadMap->getX()), getWidth());
    mapPositionY = clampAxis(fixedToInt(overheadMap->getY()), getHeight());
    overheadMap->setPosition(mapPositionX, mapPositionY);
}

void Golf::zoomMap(Fixed factor)
{
    const Fixed scale = overheadMap->getScale();
    const Fixed cx = toFixed(getWidth() / 2);
    const Fixed cy = toFixed(getHeight() / 2);
    // The map point under the centre of the view stays there.
    const Fixed mx = fdiv(wrapSub(cx, overheadMap->getX()), scale);
    const Fixed my = fdiv(wrapSub(cy, overheadMap->getY()), scale);
    const Fixed newScale = std::max(fmul(scale, factor), wholeMapScale);
    overheadMap->setScale(newScale);
    overheadMap->setPosition(fixedToInt(wrapSub(cx, fmul(mx, newScale))), fixedToInt(wrapSub(cy, fmul(my, newScale))));
    clampMap();
}

}  // namespace tarnby
