// Sprite drawing: the three fills and their depth bytes, gradients, child
// clipping, and pictures placed by their hot spot at the sprite's depth.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "sprite/vsprite.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;
constexpr int32_t kW = 40;
constexpr int32_t kH = 30;

struct Frame {
    explicit Frame(uint32_t fill) : pixels(kW * kH, fill), fill(fill) {}
    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y * kW + x)]; }
    uint32_t* data() { return pixels.data(); }
    // Every pixel outside [l, r) x [t, b) still holds the first fill.
    bool untouchedOutside(int32_t l, int32_t t, int32_t r, int32_t b)
    {
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                if (!(x >= l && x < r && y >= t && y < b) && at(x, y) != fill) {
                    return false;
                }
            }
        }
        return true;
    }
    std::vector<uint32_t> pixels;
    uint32_t fill;
};

Ref<Vsprite> box(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t colour, uint32_t colour2 = 0)
{
    auto s = make<Vsprite>();
    s->setSize(r - l, b - t);
    s->setBounds(l, t, r, b);
    s->setColour(colour);
    s->setColour2(colour2);
    return s;
}

TEST(VspriteDrawTest, FillsWriteColourAndDepthByAlpha)
{
    auto s = make<Vsprite>();
    // Opaque: the whole colour word (alpha as depth 255), rows block-copied with the stride.
    Frame f(0x11223344);
    s->fillRect(f.data(), kW, kH, 3, 2, 13, 9, 0xFF804020);
    EXPECT_TRUE(f.at(3, 2) == 0xFF804020u && f.at(12, 8) == 0xFF804020u && f.at(7, 5) == 0xFF804020u);
    EXPECT_TRUE(f.untouchedOutside(3, 2, 13, 9));
    // Transparent: nothing at all, whatever the colour bytes.
    s->fillRect(f.data(), kW, kH, 0, 0, kW, kH, 0x00FFFFFF);
    EXPECT_TRUE(f.untouchedOutside(3, 2, 13, 9));

    // Each fill of one pixel over a background, and the word it leaves (depth byte 0 unless opaque).
    struct Case {
        uint32_t under, colour, want;
        const char* what;
    };
    for (const Case& c : std::vector<Case> {
             { 0x00000000, 0x80FFFFFF, 0x007F7F7F, "half white over black, by shift and mask" },
             { 0xFF102030, 0x80FFFFFF, 0x00878F97, "0x081018 + 0x7F7F7F" },
             { 0xFFFFFFFF, 0x80FFFFFF, 0x00FEFEFE, "two halves cut to 7 bits each" },
             { 0xFF204060, 0x40FF8000, 0x00564F47, "each byte weighed: red 0x20 * 191 >> 8 + 0xFF * 64 >> 8" },
             { 0xFFFFFFFF, 0xFEFFFFFF, 0x00FDFDFD, "alpha 254 over white: no carry between bytes" },
             { 0x00FFFFFF, 0x01000000, 0x00FDFDFD, "alpha 1 black over white: 255 * 254 >> 8" } }) {
        Frame g(c.under);
        s->fillRect(g.data(), kW, kH, 4, 5, 6, 7, c.colour);
        EXPECT_TRUE(g.at(4, 5) == c.want && g.at(5, 6) == c.want) << c.what << ": got " << std::hex << g.at(5, 6);
        EXPECT_TRUE(g.untouchedOutside(4, 5, 6, 7)) << c.what;
    }
}

TEST(VspriteDrawTest, GradientRowsStepFromTopColourToBottomColour)
{
    // Height 4: a step of 8192 a row; 255 * 8192 >> 15 = 63, 128 -> 32, 64 -> 16.
    Frame f(0);
    auto g = box(2, 4, 6, 8, 0xFF000000, 0xFFFF8040);
    g->render(f.data(), kW, kH, 2, 4, 6, 8);
    EXPECT_EQ(f.at(2, 4), 0xFF000000u);
    EXPECT_EQ(f.at(5, 5), 0xFF3F2010u);
    EXPECT_EQ(f.at(3, 7), 0xFFBF6030u);
    EXPECT_TRUE(f.untouchedOutside(2, 4, 6, 8));
    // A clip below the top still measures rows from the sprite's top.
    Frame c(0);
    g->render(c.data(), kW, kH, 3, 7, 4, 8);
    EXPECT_EQ(c.at(3, 7), 0xFFBF6030u);
    EXPECT_TRUE(c.untouchedOutside(3, 7, 4, 8));

    // Falling bytes shift arithmetically (255 - 64), and unequal colours draw every row opaque.
    Frame d(0);
    box(0, 0, 1, 4, 0x20FF0000, 0x10000000)->render(d.data(), kW, kH, 0, 0, 1, 4);
    EXPECT_EQ(d.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(d.at(0, 1), 0xFFBF0000u);
    // Equal colours keep their own alpha: a half fill on every row.
    box(0, 0, 3, 3, 0x80FFFFFF, 0x80FFFFFF)->render(d.data(), kW, kH, 1, 0, 3, 3);
    EXPECT_EQ(d.at(1, 2), 0x007F7F7Fu);

    // No height: nothing to spread over, nothing drawn (and no division by zero).
    Frame z(0x12345678);
    auto flat = box(0, 0, 5, 0, 0xFF00FF00, 0xFF0000FF);
    flat->render(z.data(), kW, kH, 0, 0, 5, 3);
    flat->m_height = -3;
    flat->render(z.data(), kW, kH, 0, 0, 5, 3);
    EXPECT_TRUE(z.untouchedOutside(0, 0, 0, 0));
}

TEST(VspriteDrawTest, ChildrenAreClippedAndSkippedWithTheirSubtrees)
{
    Frame f(0);
    auto root = box(0, 0, 20, 20, 0);  // clear parent: draws nothing itself
    // A child wholly outside the clip is skipped with its children, even one
    // that reaches into the clip.
    auto outside = box(25, 25, 30, 30, 0xFF0000FF);
    outside->addTail(box(2, 2, 6, 6, 0xFFFF0000));
    root->addTail(outside);
    // A group node passes the parent's clip on; its child is clipped to it only.
    auto group = make<Vsprite>();
    group->addTail(box(15, 15, 25, 25, 0xFF00FF00));
    root->addTail(group);
    // A sized child is clipped to its bounds within the clip, its own child to the child's clip.
    auto partly = box(8, -4, 12, 3, 0xFFFFFF00);
    partly->addTail(box(10, 0, 18, 10, 0xFF00FFFF));
    root->addTail(partly);

    root->render(f.data(), kW, kH, 0, 0, 20, 20);
    EXPECT_EQ(f.at(3, 3), 0u) << "the child of a skipped child must not draw";
    EXPECT_EQ(f.at(19, 19), 0xFF00FF00u);
    EXPECT_EQ(f.at(20, 20), 0u) << "group children stop at the parent's clip";
    EXPECT_EQ(f.at(8, 0), 0xFFFFFF00u);
    EXPECT_EQ(f.at(10, 2), 0xFF00FFFFu) << "later children cover earlier ones";
    EXPECT_EQ(f.at(13, 2), 0u) << "a grandchild is clipped to its parent's bounds";
    EXPECT_EQ(f.at(10, 3), 0u);
    root->destroy();
}

TEST(VspriteDrawTest, PictureGivesSizeAndHotSpotAndDrawsAtTheSpritesDepth)
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
