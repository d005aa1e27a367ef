// A hole set up for previewing: the polygon terrain loaded as the game loads
// it (golf/hole_setup.h), the "golf" pictures as ground textures, and a 3-D
// view whose camera stands at a tee as the game places it (or wherever the
// author asks).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fixed/fixed.h"
#include "image/vilib.h"
#include "runtime/object.h"
#include "runtime/string.h"
#include "terrain/vterrain.h"
#include "vector/vpolyterrain.h"

namespace tarnby::preview {

class Scene {
public:
    Scene();
    ~Scene();

    // The hole file's bytes (`name` names it in messages), the "golf" bundle
    // from the data folder, and a view of width x height. False when the hole
    // file is refused or drawn only in part, or the bundle is missing or
    // damaged: a view of them would not be what the game shows (the readers
    // have said what is wrong in one line).
    bool load(const ByteArray& hole, const std::string& name, int32_t course, int32_t width, int32_t height);
    // The same for the hole file `holeFile` of the data folder; false also,
    // without a line, when the file cannot be read.
    bool load(const Ref<String>& holeFile, int32_t course, int32_t width, int32_t height);
    // Whether a picture the views drew was damaged (its line printed as it was
    // decoded, the picture left transparent).
    bool picturesDamaged() const;
    // Camera from raw values: on the ground at (x, z) plus `height`, turned to
    // `heading`, horizon at row `horizon`.
    void placeCamera(Fixed x, Fixed z, int32_t heading, Fixed height, int32_t horizon);
    // The camera behind the tee of `hole` looking at its aim point, with the
    // flag at the pin and the ball and the golfer on the tee.
    void standAtTee(int32_t hole);

    // The view rendered as the game draws it: 0xDDRRGGBB words, width x height.
    std::vector<uint32_t> renderView();
    // The course map at the game's map scale (the larger view side spans the
    // 512 yards), with the camera, the tee, the pin and a ball path (x, z
    // pairs) marked; `side` receives its size in pixels.
    std::vector<uint32_t> renderMap(const std::vector<Fixed>& path, int32_t& side);

    const Ref<VpolyTerrain>& terrain() const { return m_terrain; }
    const Ref<Vterrain>& view() const { return m_view; }
    const Ref<Vilib>& pictures() const { return m_pictures; }

private:
    Ref<Vsprite> addWorldSprite(int32_t picture, int32_t x, int32_t z, Fixed size, Fixed smallestScale);

    int32_t m_course = 0;
    int32_t m_hole = -1;
    Ref<VpolyTerrain> m_terrain;
    Ref<Vilib> m_pictures;
    Ref<Vterrain> m_view;
};

}  // namespace tarnby::preview
