// Sprites: insertion order, removal, cycles, layout, change signatures, hit
// tests; drawing fills, gradients, clipped children and pictures placed by
// their hot spot at the sprite's depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "sprite/vsprite.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Ints = std::vector<int32_t>;

Ref<Vsprite> sized(int32_t w, int32_t h, Fixed depth = 0, int32_t tag = 0)
{
    auto s = make<Vsprite>();
    s->setSize(w, h);
    s->setDepth(depth);
    s->setTag(tag);
    return s;
}

Ints tags(const Ref<Vsprite>& parent)
{
    Ints out;
    for (Ref<Vsprite> c = parent->getChild(); c; c = c->m_next) {
        out.push_back(c->getTag());
        EXPECT_EQ(c->getParent(), parent) << "child " << c->getTag() << " names the wrong parent";
    }
    return out;
}

Ints edges(const Ref<Vsprite>& s) { return { s->m_left, s->m_top, s->m_right, s->m_bottom }; }

// Records every rectangle that reaches the top of a tree.
class RecordingRoot : public Vsprite {
public:
    void invalidateRect(int32_t l, int32_t t, int32_t r, int32_t b) override { rects.push_back({ l, t, r, b }); }
    std::vector<Ints> rects;
};

using Pixels = std::vector<uint32_t>;
constexpr int32_t kW = 40;
constexpr int32_t kH = 30;

// Sets the rectangle [l, r) x [t, b) of a whole frame to `v`.
Pixels& fill(Pixels& p, int32_t l, int32_t t, int32_t r, int32_t b, uint32_t v)
{
    for (int32_t y = t; y < b; ++y) {
        std::fill_n(p.begin() + y * kW + l, r - l, v);
    }
    return p;
}

// A whole frame of `background`, with one rectangle set to `inside`.
Pixels frame(uint32_t background, int32_t l = 0, int32_t t = 0, int32_t r = 0, int32_t b = 0, uint32_t inside = 0)
{
    Pixels p(kW * kH, background);
    return fill(p, l, t, r, b, inside);
}

Ref<Vsprite> box(int32_t l, int32_t t, int32_t r, int32_t b, uint32_t colour, uint32_t colour2 = 0)
{
    auto s = sized(r - l, b - t);
    s->setBounds(l, t, r, b);
    s->setColour(colour);
    s->setColour2(colour2);
    return s;
}

TEST(VspriteTest, AddOrdersByDepthRemoveUnlinksAndDestroyBreaksCycles)
{
    auto root = sized(100, 100);
    int32_t arrival = 0;
    for (int32_t depth : { 5, 9, 5, 7, 1, 10 }) {
        root->add(sized(1, 1, depth << 15, ++arrival));
    }
    EXPECT_EQ(tags(root), (Ints { 6, 2, 4, 1, 3, 5 })) << "deepest first; equal depths in arrival order";
    root->addTail(sized(1, 1, 100 << 15, 7));
    EXPECT_EQ(tags(root).back(), 7) << "addTail must append even the deepest sprite";

    // A sprite that already has a parent is not moved by add or addTail.
    auto other = sized(10, 10);
    other->add(root->getChild());
    other->addTail(root->getChild());
    EXPECT_EQ(other->getChild(), nullptr);
    EXPECT_EQ(tags(root).size(), 7u);
    root->destroy();

    // Remove unlinks only a sprite's own children.
    auto a = sized(10, 10), b = sized(10, 10);
    auto x = sized(1, 1, 0, 1), y = sized(1, 1, 0, 2), z = sized(1, 1, 0, 3), w = sized(1, 1, 0, 4);
    for (auto& s : { x, y, z }) {
        a->addTail(s);
    }
    b->addTail(w);
    a->remove(w);  // foreign and null children change nothing
    a->remove(nullptr);
    b->remove(x);
    a->remove(y);  // middle
    EXPECT_EQ(tags(a), (Ints { 1, 3 }));
    EXPECT_EQ(tags(b), (Ints { 4 }));
    EXPECT_TRUE(!y->hasParent() && !y->m_next);
    a->remove(x);     // head
    z->removeSelf();  // last
    EXPECT_EQ(a->getChild(), nullptr);
    b->add(x);
    EXPECT_EQ(tags(b), (Ints { 4, 1 })) << "removed sprites can join again";
    b->removeAll();
    EXPECT_EQ(b->getChild(), nullptr);
    EXPECT_EQ(Ints({ x->refCount(), y->refCount(), w->refCount() }), (Ints { 1, 1, 1 }))
        << "only the test's handles are left";

    // A three-level tree held only through its root: destroy must break every
    // parent-child cycle so the whole tree is freed (LeakSanitizer checks).
    {
        auto mid = sized(5, 5);
        root->add(mid);
        for (int i = 0; i < 3; ++i) {
            mid->add(sized(1, 1));
        }
    }
    root->destroy();
    EXPECT_EQ(root->getChild(), nullptr);
    EXPECT_EQ(root->refCount(), 1);
}

TEST(VspriteTest, UpdateComposesScaleAndReportsOnlyChangedSprites)
{
    auto root = make<RecordingRoot>();
    auto group = sized(0, 0);
    group->setPosition(100, 50);
    group->setScale(0x10000);  // children twice as large and twice as far
    root->addTail(group);
    auto child = sized(10, 10);
    child->setPosition(5, 5);
    group->addTail(child);

    // The rectangles one update reports.
    auto requests = [&] {
        root->update(0, 0, kOne);
        return std::exchange(root->rects, {});
    };
    EXPECT_EQ(requests(), (std::vector<Ints> { { 110, 60, 130, 80 } }))
        << "the never-laid-out empty bounds are not reported, the new ones are";
    EXPECT_EQ(edges(child), (Ints { 110, 60, 130, 80 }));
    child->setTag(9);
    child->setDepth(3 << 15);
    EXPECT_TRUE(requests().empty()) << "an unchanged scene (tag and depth are not seen) requests no redraw";
    child->moveBy(0x8000, 0);
    EXPECT_EQ(requests(), (std::vector<Ints> { { 110, 60, 130, 80 }, { 112, 60, 132, 80 } }))
        << "old place first, then the new place";
    child->setFrame(4);
    EXPECT_EQ(requests(), (std::vector<Ints> { { 112, 60, 132, 80 }, { 112, 60, 132, 80 } }))
        << "another picture frame in the same place is redrawn";
    group->invalidateAll();
    EXPECT_EQ(requests().size(), 3u) << "one request from invalidateAll, two from the forced layout";
    root->destroy();
}

TEST(VspriteTest, LayoutHitTestsAndPlacement)
{
    auto s = sized(10, 6);
    s->layout(0x56000, -0x8000, kOne);  // (10.75, -1)
    EXPECT_EQ(edges(s), (Ints { 11, -1, 21, 5 })) << "edges round up, negative ones too";
    s->m_snap = true;
    s->layout(0x56000, 0x8001, kOne);
    EXPECT_EQ(edges(s), (Ints { 10, 1, 20, 7 })) << "snap truncates to whole pixels";
    s->m_snap = false;

    s->setMinScale(0x4000);
    s->setMaxScale(0x10000);
    for (auto [scale, drawn] :
        std::vector<std::pair<Fixed, Fixed>> { { 0x1000, 0x4000 }, { 0x20000, 0x10000 }, { 0x6000, 0x6000 } }) {
        s->layout(0, 0, scale);
        EXPECT_EQ(s->m_drawScale, drawn) << "scale " << scale << " is held to the minimum and maximum";
    }

    s->m_extendLeft = true;
    s->layout(40 << 15, 0, kOne);
    EXPECT_EQ(edges(s), (Ints { 37, 0, 50, 6 })) << "half the scaled height (3) further left";

    // Hit tests: bounds are half-open, the margin widens them, and the left
    // extension takes no taps.
    auto hit = box(10, 10, 20, 20, 0);
    EXPECT_TRUE(hit->hitTest(8, 8, 2) && hit->hitTest(21, 21, 2) && hit->contains(10, 19));
    EXPECT_FALSE(hit->hitTest(22, 10, 2) || hit->contains(20, 10));
    hit->m_extendLeft = true;
    hit->setBounds(4, 10, 20, 22);  // 6 columns of extension for a height of 12
    EXPECT_FALSE(hit->contains(5, 12));
    EXPECT_TRUE(hit->contains(10, 12));

    // A group node answers for its children; its own bounds do not count.
    auto group = sized(0, 0);
    group->addTail(box(0, 0, 5, 5, 0));
    group->addTail(box(50, 50, 55, 55, 0));
    group->setBounds(0, 0, 100, 100);
    EXPECT_TRUE(group->contains(4, 4) && group->contains(52, 54) && group->hitTest(6, 6, 2));
    EXPECT_FALSE(group->contains(20, 20));
    group->destroy();

    // centreIn keeps the top on screen first, then the bottom inside.
    struct Case {
        int32_t h, l, t, r, b, x, y;
    };
    for (const Case& c : std::vector<Case> { { 10, 0, 0, 100, 50, 40, 20 }, { 10, 10, -30, 31, -10, 10, 0 },
             { 80, 0, 10, 100, 60, 40, 0 }, { 80, 0, 30, 100, 100, 40, 20 } }) {
        auto m = sized(20, c.h);
        m->centreIn(c.l, c.t, c.r, c.b);
        EXPECT_EQ(Ints({ m->getX() >> 15, m->getY() >> 15 }), (Ints { c.x, c.y }))
            << "height " << c.h << " in " << c.l << "," << c.t << "," << c.r << "," << c.b;
    }
    auto panel = sized(100, 60);
    auto d = sized(31, 21);
    panel->addCentred(d);
    EXPECT_EQ(Ints({ d->getX(), d->getY() }), (Ints { 34 << 15, 19 << 15 })) << "addCentred rounds down";
    panel->destroy();
}

TEST(VspriteTest, FillsGradientsAndClippedChildrenWriteColourAndDepthByAlpha)
{
    // A fill of [4, 6) x [5, 7) over a background, and the word it leaves:
    // the colour word itself when opaque (alpha as depth 255), else depth 0.
    struct Case {
        uint32_t under, colour, want;
        const char* what;
    };
    for (const Case& c :
        std::vector<Case> { { 0x11223344, 0xFF804020, 0xFF804020, "opaque: rows block-copied with the stride" },
            { 0x11223344, 0x00FFFFFF, 0x11223344, "transparent: nothing at all, whatever the colour bytes" },
            { 0x00000000, 0x80FFFFFF, 0x007F7F7F, "half white over black, by shift and mask" },
            { 0xFFFFFFFF, 0x80FFFFFF, 0x00FEFEFE, "two halves cut to 7 bits each" },
            { 0xFF204060, 0x40FF8000, 0x00564F47, "each byte weighed: red 0x20 * 191 >> 8 + 0xFF * 64 >> 8" },
            { 0xFFFFFFFF, 0xFEFFFFFF, 0x00FDFDFD, "alpha 254 over white: no carry between bytes" },
            { 0x00FFFFFF, 0x01000000, 0x00FDFDFD, "alpha 1 black over white: 255 * 254 >> 8" } }) {
        Pixels f = frame(c.under);
        make<Vsprite>()->fillRect(f.data(), kW, kH, 4, 5, 6, 7, c.colour);
        EXPECT_EQ(f, frame(c.under, 4, 5, 6, 7, c.want)) << c.what;
    }

    // Height 4: a step of 8192 a row; 255 * 8192 >> 15 = 63, 128 -> 32, 64 -> 16.
    Pixels f = frame(0), want = frame(0);
    auto g = box(2, 4, 6, 8, 0xFF000000, 0xFFFF8040);
    g->render(f.data(), kW, kH, 2, 4, 6, 8);
    const uint32_t rows[] = { 0xFF000000, 0xFF3F2010, 0xFF7F4020, 0xFFBF6030 };
    for (int32_t y = 0; y < 4; ++y) {
        fill(want, 2, 4 + y, 6, 5 + y, rows[y]);
    }
    EXPECT_EQ(f, want);
    f = frame(0);
    g->render(f.data(), kW, kH, 3, 7, 4, 8);
    EXPECT_EQ(f, frame(0, 3, 7, 4, 8, rows[3])) << "a clip below the top still measures rows from the sprite's top";

    // Falling bytes shift arithmetically (255 - 64), and unequal colours draw
    // every row opaque.
    box(0, 0, 1, 4, 0x20FF0000, 0x10000000)->render(f.data(), kW, kH, 0, 0, 1, 4);
    EXPECT_EQ(f[0], 0xFFFF0000u);
    EXPECT_EQ(f[kW], 0xFFBF0000u);
    // Equal colours keep their own alpha: a half fill on every row.
    box(0, 0, 3, 3, 0x80FFFFFF, 0x80FFFFFF)->render(f.data(), kW, kH, 1, 0, 3, 3);
    EXPECT_EQ(f[2 * kW + 1], 0x007F7F7Fu);

    // No height: nothing to spread over, nothing drawn (and no division by zero).
    f = frame(0x12345678);
    auto flat = box(0, 0, 5, 0, 0xFF00FF00, 0xFF0000FF);
    flat->render(f.data(), kW, kH, 0, 0, 5, 3);
    flat->m_height = -3;
    flat->render(f.data(), kW, kH, 0, 0, 5, 3);
    EXPECT_EQ(f, frame(0x12345678));

    auto root = box(0, 0, 20, 20, 0);  // clear parent: draws nothing itself
    // A child wholly outside the clip is skipped with its children, even one
    // that reaches into the clip.
    auto outside = box(25, 25, 30, 30, 0xFF0000FF);
    outside->addTail(box(2, 2, 6, 6, 0xFFFF0000));
    root->addTail(outside);
    // A group node passes the parent's clip on: its child stops at the clip.
    auto group = make<Vsprite>();
    group->addTail(box(15, 15, 25, 25, 0xFF00FF00));
    root->addTail(group);
    // A sized child is clipped to its bounds within the clip, its own child to
    // the child's clip; later children cover earlier ones.
    auto partly = box(8, -4, 12, 3, 0xFFFFFF00);
    partly->addTail(box(10, 0, 18, 10, 0xFF00FFFF));
    root->addTail(partly);
    f = frame(0);
    root->render(f.data(), kW, kH, 0, 0, 20, 20);
    want = frame(0, 8, 0, 12, 3, 0xFFFFFF00);
    fill(want, 10, 0, 12, 3, 0xFF00FFFF);
    EXPECT_EQ(f, fill(want, 15, 15, 20, 20, 0xFF00FF00));
    root->destroy();
}

TEST(VspriteTest, PictureGivesSizeAndHotSpotAndDrawsAtTheSpritesDepth)
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
    const uint32_t ink = 0x07000000u | (static_cast<uint32_t>(lib->getPicture(0)->m_pixels[1]) & 0xFFFFFF);

    auto root = make<Vsprite>();
    Ref<Vsprite> s = make<Vsprite>(root, lib, 0, 10, 10);
    EXPECT_EQ(Ints({ s->getWidth(), s->getHeight(), s->m_anchorX, s->m_anchorY }), (Ints { 6, 4, 2, 1 }));
    s->setDepth(toFixed(7));
    // The hot spot sits at the position: 8..13 x 9..12, the transparent column
    // 8 left as it was; the pixels carry the sprite's depth byte. At twice the
    // size everything doubles, the hot spot too.
    for (auto [scale, l, t, r, b] :
        std::vector<std::array<int32_t, 5>> { { kOne, 8, 9, 14, 13 }, { 2 * kOne, 6, 8, 18, 16 } }) {
        s->setScale(scale);
        root->update(0, 0, kOne);
        EXPECT_EQ(Ints({ s->m_left, s->m_top, s->m_right, s->m_bottom }), (Ints { l, t, r, b })) << scale;
        Pixels f = frame(0xFF000000);  // opaque background: depth 255
        root->render(f.data(), kW, kH, 0, 0, kW, kH);
        EXPECT_EQ(f, frame(0xFF000000, l + scale / kOne, t, r, b, ink)) << "scale " << scale;
    }

    // Another frame of the library brings its own size and hot spot.
    s->setFrame(1);
    EXPECT_EQ(Ints({ s->getWidth(), s->m_anchorX }), (Ints { 3, 0 }));

    // Letting the picture go points the cache's clock hand at it, without a
    // second chance.
    lib->getPicture(1);
    ASSERT_TRUE(lib->getPictureRef(1)->m_recentlyUsed);
    s->releasePicture();
    EXPECT_FALSE(lib->getPictureRef(1)->m_recentlyUsed);
    EXPECT_EQ(lib->clockHand(), 1);
    root->destroy();
}

}  // namespace
}  // namespace tarnby
