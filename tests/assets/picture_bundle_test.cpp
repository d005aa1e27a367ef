// The generated "golf" picture bundle: every picture the game asks for, at the
// size and hot spot its role needs, and textures that tile without seams.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "image/vilib.h"
#include "image/vpicture.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

class PictureBundleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        setModuleFolder(test::binFolder());
        s_library = new Ref<Vilib>(make<Vilib>(String::intern("golf")));
    }
    static void TearDownTestSuite()
    {
        delete s_library;
        s_library = nullptr;
    }
    static Vilib& library() { return **s_library; }

    // The rows from the first to the last that hold any visible pixel.
    static int32_t visibleHeight(const Vpicture& p, int32_t& top, int32_t& bottom)
    {
        top = p.m_height;
        bottom = -1;
        for (int32_t y = 0; y < p.m_height; ++y) {
            for (int32_t x = 0; x < p.m_width; ++x) {
                if ((static_cast<uint32_t>(p.m_pixels[y * p.m_width + x]) >> 29) != 0) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        return bottom - top + 1;
    }

    static Ref<Vilib>* s_library;
};

Ref<Vilib>* PictureBundleTest::s_library = nullptr;

TEST_F(PictureBundleTest, HoldsEveryPictureAtItsRolesSize)
{
    ASSERT_TRUE(library().intact());
    ASSERT_EQ(library().count(), 78);
    for (int32_t i = 0; i < 78; ++i) {
        Ref<Vpicture> p = library().getPicture(i);
        ASSERT_TRUE(p) << "picture " << i;
        EXPECT_GT(p->m_width, 0) << "picture " << i;
        EXPECT_GT(p->m_height, 0) << "picture " << i;
        EXPECT_TRUE(p->m_anchorX >= 0 && p->m_anchorX < p->m_width && p->m_anchorY >= 0 && p->m_anchorY < p->m_height)
            << "picture " << i << " has its hot spot outside";
    }
    // Title: fits the narrowest start-up screen and is a photographic picture.
    Ref<Vpicture> title = library().getPictureRef(0);
    EXPECT_LE(title->m_width, 176);
    EXPECT_EQ(title->m_type, 'j');
    // Textures: 64 x 64 JPEG pictures, opaque, hot spot irrelevant.
    for (int32_t i = 1; i <= 11; ++i) {
        Ref<Vpicture> p = library().getPicture(i);
        EXPECT_EQ(p->m_width, 64) << "texture " << i;
        EXPECT_EQ(p->m_height, 64) << "texture " << i;
        EXPECT_EQ(p->m_type, 'j') << "texture " << i;
    }
    // Icons centre in tiles of 48 and 72 by their size alone: hot spot 0, 0.
    for (int32_t i = 12; i <= 22; ++i) {
        Ref<Vpicture> p = library().getPictureRef(i);
        EXPECT_LE(p->m_width, 40) << "icon " << i;
        EXPECT_TRUE(p->m_height <= 40 && p->m_anchorX == 0 && p->m_anchorY == 0) << "icon " << i;
    }
    // The narrow button is for menus up to 60 pixels wide, the wide one for more.
    EXPECT_LE(library().getPictureRef(23)->m_width, 64);
    EXPECT_GT(library().getPictureRef(24)->m_width, 100);
    // Flag, scenery and golfers stand on their hot spot: it is on their lowest visible row.
    // (Golfers' feet stand a little in front of and behind the ball, so a few
    // pixels above and below it.)
    const int32_t standing[] = { 25, 26, 27, 28, 29, 32, 49, 55, 72 };
    for (int32_t i : standing) {
        Ref<Vpicture> p = library().getPicture(i);
        int32_t top = 0;
        int32_t bottom = 0;
        visibleHeight(*p, top, bottom);
        EXPECT_LE(std::abs(bottom - p->m_anchorY), i >= 32 ? 7 : 3) << "picture " << i << " does not stand on its hot spot";
        if (i >= 32) {
            EXPECT_LT(bottom, p->m_height - 1) << "picture " << i << " is cut off at the bottom";
        }
    }
    // Ball and shadow share one height, so one size gives them one scale.
    EXPECT_EQ(library().getPictureRef(30)->m_height, library().getPictureRef(31)->m_height);
    EXPECT_LE(library().getPictureRef(30)->m_width, 12);
}

TEST_F(PictureBundleTest, GolfersAreAboutNinetyPixelsTallInEveryFrame)
{
    for (int32_t base : { 32, 55 }) {
        Ref<Vpicture> first = library().getPicture(base);
        for (int32_t k = 0; k < 23; ++k) {
            Ref<Vpicture> p = library().getPicture(base + k);
            EXPECT_EQ(p->m_width, first->m_width) << "frame " << base + k;
            EXPECT_EQ(p->m_height, first->m_height) << "frame " << base + k;
            EXPECT_EQ(p->m_anchorX, first->m_anchorX) << "the hot spot moves in frame " << base + k;
            EXPECT_EQ(p->m_anchorY, first->m_anchorY) << "the hot spot moves in frame " << base + k;
            int32_t top = 0;
            int32_t bottom = 0;
            visibleHeight(*p, top, bottom);
            // Standing frames measure the figure; swing frames may raise the club above it.
            EXPECT_GE(bottom - top + 1, 78) << "frame " << base + k;
            EXPECT_LE(bottom - top + 1, 132) << "frame " << base + k;
            EXPECT_GT(top, 0) << "the club is cut off at the top in frame " << base + k;
        }
    }
}

TEST_F(PictureBundleTest, TexturesTileWithoutSeams)
{
    auto difference = [](uint32_t a, uint32_t b) {
        int32_t sum = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            sum += std::abs(static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF));
        }
        return sum;
    };
    for (int32_t i = 1; i <= 11; ++i) {
        Ref<Vpicture> p = library().getPicture(i);
        const IntArray& px = p->m_pixels;
        auto at = [&](int32_t x, int32_t y) { return static_cast<uint32_t>(px[y * 64 + x]); };
        int64_t inner = 0;
        int64_t seamX = 0;
        int64_t seamY = 0;
        int32_t opaque = 0;
        for (int32_t k = 0; k < 64; ++k) {
            seamX += difference(at(63, k), at(0, k));
            seamY += difference(at(k, 63), at(k, 0));
            for (int32_t x = 0; x < 63; ++x) {
                inner += difference(at(x, k), at(x + 1, k));
                opaque += (at(x, k) >> 29) == 7;
            }
        }
        const int64_t innerPerColumn = inner / 63;
        // Across the wrap the colours change no more than between neighbours inside.
        EXPECT_LE(seamX, innerPerColumn * 2 + 64) << "texture " << i << " has a seam between its left and right edges";
        EXPECT_LE(seamY, innerPerColumn * 2 + 64) << "texture " << i << " has a seam between its top and bottom edges";
        EXPECT_EQ(opaque, 63 * 64) << "texture " << i << " must be opaque";
    }
}

}  // namespace
}  // namespace tarnby
