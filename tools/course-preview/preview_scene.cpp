// Loading a hole for the preview, standing the camera at a tee as the game
// does, and drawing the 3-D view and the course map into plain frames.
#include "course-preview/preview_scene.h"

#include <algorithm>

#include "golf/hole_setup.h"
#include "golf/holetable.h"
#include "runtime/files.h"
#include "vector/vswf.h"

namespace tarnby::preview {

namespace {

// Pictures of the "golf" bundle the hole's sprites show.
constexpr int32_t kFlagPicture = 25;
constexpr int32_t kBallPicture = 30;
constexpr int32_t kBallShadowPicture = 31;
constexpr int32_t kGolferPicture = 49;   // the male golfer's full-swing stance
constexpr Fixed kBallSize = 0xE38;       // 1/9 yard
constexpr Fixed kStandingSize = 0xFFFC;  // 2 yards

void mark(std::vector<uint32_t>& frame, int32_t side, int32_t x, int32_t y, int32_t radius, uint32_t colour)
{
    for (int32_t dy = -radius; dy <= radius; ++dy) {
        for (int32_t dx = -radius; dx <= radius; ++dx) {
            int32_t px = x + dx;
            int32_t py = y + dy;
            if (px >= 0 && py >= 0 && px < side && py < side) {
                frame[static_cast<size_t>(py) * side + px] = colour;
            }
        }
    }
}

}  // namespace

Scene::Scene() = default;

Scene::~Scene()
{
    if (m_view) {
        m_view->destroy();  // the view and its sprites hold each other
    }
}

bool Scene::load(const ByteArray& hole, const std::string& name, int32_t course, int32_t width, int32_t height)
{
    m_course = course;
    m_terrain = make<VpolyTerrain>();
    if (readHoleDrawing(m_terrain, hole, 0, name.c_str()) != HoleRead::Whole) {
        return false;
    }
    // The bundle by its path, so that its lines name the files.
    const std::string prefix = dataFolder() + "golf";
    const Ref<String> bundle = String::fromChars(prefix.c_str());
    ByteArray bytes;
    if (!Vilib::readSegmentFiles(prefix, bundle, bytes)) {
        return false;
    }
    m_pictures = make<Vilib>(bundle, bytes);
    if (!m_pictures->intact()) {
        return false;
    }
    const int32_t outside = setUpHoleGround(*m_terrain, m_pictures, course);
    m_view = make<Vterrain>(width, height);
    m_view->setPolyTerrain(m_terrain);
    m_view->setTextures(m_pictures);
    m_view->setOutsideFill(outside);
    return true;
}

void Scene::placeCamera(Fixed x, Fixed z, int32_t heading, Fixed height, int32_t horizon)
{
    m_view->placeOnGround(x, height, z);
    m_view->setHeading(heading);
    m_view->setHorizon(horizon);
    m_view->setSky(kSkyTop, kSkyBottom);
}

void Scene::standAtTee(int32_t hole)
{
    m_hole = hole;
    const HoleRow& row = holeRow(m_course, hole);
    Vterrain& view = *m_view;
    // The hole's sprites first, as the game adds them at the hole's start.
    Ref<Vsprite> shadow = addWorldSprite(kBallShadowPicture, row.teeX, row.teeZ, kBallSize, 0x5000);
    if (shadow) {
        shadow->setOpacity(kHalf);
    }
    addWorldSprite(kBallPicture, row.teeX, row.teeZ, kBallSize, 0x5000);
    Ref<Vsprite> flag = addWorldSprite(kFlagPicture, row.pinX, row.pinZ, kStandingSize, 0);
    if (flag) {
        flag->m_extendLeft = true;
        flag->m_snap = true;
    }
    Ref<Vsprite> golfer = addWorldSprite(kGolferPicture, row.teeX, row.teeZ, kStandingSize, kOne);
    if (golfer) {
        golfer->setMaxScale(kOne);
        golfer->m_extendLeft = true;
    }

    // The camera behind the ball, looking at the aim point.
    placeCameraAtTee(view, m_course, hole);
}

Ref<Vsprite> Scene::addWorldSprite(int32_t picture, int32_t x, int32_t z, Fixed size, Fixed smallestScale)
{
    Ref<Vpicture> entry = m_pictures->getPictureRef(picture);
    if (!entry || entry->m_height <= 0) {
        return nullptr;  // a bundle without the game's sprites shows the bare hole
    }
    Ref<Vsprite> sprite = make<Vsprite>();
    sprite->setPicture(m_pictures, picture);
    sprite->setScale(size / entry->m_height);
    sprite->setMinScale(smallestScale);
    sprite->setPosition3d(toFixed(x), m_terrain->heightAt(toFixed(x), toFixed(z)), toFixed(z));
    m_view->add(sprite);
    return sprite;
}

bool Scene::load(const Ref<String>& holeFile, int32_t course, int32_t width, int32_t height)
{
    const std::string path = dataFolder() + (holeFile ? holeFile->chars() : "");
    ByteArray bytes;
    return readBoundedFile(path, Vswf::kMaxFileBytes, bytes) == FileRead::Read
           && load(bytes, path, course, width, height);
}

bool Scene::picturesDamaged() const
{
    for (int32_t i = 0; m_pictures && i < m_pictures->count(); ++i) {
        Ref<Vpicture> picture = m_pictures->getPictureRef(i);
        if (picture && picture->damaged()) {
            return true;
        }
    }
    return false;
}

std::vector<uint32_t> Scene::renderView()
{
    Vterrain& view = *m_view;
    int32_t width = view.getWidth();
    int32_t height = view.getHeight();
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0xFF000000u);
    view.update(0, 0, kOne);
    view.render(frame.data(), width, height, 0, 0, width, height);
    return frame;
}

std::vector<uint32_t> Scene::renderMap(const std::vector<Fixed>& path, int32_t& side)
{
    side = std::max(m_view->getWidth(), m_view->getHeight());
    std::vector<uint32_t> frame(static_cast<size_t>(side) * side, 0xFF000000u);
    // As the game's overhead map: the 512 yards span the larger side of the view.
    Fixed scale = side * 64;
    VpolyTerrain& map = *m_terrain;
    map.setScale(scale);
    map.layout(0, 0, scale);
    map.render(frame.data(), side, side, 0, 0, side, side);

    auto toMap = [&](Fixed world) { return static_cast<int32_t>((static_cast<int64_t>(world) * scale) >> 30); };
    for (size_t i = 0; i + 1 < path.size(); i += 2) {
        mark(frame, side, toMap(path[i]), toMap(path[i + 1]), 0, 0xFFFFFFFF);
    }
    if (path.size() >= 2) {
        mark(frame, side, toMap(path[path.size() - 2]), toMap(path.back()), 2, 0xFFFFFFFF);
    }
    if (m_hole >= 0) {
        const HoleRow& row = holeRow(m_course, m_hole);
        mark(frame, side, toMap(toFixed(row.teeX)), toMap(toFixed(row.teeZ)), 2, 0xFF202020);
        mark(frame, side, toMap(toFixed(row.pinX)), toMap(toFixed(row.pinZ)), 2, 0xFFFF2020);
    }
    // The camera in yellow.
    mark(frame, side, toMap(m_view->getX3d()), toMap(m_view->getZ3d()), 1, 0xFFFFE000);
    return frame;
}

}  // namespace tarnby::preview
