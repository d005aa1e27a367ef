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

// A flat hole of one fill colour, without textures.
inline LoadedHole loadFlatHole(const ScratchFolder& folder, unsigned colour)
{
    LoadedHole hole;
    std::string error;
    EXPECT_TRUE(writeFlatHole(folder.path(), "flat", colour, error)) << error;
    hole.terrain = make<VpolyTerrain>();
    hole.outsideFill = loadHole(hole.terrain, String::fromChars("flat"), 0, nullptr);
    EXPECT_GE(hole.outsideFill, 0) << "the flat hole loads";
    return hole;
}

// The stand-in course's first hole file with its textures.
inline LoadedHole loadTestCourse(const ScratchFolder& folder)
{
    LoadedHole hole;
    std::string error;
    EXPECT_TRUE(writeTestCourse(folder.path(), error)) << error;
    hole.textures = make<Vilib>(String::intern("golf"));
    hole.terrain = make<VpolyTerrain>();
    hole.outsideFill = loadHole(hole.terrain, String::fromChars("c0_holes_1-3"), 0, hole.textures);
    EXPECT_GT(hole.outsideFill, 0) << "the test course has a pond";
    return hole;
}

}  // namespace tarnby::test
