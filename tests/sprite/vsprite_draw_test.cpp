// Sprite drawing: the three fills and their depth bytes, gradients, child clipping.
#include <gtest/gtest.h>

#include <vector>

#include "sprite/vsprite.h"

namespace tarnby {
namespace {

constexpr int32_t kW = 32;
constexpr int32_t kH = 24;

struct Frame {
    explicit Frame(uint32_t fill = 0) : pixels(kW * kH, fill) {}
    uint32_t& at(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y * kW + x)]; }
    uint32_t* data() { return pixels.data(); }
    // Every pixel outside [l, r) x [t, b) still holds `fill`.
    bool untouchedOutside(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t fill)
    {
        for (int32_t y = 0; y < kH; ++y) {
            for (int32_t x = 0; x < kW; ++x) {
                bool inside = x >= l && x < r && y >= t && y < b;
                if (!inside && at(x, y) != fill) {
                    return false;
                }
            }
        }
        return true;
    }
    std::vector<uint32_t> pixels;
};

Ref<Vsprite> box(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t colour)
{
    auto s = make<Vsprite>();
    s->setSize(r - l, b - t);
    s->setBounds(l, t, r, b);
    s->setColour(colour);
    return s;
}

TEST(VspriteDrawTest, FillsWriteColourAndDepthByAlpha)
{
    auto s = make<Vsprite>();

    // Opaque: the whole colour word, alpha byte as depth 255, every row equal.
    Frame f(0x11223344);
    s->fillRect(f.data(), kW, kH, 3, 2, 13, 9, 0xFF804020);
    for (int32_t y = 2; y < 9; ++y) {
        for (int32_t x = 3; x < 13; ++x) {
            ASSERT_EQ(f.at(x, y), 0xFF804020u) << "opaque fill at " << x << "," << y;
        }
    }
    EXPECT_TRUE(f.untouchedOutside(3, 2, 13, 9, 0x11223344)) << "rows are block-copied with the stride";

    // Transparent: nothing at all, whatever the colour bytes.
    Frame g(0x11223344);
    s->fillRect(g.data(), kW, kH, 0, 0, kW, kH, 0x00FFFFFF);
    EXPECT_TRUE(g.untouchedOutside(0, 0, 0, 0, 0x11223344));

    // Half: average by shift and mask; the depth byte becomes 0.
    Frame h(0x00000000);
    h.at(6, 5) = 0xFF102030;
    h.at(7, 5) = 0xFFFFFFFF;
    s->fillRect(h.data(), kW, kH, 4, 5, 8, 6, 0x80FFFFFF);
    EXPECT_EQ(h.at(4, 5), 0x007F7F7Fu) << "half white over black";
    EXPECT_EQ(h.at(6, 5), 0x00878F97u) << "0x081018 + 0x7F7F7F";
    EXPECT_EQ(h.at(7, 5), 0x00FEFEFEu) << "two halves cut to 7 bits each";
    EXPECT_TRUE(h.untouchedOutside(4, 5, 8, 6, 0));

    // Any other alpha: each byte weighed separately, products cut to 8 bits.
    Frame k(0xFF204060);
    s->fillRect(k.data(), kW, kH, 0, 0, 2, 2, 0x40FF8000);
    // red (0x20*191 >> 8) + (0xFF*64 >> 8) = 23 + 63; green 47 + 32; blue 71 + 0
    EXPECT_EQ(k.at(1, 1), 0x00564F47u);
    Frame k2(0xFFFFFFFF);
    s->fillRect(k2.data(), kW, kH, 0, 0, 1, 1, 0xFEFFFFFF);
    EXPECT_EQ(k2.at(0, 0), 0x00FDFDFDu) << "alpha 254 over white: 0 + 253 per byte, no carry between bytes";
    Frame k3(0x00FFFFFF);
    s->fillRect(k3.data(), kW, kH, 0, 0, 1, 1, 0x01000000);
    EXPECT_EQ(k3.at(0, 0), 0x00FDFDFDu) << "alpha 1 black over white: 255 * 254 >> 8 = 253";
}

TEST(VspriteDrawTest, GradientRowsStepFromTopColourToBottomColour)
{
    Frame f(0);
    auto g = box(2, 4, 6, 8, 0xFF000000);  // height 4: step 8192
    g->setColour2(0xFFFF8040);
    g->render(f.data(), kW, kH, 2, 4, 6, 8);
    EXPECT_EQ(f.at(2, 4), 0xFF000000u);
    EXPECT_EQ(f.at(5, 5), 0xFF3F2010u) << "255 * 8192 >> 15 = 63, 128 -> 32, 64 -> 16";
    EXPECT_EQ(f.at(3, 7), 0xFFBF6030u);
    EXPECT_TRUE(f.untouchedOutside(2, 4, 6, 8, 0));

    // Falling bytes use an arithmetic shift: 255 + (-255 * 8192 >> 15) = 255 - 64.
    Frame d(0);
    auto down = box(0, 0, 1, 4, 0x20FF0000);
    down->setColour2(0x10000000);
    down->render(d.data(), kW, kH, 0, 0, 1, 4);
    EXPECT_EQ(d.at(0, 0), 0xFFFF0000u) << "unequal colours draw every row opaque";
    EXPECT_EQ(d.at(0, 1), 0xFFBF0000u);

    // A clip below the top still measures rows from the sprite's top.
    Frame c(0);
    g->render(c.data(), kW, kH, 3, 7, 4, 8);
    EXPECT_EQ(c.at(3, 7), 0xFFBF6030u);
    EXPECT_TRUE(c.untouchedOutside(3, 7, 4, 8, 0));

    // Equal colours keep their own alpha: a half fill on every row.
    Frame e(0);
    auto same = box(0, 0, 3, 3, 0x80FFFFFF);
    same->setColour2(0x80FFFFFF);
    same->render(e.data(), kW, kH, 0, 0, 3, 3);
    EXPECT_EQ(e.at(1, 2), 0x007F7F7Fu);

    // No height: nothing to spread over, nothing drawn (and no division by zero).
    Frame z(0x12345678);
    auto flat = box(0, 0, 5, 0, 0xFF00FF00);
    flat->setColour2(0xFF0000FF);
    flat->render(z.data(), kW, kH, 0, 0, 5, 3);
    flat->m_height = -3;
    flat->render(z.data(), kW, kH, 0, 0, 5, 3);
    EXPECT_TRUE(z.untouchedOutside(0, 0, 0, 0, 0x12345678));
}

TEST(VspriteDrawTest, ChildrenAreClippedAndSkippedWithTheirSubtrees)
{
    Frame f(0);
    auto root = box(0, 0, 20, 20, 0);  // clear parent: draws nothing itself

    // A child wholly outside the clip is skipped with its children, even one
    // that reaches into the clip.
    auto outside = box(25, 25, 30, 30, 0xFF0000FF);
    auto reaching = box(2, 2, 6, 6, 0xFFFF0000);
    outside->addTail(reaching);
    root->addTail(outside);

    // A group node passes the parent's clip on; its child is clipped to it only.
    auto group = make<Vsprite>();
    group->setColour(0);
    auto inGroup = box(15, 15, 25, 25, 0xFF00FF00);
    group->addTail(inGroup);
    root->addTail(group);

    // A sized child is clipped to its bounds within the clip; its own child to
    // the child's clip.
    auto partly = box(8, -4, 12, 3, 0xFFFFFF00);
    auto grand = box(10, 0, 18, 10, 0xFF00FFFF);
    partly->addTail(grand);
    root->addTail(partly);

    root->render(f.data(), kW, kH, 0, 0, 20, 20);
    EXPECT_EQ(f.at(3, 3), 0u) << "the child of a skipped child must not draw";
    EXPECT_EQ(f.at(16, 16), 0xFF00FF00u);
    EXPECT_EQ(f.at(19, 19), 0xFF00FF00u);
    EXPECT_EQ(f.at(20, 20), 0u) << "group children stop at the parent's clip";
    EXPECT_EQ(f.at(8, 0), 0xFFFFFF00u);
    EXPECT_EQ(f.at(10, 2), 0xFF00FFFFu) << "later children cover earlier ones";
    EXPECT_EQ(f.at(13, 2), 0u) << "a grandchild is clipped to its parent's bounds";
    EXPECT_EQ(f.at(10, 3), 0u);

    // A later, nearer sibling covers an earlier one where they overlap.
    Frame g(0);
    auto back = box(0, 0, 10, 10, 0xFF111111);
    auto front = box(5, 5, 15, 15, 0x80FFFFFF);
    root->removeAll();
    root->add(back);
    root->add(front);
    root->render(g.data(), kW, kH, 0, 0, 20, 20);
    EXPECT_EQ(g.at(2, 2), 0xFF111111u);
    EXPECT_EQ(g.at(7, 7), 0x00878787u) << "half white over the opaque grey";
    EXPECT_EQ(g.at(12, 12), 0x007F7F7Fu);
    root->destroy();
    outside->destroy();
    partly->destroy();
    group->destroy();
}

}  // namespace
}  // namespace tarnby
