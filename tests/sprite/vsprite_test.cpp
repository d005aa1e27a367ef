// Sprite tree: insertion order, removal, cycles, layout, signatures, hit tests.
#include <gtest/gtest.h>

#include <vector>

#include "sprite/vsprite.h"

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

TEST(VspriteTest, AddKeepsDeeperChildrenFirstAndAddTailAppends)
{
    auto root = sized(100, 100);
    for (auto [depth, tag] : std::vector<std::pair<int32_t, int32_t>> { { 5, 1 }, { 9, 2 }, { 5, 3 }, { 7, 4 },
                                                                          { 1, 5 }, { 10, 6 } }) {
        root->add(sized(1, 1, depth << 15, tag));
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
}

TEST(VspriteTest, RemoveUnlinksOnlyOwnChildrenAndDestroyBreaksCycles)
{
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
    a->remove(x);  // head
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
    auto root = sized(10, 10);
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

    // A child made with its parent is held by the parent until destroy.
    auto parent = sized(0, 0);
    Ref<Vsprite> child = make<Vsprite>(parent, nullptr, -1, 3, 4);
    EXPECT_EQ(child->getParent(), parent);
    EXPECT_EQ(child->refCount(), 2);
    parent->destroy();
    EXPECT_EQ(child->refCount(), 1);
}

TEST(VspriteTest, LayoutRoundsEdgesUpAndHonoursSnapScaleClampsAndExtension)
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
    for (auto [scale, drawn] : std::vector<std::pair<Fixed, Fixed>> {
             { 0x1000, 0x4000 }, { 0x20000, 0x10000 }, { 0x6000, 0x6000 } }) {
        s->layout(0, 0, scale);
        EXPECT_EQ(s->m_drawScale, drawn) << "scale " << scale << " is held to the minimum and maximum";
    }

    s->m_extendLeft = true;
    s->layout(40 << 15, 0, kOne);
    EXPECT_EQ(s->m_left, 37) << "half the scaled height (3) further left";
    EXPECT_EQ(s->m_right, 50);
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

    root->update(0, 0, kOne);
    EXPECT_EQ(edges(child), (Ints { 110, 60, 130, 80 }));
    EXPECT_EQ(root->rects, (std::vector<Ints> { { 110, 60, 130, 80 } }))
        << "the never-laid-out empty bounds are not reported, the new ones are";

    root->rects.clear();
    child->setTag(9);
    child->setDepth(3 << 15);
    root->update(0, 0, kOne);
    EXPECT_TRUE(root->rects.empty()) << "an unchanged scene (tag and depth are not seen) requests no redraw";

    child->moveBy(0x8000, 0);
    root->update(0, 0, kOne);
    EXPECT_EQ(root->rects, (std::vector<Ints> { { 110, 60, 130, 80 }, { 112, 60, 132, 80 } }))
        << "old place first, then the new place";

    root->rects.clear();
    group->invalidateAll();
    root->update(0, 0, kOne);
    EXPECT_EQ(root->rects.size(), 3u) << "one request from invalidateAll, two from the forced layout";
    root->destroy();
}

TEST(VspriteTest, HitTestsAndPlacement)
{
    auto s = sized(10, 10);
    s->setBounds(10, 10, 20, 20);
    EXPECT_TRUE(s->hitTest(8, 8, 2) && s->hitTest(21, 21, 2) && s->contains(10, 19));
    EXPECT_FALSE(s->hitTest(22, 10, 2) || s->contains(20, 10)) << "bounds are half-open";
    s->m_extendLeft = true;
    s->setBounds(4, 10, 20, 22);  // 6 columns of extension for a height of 12
    EXPECT_FALSE(s->contains(5, 12)) << "the left extension takes no taps";
    EXPECT_TRUE(s->contains(10, 12));

    // A group node answers for its children; its own bounds do not count.
    auto group = sized(0, 0);
    auto a = sized(5, 5), b = sized(5, 5);
    a->setBounds(0, 0, 5, 5);
    b->setBounds(50, 50, 55, 55);
    group->addTail(a);
    group->addTail(b);
    group->setBounds(0, 0, 100, 100);
    EXPECT_TRUE(group->contains(4, 4) && group->contains(52, 54) && group->hitTest(6, 6, 2));
    EXPECT_FALSE(group->contains(20, 20));
    group->destroy();

    // centreIn keeps the top on screen first, then the bottom inside.
    struct Case {
        int32_t h, l, t, r, b, x, y;
    };
    for (const Case& c : std::vector<Case> {
             { 10, 0, 0, 100, 50, 40, 20 }, { 10, 10, -30, 31, -10, 10, 0 }, { 80, 0, 10, 100, 60, 40, 0 },
             { 80, 0, 30, 100, 100, 40, 20 } }) {
        auto m = sized(20, c.h);
        m->centreIn(c.l, c.t, c.r, c.b);
        EXPECT_EQ(Ints({ m->getX() >> 15, m->getY() >> 15 }), (Ints { c.x, c.y }))
            << "height " << c.h << " in " << c.l << "," << c.t << "," << c.r << "," << c.b;
    }
    auto box = sized(100, 60);
    auto d = sized(31, 21);
    box->addCentred(d);
    EXPECT_EQ(Ints({ d->getX(), d->getY() }), (Ints { 34 << 15, 19 << 15 })) << "addCentred rounds down";
    box->destroy();
}

}  // namespace
}  // namespace tarnby
