// Sprites showing pictures: size and hot spot from the library, placement,
// scale, and the depth byte that lets nearer pictures keep their pixels.
#include <gtest/gtest.h>

#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "runtime/host.h"
#include "sprite/viewport.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;
constexpr int32_t kW = 40;
constexpr int32_t kH = 30;

// An RGBA block of one colour with its first column transparent.
std::vector<uint8_t> block(int32_t w, int32_t h, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4));
    for (int32_t i = 0; i < w * h; ++i) {
        uint8_t* p = &rgba[static_cast<size_t>(i * 4)];
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = i % w == 0 ? 0 : 255;
    }
    return rgba;
}

class PictureSpriteTest : public testing::Test {
protected:
    void SetUp() override
    {
        bundle::BundleWriter writer;
        auto a = block(6, 4, 248, 32, 16);
        auto b = block(3, 3, 16, 248, 64);
        ASSERT_EQ(writer.addRun(a.data(), 6, 4, 2, 1), 0) << writer.error();
        ASSERT_EQ(writer.addRun(b.data(), 3, 3, 0, 0), 1) << writer.error();
        ASSERT_TRUE(writer.writeSegments(m_folder.path(), "spr", 4096)) << writer.error();
        m_lib = make<Vilib>(String::intern("spr"));
        ASSERT_EQ(m_lib->count(), 2);
        // Decode now: an undecoded picture drawn whole at its own size takes a
        // short cut that ignores depth, and these tests are about depth.
        m_colourA = static_cast<uint32_t>(m_lib->getPicture(0)->m_pixels[1]) & 0xFFFFFF;
        m_colourB = static_cast<uint32_t>(m_lib->getPicture(1)->m_pixels[1]) & 0xFFFFFF;
        ASSERT_NE(m_colourA, m_colourB);
    }

    test::ScratchFolder m_folder { "sprite_pictures" };
    Ref<Vilib> m_lib;
    uint32_t m_colourA = 0;
    uint32_t m_colourB = 0;
};

TEST_F(PictureSpriteTest, PictureGivesSizeAndHotSpotAndIsPlacedByIt)
{
    auto root = make<Vsprite>();
    Ref<Vsprite> s = make<Vsprite>(root, m_lib, 0, 10, 10);
    EXPECT_EQ(Ints({ s->getWidth(), s->getHeight(), s->m_anchorX, s->m_anchorY }), (Ints { 6, 4, 2, 1 }));
    s->setDepth(toFixed(7));
    root->update(0, 0, kOne);
    EXPECT_EQ(Ints({ s->m_left, s->m_top, s->m_right, s->m_bottom }), (Ints { 8, 9, 14, 13 }))
        << "the hot spot sits at the position";

    std::vector<uint32_t> frame(kW * kH, 0xFF000000);  // opaque background: depth 255
    root->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[9 * kW + 8], 0xFF000000u) << "the transparent column leaves the background";
    EXPECT_EQ(frame[9 * kW + 9], 0x07000000u | m_colourA) << "picture pixels carry the sprite's depth byte";
    EXPECT_EQ(frame[12 * kW + 13], 0x07000000u | m_colourA);
    EXPECT_EQ(frame[13 * kW + 13], 0xFF000000u);

    // Twice the size: bounds and the drawn area double, the hot spot too.
    s->setScale(0x10000);
    root->update(0, 0, kOne);
    EXPECT_EQ(s->m_drawScale, 0x10000);
    EXPECT_EQ(Ints({ s->m_left, s->m_top, s->m_right, s->m_bottom }), (Ints { 6, 8, 18, 16 }));
    std::fill(frame.begin(), frame.end(), 0xFF000000);
    root->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[8 * kW + 7], 0xFF000000u) << "the transparent column is two pixels wide now";
    EXPECT_EQ(frame[8 * kW + 8], 0x07000000u | m_colourA);
    EXPECT_EQ(frame[15 * kW + 17], 0x07000000u | m_colourA);

    // Another frame of the same library: new size and hot spot; the same one again changes nothing.
    s->setFrame(1);
    EXPECT_EQ(s->getWidth(), 3);
    EXPECT_EQ(s->m_anchorX, 0);
    s->setSize(9, 9);
    s->setPicture(m_lib, 1);
    EXPECT_EQ(s->getWidth(), 9) << "setting the picture already shown does nothing";
    EXPECT_STREQ(s->toString()->chars(), "Sprite image 1");

    // Letting the picture go points the cache's clock hand at it, without a second chance.
    EXPECT_TRUE(m_lib->getPictureRef(1)->m_recentlyUsed);
    s->releasePicture();
    EXPECT_FALSE(m_lib->getPictureRef(1)->m_recentlyUsed);
    EXPECT_EQ(m_lib->clockHand(), 1);
    root->destroy();
}

TEST_F(PictureSpriteTest, DepthBytesDecideWhichPicturePixelsSurvive)
{
    auto s = make<Vsprite>();
    s->setPicture(m_lib, 1);
    s->setDepth(toFixed(9));
    s->layout(toFixed(2), toFixed(2), kOne);

    // After a translucent fill the depth byte is 0: only depth-0 pictures draw.
    std::vector<uint32_t> frame(kW * kH, 0);
    s->fillRect(frame.data(), kW, kH, 0, 0, kW, kH, 0x80FFFFFF);
    s->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[3 * kW + 3], 0x007F7F7Fu) << "a depth-9 picture must not draw over depth 0";
    s->setDepth(0);
    s->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[3 * kW + 3], m_colourB) << "a depth-0 picture draws there";

    // A nearer sprite drawn first in one branch keeps its pixels against a
    // farther one drawn later in another branch.
    auto root = make<Vsprite>();
    root->setSize(kW, kH);
    root->setColour(0xFF000000);
    auto nearGroup = make<Vsprite>();
    auto farGroup = make<Vsprite>();
    root->addTail(nearGroup);
    root->addTail(farGroup);
    Ref<Vsprite> nearSprite = make<Vsprite>(nearGroup, m_lib, 1, 5, 5);
    Ref<Vsprite> farSprite = make<Vsprite>(farGroup, m_lib, 0, 8, 6);
    nearSprite->setDepth(toFixed(3));
    farSprite->setDepth(toFixed(200));
    root->update(0, 0, kOne);
    std::fill(frame.begin(), frame.end(), 0);
    root->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[6 * kW + 7], 0x03000000u | m_colourB) << "overlap: the nearer picture survives";
    EXPECT_EQ(frame[6 * kW + 8], 0xC8000000u | m_colourA) << "beyond the nearer picture the farther one shows";
    EXPECT_EQ(frame[6 * kW + 5], 0xFF000000u) << "transparent column of the nearer picture";
    test::saveFrame("sprite_picture_depth", frame.data(), kW, kH, kW);
    root->destroy();
}

}  // namespace
}  // namespace tarnby
