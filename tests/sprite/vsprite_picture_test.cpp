// Sprites showing pictures: size and hot spot from the library, placement,
// scale, the sprite's depth byte, and letting a picture go.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "sprite/vsprite.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;

TEST(PictureSpriteTest, PictureGivesSizeAndHotSpotAndDrawsAtTheSpritesDepth)
{
    // Two pictures, each one colour with its first column transparent: 6 x 4
    // with the hot spot (2, 1), and 3 x 3.
    test::ScratchFolder folder("sprite_pictures");
    bundle::BundleWriter writer;
    for (auto [w, h, ax, ay] : std::vector<std::array<int32_t, 4>> { { 6, 4, 2, 1 }, { 3, 3, 0, 0 } }) {
        std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), static_cast<uint8_t>(40 * w));
        for (int32_t i = 0; i < w * h; ++i) {
            rgba[static_cast<size_t>(i * 4 + 3)] = i % w == 0 ? 0 : 255;
        }
        ASSERT_GE(writer.addRun(rgba.data(), w, h, ax, ay), 0) << writer.error();
    }
    ASSERT_TRUE(writer.writeSegments(folder.path(), "spr", 4096)) << writer.error();
    auto lib = make<Vilib>(String::intern("spr"));
    // Decoded now: an undecoded picture drawn whole at its own size takes a
    // short cut that ignores depth.
    const uint32_t colour = static_cast<uint32_t>(lib->getPicture(0)->m_pixels[1]) & 0xFFFFFF;

    auto root = make<Vsprite>();
    Ref<Vsprite> s = make<Vsprite>(root, lib, 0, 10, 10);
    EXPECT_EQ(Ints({ s->getWidth(), s->getHeight(), s->m_anchorX, s->m_anchorY }), (Ints { 6, 4, 2, 1 }));
    s->setDepth(toFixed(7));
    root->update(0, 0, kOne);
    EXPECT_EQ(Ints({ s->m_left, s->m_top, s->m_right, s->m_bottom }), (Ints { 8, 9, 14, 13 }))
        << "the hot spot sits at the position";
    constexpr int32_t kW = 40, kH = 30;
    std::vector<uint32_t> frame(kW * kH, 0xFF000000);  // opaque background: depth 255
    root->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[9 * kW + 8], 0xFF000000u) << "the transparent column leaves the background";
    EXPECT_EQ(frame[9 * kW + 9], 0x07000000u | colour) << "picture pixels carry the sprite's depth byte";
    EXPECT_EQ(frame[12 * kW + 13], 0x07000000u | colour);
    EXPECT_EQ(frame[13 * kW + 13], 0xFF000000u);

    // Twice the size: bounds and the drawn area double, the hot spot too.
    s->setScale(0x10000);
    root->update(0, 0, kOne);
    EXPECT_EQ(Ints({ s->m_left, s->m_top, s->m_right, s->m_bottom }), (Ints { 6, 8, 18, 16 }));
    std::fill(frame.begin(), frame.end(), 0xFF000000);
    root->render(frame.data(), kW, kH, 0, 0, kW, kH);
    EXPECT_EQ(frame[8 * kW + 7], 0xFF000000u) << "the transparent column is two pixels wide now";
    EXPECT_EQ(frame[8 * kW + 8], 0x07000000u | colour);
    EXPECT_EQ(frame[15 * kW + 17], 0x07000000u | colour);

    // Another frame of the library brings its own size and hot spot; the
    // picture already shown changes nothing.
    s->setFrame(1);
    EXPECT_EQ(Ints({ s->getWidth(), s->m_anchorX }), (Ints { 3, 0 }));
    s->setSize(9, 9);
    s->setPicture(lib, 1);
    EXPECT_EQ(s->getWidth(), 9) << "setting the picture already shown does nothing";
    EXPECT_STREQ(s->toString()->chars(), "Sprite image 1");

    // Letting the picture go points the cache's clock hand at it, without a second chance.
    lib->getPicture(1);
    ASSERT_TRUE(lib->getPictureRef(1)->m_recentlyUsed);
    s->releasePicture();
    EXPECT_FALSE(lib->getPictureRef(1)->m_recentlyUsed);
    EXPECT_EQ(lib->clockHand(), 1);
    root->destroy();
}

}  // namespace
}  // namespace tarnby
