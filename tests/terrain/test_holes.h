// Holes for the terrain and physics tests: written with the shape writer into
// a scratch folder and loaded into a polygon terrain as the game loads them.
#pragma once

#include <gtest/gtest.h>
#include <string>

#include "golf/hole_setup.h"
#include "image/vilib.h"
#include "runtime/string.h"
#include "support/test_course.h"
#include "support/test_support.h"
#include "vector/vpolyterrain.h"

namespace tarnby::test {

struct LoadedHole {
    Ref<VpolyTerrain> terrain;
    Ref<Vilib> textures;
    int32_t outsideFill = -1;
};

// The hole file `name` of the data folder, loaded as the game loads it.
inline LoadedHole loadHoleFile(const char* name, const Ref<Vilib>& textures)
{
    LoadedHole hole { make<VpolyTerrain>(), textures };
    hole.outsideFill = loadHole(hole.terrain, String::fromChars(name), 0, textures);
    EXPECT_GE(hole.outsideFill, 0) << name << " loads";
    return hole;
}

// A flat hole of one fill colour, without textures.
inline LoadedHole loadFlatHole(const ScratchFolder& folder, unsigned colour)
{
    std::string error;
    EXPECT_TRUE(writeFlatHole(folder.path(), "flat", colour, error)) << error;
    return loadHoleFile("flat", nullptr);
}

// The stand-in course's first hole file with its textures; its pond is drawn beyond the map.
inline LoadedHole loadTestCourse(const ScratchFolder& folder)
{
    std::string error;
    EXPECT_TRUE(writeTestCourse(folder.path(), error)) << error;
    return loadHoleFile("c0_holes_1-3", make<Vilib>(String::intern("golf")));
}

}  // namespace tarnby::test
