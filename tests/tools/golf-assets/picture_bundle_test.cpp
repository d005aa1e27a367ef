// The generated "golf" picture bundle: every picture the game asks for, at the
// size and hot spot its role needs, and textures that tile without seams.
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <utility>

#include "image/vilib.h"
#include "image/vpicture.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

Ref<Vilib> golfPictures()
{
    setDataFolder(test::binFolder());
    return make<Vilib>(String::intern("golf"));
}

// The first and the last row that hold any visible pixel.
std::pair<int32_t, int32_t> visibleRows(const Vpicture& p)
{
    int32_t top = p.m_height, bottom = -1;
    for (int32_t i = 0; i < p.pixelCount(); ++i) {
        if ((static_cast<uint32_t>(p.m_pixels[i]) >> 29) != 0) {
            top = std::min(top, i / p.m_width);
            bottom = std::max(bottom, i / p.m_width);
        }
    }
    return { top, bottom };
}

TEST(PictureBundleTest, HoldsEveryPictureAtItsRolesSize)
{
    Ref<Vilib> library = golfPictures();
    ASSERT_TRUE(library->intact());
    ASSERT_EQ(library->count(), 78);
    for (int32_t i = 0; i < 78; ++i) {
        Ref<Vpicture> p = library->getPicture(i);
        ASSERT_TRUE(p && p->m_width > 0 && p->m_height > 0) << "picture " << i;
        EXPECT_TRUE(p->m_anchorX >= 0 && p->m_anchorX < p->m_width && p->m_anchorY >= 0 && p->m_anchorY < p->m_height)
            << "picture " << i << " has its hot spot outside";
        if (i >= 1 && i <= 11) {  // textures: 64 x 64 JPEG pictures
            EXPECT_TRUE(p->m_width == 64 && p->m_height == 64 && p->m_type == 'j') << "texture " << i;
        }
        if (i >= 12 && i <= 22) {  // icons centre in tiles of 48 and 72 by their size alone
            EXPECT_TRUE(p->m_width <= 40 && p->m_height <= 40 && p->m_anchorX == 0 && p->m_anchorY == 0)
                << "icon " << i;
        }
    }
    // The title fits the narrowest start-up screen and is photographic; the
    // narrow button is for menus up to 60 pixels wide, the wide one for more.
    EXPECT_TRUE(library->getPictureRef(0)->m_width <= 176 && library->getPictureRef(0)->m_type == 'j');
    EXPECT_LE(library->getPictureRef(23)->m_width, 64);
    EXPECT_GT(library->getPictureRef(24)->m_width, 100);
    // Flag, scenery and golfers stand on their hot spot: it is on their lowest
    // visible row (golfers' feet, in front of and behind the ball, a few pixels
    // either side), and nothing is cut off at the bottom.
    for (int32_t i : { 25, 26, 27, 28, 29, 32, 49, 55, 72 }) {
        Ref<Vpicture> p = library->getPicture(i);
        const int32_t bottom = visibleRows(*p).second;
        EXPECT_LE(std::abs(bottom - p->m_anchorY), i >= 32 ? 7 : 3) << "picture " << i << " is off its hot spot";
        EXPECT_TRUE(i < 32 || bottom < p->m_height - 1) << "picture " << i << " is cut off at the bottom";
    }
    // Ball and shadow share one height, so one size gives them one scale.
    EXPECT_EQ(library->getPictureRef(30)->m_height, library->getPictureRef(31)->m_height);
    EXPECT_LE(library->getPictureRef(30)->m_width, 12);
}

TEST(PictureBundleTest, GolfersAreAboutNinetyPixelsTallInEveryFrame)
{
    Ref<Vilib> library = golfPictures();
    for (int32_t base : { 32, 55 }) {
        Ref<Vpicture> first = library->getPicture(base);
        for (int32_t k = 0; k < 23; ++k) {
            Ref<Vpicture> p = library->getPicture(base + k);
            EXPECT_TRUE(p->m_width == first->m_width && p->m_height == first->m_height) << "frame " << base + k;
            EXPECT_TRUE(p->m_anchorX == first->m_anchorX && p->m_anchorY == first->m_anchorY)
                << "the hot spot moves in frame " << base + k;
            // Standing frames measure the figure; swing frames may raise the club above it.
            const auto [top, bottom] = visibleRows(*p);
            EXPECT_TRUE(bottom - top + 1 >= 78 && bottom - top + 1 <= 132) << "frame " << base + k;
            EXPECT_GT(top, 0) << "the club is cut off at the top in frame " << base + k;
        }
    }
}

TEST(PictureBundleTest, TexturesTileWithoutSeams)
{
    Ref<Vilib> library = golfPictures();
    auto difference = [](uint32_t a, uint32_t b) {
        int32_t sum = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            sum += std::abs(static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF));
        }
        return sum;
    };
    for (int32_t i = 1; i <= 11; ++i) {
        Ref<Vpicture> p = library->getPicture(i);
        auto at = [&](int32_t x, int32_t y) { return static_cast<uint32_t>(p->m_pixels[y * 64 + x]); };
        int64_t inner = 0, seamX = 0, seamY = 0;
        int32_t opaque = 0;
        for (int32_t k = 0; k < 64; ++k) {
            seamX += difference(at(63, k), at(0, k));
            seamY += difference(at(k, 63), at(k, 0));
            for (int32_t x = 0; x < 63; ++x) {
                inner += difference(at(x, k), at(x + 1, k));
                opaque += (at(x, k) >> 29) == 7;
            }
        }
        // Across the wrap the colours change no more than between neighbours inside.
        EXPECT_LE(seamX, inner / 63 * 2 + 64) << "texture " << i << " has a seam between its left and right edges";
        EXPECT_LE(seamY, inner / 63 * 2 + 64) << "texture " << i << " has a seam between its top and bottom edges";
        EXPECT_EQ(opaque, 63 * 64) << "texture " << i << " must be opaque";
    }
}

}  // namespace
}  // namespace tarnby
