// The reset of the process-wide game state: a second game starts as the first.
#include <gtest/gtest.h>

#include "runtime/random.h"
#include "sprite/vmenu.h"
#include "sprite/vtext.h"
#include "terrain/game_world.h"
#include "terrain/vphob.h"

namespace tarnby {
namespace {

TEST(GameWorldTest, ResetPutsEverySharedSettingBackAndRestartsTheRandomSource)
{
    resetGameWorld(9);
    const int32_t first[3] = { random(), random(), random() };

    // A game changes the shared state ...
    gravity = kGameGravity;
    Vmenu::setMenuColour(0xFF102030);
    Vmenu::setIconLibrary(make<Vilib>(String::intern("no such bundle")));
    Vtext::setDefaultFont(make<Vfont>());
    Vtext::setDefaultTextColour(0xFF00FF00);
    random();

    // ... and the reset undoes all of it.
    resetGameWorld(9);
    EXPECT_EQ(gravity, 0);
    EXPECT_EQ(Vmenu::menuColour(), Vmenu::kDefaultColour);
    EXPECT_EQ(Vmenu::iconLibrary(), nullptr);
    EXPECT_EQ(Vtext::defaultFont(), nullptr);
    EXPECT_EQ(Vtext::defaultTextColour(), Vtext::kWhite);
    EXPECT_EQ(make<Vmenu>()->m_colour, Vmenu::kDefaultColour) << "a new menu takes the default panel";
    const int32_t again[3] = { random(), random(), random() };
    EXPECT_TRUE(first[0] == again[0] && first[1] == again[1] && first[2] == again[2])
        << "the same seed gives the same sequence";
    resetGameWorld(10);
    EXPECT_NE(random(), first[0]) << "another seed gives another sequence";
}

}  // namespace
}  // namespace tarnby
