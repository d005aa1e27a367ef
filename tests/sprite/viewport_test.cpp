// Viewport: changed-area merging, painting, nesting, keys and frame pacing,
// and a small scene painted headless through it, checked by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/headless/headless_host.h"
#include "sprite/viewport.h"
#include "support/test_support.h"

namespace tarnby {
namespace {

using Rect = std::vector<int32_t>;
using Rects = std::vector<Rect>;

Rects dirty(const Viewport& v)
{
    Rects out;
    for (int32_t i = 0; i < v.dirtyCount(); ++i) {
        const int32_t* r = v.dirtyRect(i);
        out.push_back({ r[0], r[1], r[2], r[3] });
    }
    return out;
}

// A viewport of the given size; shown on the host when `colour` is given.
Ref<Viewport> root(int32_t w, int32_t h, uint32_t colour = 0)
{
    auto v = make<Viewport>();
    v->setSize(w, h);
    v->setColour(colour);
    if (colour) {
        v->attach();
    } else {
        v->m_dirtyCount = 0;  // forget the full-area request of setSize
    }
    return v;
}

Ref<Vsprite> filled(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t depth = 0)
{
    auto s = make<Vsprite>();
    s->setSize(w, h);
    s->setPosition(x, y);
    s->setColour(colour);
    s->setDepth(toFixed(depth));
    return s;
}

// The presented rectangles as (x, y, w, h) lists.
Rects presented(const HeadlessHost& h)
{
    Rects out;
    for (const HeadlessHost::Rect& r : h.presented()) {
        out.push_back({ r.x, r.y, r.w, r.h });
    }
    return out;
}

TEST(ViewportTest, ChangedAreasMergeByTheEdgeRuleAndVisibilityNeedsOverlap)
{
    struct Case {
        Rects in, out;
        const char* what;
    };
    for (const Case& c : std::vector<Case> {
             { { { 0, 0, 10, 10 }, { 5, 5, 8, 8 } }, { { 0, 0, 10, 10 } }, "a contained area changes nothing" },
             { { { 0, 0, 10, 10 }, { 10, 0, 20, 10 } }, { { 0, 0, 10, 10 }, { 10, 0, 20, 10 } },
                 "sharing only an edge in x does not merge" },
             { { { 0, 0, 10, 10 }, { 0, 10, 10, 20 } }, { { 0, 0, 10, 20 } }, "sharing an edge in y merges" },
             { { { 0, 0, 10, 10 }, { 50, 50, 60, 60 }, { 20, 0, 30, 10 }, { 70, 0, 80, 5 }, { 25, 5, 31, 40 },
                   { 5, 35, 22, 45 } },
                 { { 50, 50, 60, 60 }, { 70, 0, 80, 5 }, { 0, 0, 31, 45 } },
                 "a merged area moves to the end, and the restarted scan merges what it now touches" },
             { { { -20, -20, 5, 5 }, { 90, 90, 200, 200 }, { 200, 0, 300, 10 }, { 30, 30, 30, 40 } },
                 { { 0, 0, 5, 5 }, { 90, 90, 100, 100 } }, "areas are clipped to the view, empty ones dropped" } }) {
        auto v = root(100, 100);
        for (const Rect& r : c.in) {
            v->invalidateRect(r[0], r[1], r[2], r[3]);
        }
        EXPECT_EQ(dirty(*v), c.out) << c.what;
    }

    // At most 16: a seventeenth apart area is dropped, a touching one still merges.
    auto v = root(200, 200);
    for (int i = 0; i < 17; ++i) {
        v->invalidateRect(i * 10, 0, i * 10 + 5, 5);
    }
    EXPECT_EQ(dirty(*v).size(), 16u);
    EXPECT_EQ(dirty(*v).back(), (Rect { 150, 0, 155, 5 })) << "the seventeenth area must be the one dropped";
    v->invalidateRect(0, 5, 3, 9);
    EXPECT_EQ(dirty(*v)[15], (Rect { 0, 0, 5, 9 })) << "still 16, the touching one merged";

    // A sprite is visible when its bounds really overlap the view's.
    auto s = make<Vsprite>();
    for (auto [r, visible] : std::vector<std::pair<Rect, bool>> { { { 190, 190, 210, 210 }, true },
             { { 200, 10, 210, 20 }, false }, { { -10, -10, 0, 5 }, false }, { { 50, 50, 50, 60 }, false } }) {
        s->setBounds(r[0], r[1], r[2], r[3]);
        EXPECT_EQ(v->isVisible(s), visible) << "bounds " << r[0] << "," << r[1] << "," << r[2] << "," << r[3];
    }
    EXPECT_FALSE(v->isVisible(nullptr));
}

TEST(ViewportTest, SetSizeReplacesTheBufferAndFullRepaintsWipeInBands)
{
    HeadlessHost h(200, 100);
    h.setNow(1000);
    int64_t before = avail();
    auto v = root(25, 12, 0xFF00FF00);
    EXPECT_EQ(avail(), before - 25 * 12 * 4) << "the buffer is charged to the memory budget";
    EXPECT_EQ(dirty(*v), (Rects { { 0, 0, 25, 12 } })) << "a new buffer is redrawn whole";
    // Bands of 10 pixels, one per 10 ms.
    v->paintColumns();
    EXPECT_EQ(presented(h), (Rects { { 0, 0, 10, 12 }, { 10, 0, 10, 12 }, { 20, 0, 5, 12 } }));
    EXPECT_EQ((Rect { h.sleepCount(), static_cast<int32_t>(h.tickCount()) }), (Rect { 3, 1030 })) << "a band per 10 ms";
    EXPECT_EQ(h.screenAt(24, 11), 0xFF00FF00u) << "the wipe reached the screen";
    h.clearPresented();
    v->paintRows();
    EXPECT_TRUE(h.presented().empty()) << "nothing changed, no wipe";
    v->invalidateAll();
    v->paintRows();
    EXPECT_EQ(presented(h), (Rects { { 0, 0, 25, 10 }, { 0, 10, 25, 2 } }));

    v->setSize(25, 12);
    EXPECT_EQ(v->pixels()[24 + 11 * 25], 0xFF00FF00u) << "the same size keeps buffer and contents";
    EXPECT_EQ(v->dirtyCount(), 0);
    v->setSize(8, 4);
    EXPECT_EQ(v->pixels()[7], 0u) << "a new size starts from a zeroed buffer";
    v->setSize(-5, 70000);  // nonsense: no buffer, and nothing drawn into one
    EXPECT_TRUE(v->m_pixels.empty());
    v->paint();
    v = nullptr;
    EXPECT_EQ(avail(), before) << "a destroyed viewport gives its buffer back";
}

TEST(ViewportTest, NestedViewportIsCompositedFromItsOwnBuffer)
{
    HeadlessHost h(200, 100);
    h.setNow(1000);
    auto inner = make<Viewport>();
    inner->setSize(8, 6);
    inner->setColour(0xFF0000FF);
    inner->add(filled(1, 1, 2, 2, 0xFFFFFFFF));
    inner->paint();
    EXPECT_TRUE(h.presented().empty()) << "a viewport that is not attached presents nothing";

    auto top = root(30, 20, 0xFF000000);
    inner->setPosition(10, 5);
    top->add(inner);
    // The root does not draw the inner view's children again: it copies the buffer.
    inner->pixels()[5 * 8 + 7] = 0x00ABCDEF;
    top->paint();
    const uint32_t* frame = top->pixels();
    EXPECT_EQ(frame[5 * 30 + 10], 0xFF0000FFu) << "inner (0,0) lands at the inner view's bounds";
    EXPECT_EQ(frame[10 * 30 + 17], 0x00ABCDEFu) << "copied word for word, depth byte included";
    top->m_dirtyCount = 0;
    inner->invalidateRect(12, 6, 14, 8);
    EXPECT_EQ(dirty(*top), (Rects { { 12, 6, 14, 8 } })) << "a nested view passes areas on unchanged";

    // A scaled inner view has bounds larger than its buffer; only the buffer is copied.
    inner->setScale(0x10000);
    top->paint();
    EXPECT_EQ(frame[10 * 30 + 17], 0x00ABCDEFu);
    EXPECT_EQ(frame[11 * 30 + 17], 0xFF000000u) << "nothing below the inner buffer";
    EXPECT_EQ(frame[5 * 30 + 18], 0xFF000000u) << "nothing right of it";
    top->destroy();
}

TEST(ViewportTest, KeysQueueNineAndSelectWhileSteeringIsNotQueued)
{
    auto v = make<Viewport>();
    EXPECT_FALSE(v->hasKey());
    // Ten presses leave nine codes, from the ring's start and again from where it wrapped.
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 10; ++i) {
            v->keyDown(48 + i);
        }
        EXPECT_TRUE(v->hasKey());
        EXPECT_TRUE(v->isKeyDown(57)) << "a lost press still sets its held bit";
        for (int i = 0; i < 10; ++i) {
            v->keyUp(48 + i);
            EXPECT_EQ(v->nextKey(), i < 9 ? 48 + i : 0) << "pass " << pass << ", position " << i;
        }
        EXPECT_FALSE(v->isKeyDown(57));
    }

    // Select (5) while an arrow (3) or code 0 is held is part of steering.
    for (int32_t arrow : { 3, 0 }) {
        v->keyDown(arrow);
        v->keyDown(5);
        EXPECT_EQ(v->nextKey(), arrow);
        EXPECT_EQ(v->nextKey(), 0) << "select while steering code " << arrow << " is held must not be queued";
        v->keyUp(arrow);
        v->keyUp(5);
    }
    v->keyDown(5);
    EXPECT_EQ(v->nextKey(), 5);

    // Codes beyond the bit set (negative ones are characters above 127) are
    // queued as sent but never held, and touch no other key's bit.
    for (int32_t k : { 58, -23, 1000, -1000, 70 }) {
        v->keyDown(k);
        v->keyUp(k);
        EXPECT_FALSE(v->isKeyDown(k)) << k;
    }
    EXPECT_TRUE(v->m_keysDown[0].load() == 1u << 5 && v->m_keysDown[1].load() == 0u) << "only select is held";
    EXPECT_EQ(v->nextKey(), 58);
    EXPECT_EQ(v->nextKey(), -23) << "a negative character code comes back as sent";
}

TEST(ViewportTest, WaitFrameSleepsOutTheFrameOnAWrappingClock)
{
    HeadlessHost h(200, 100);
    h.setNow(1000);
    auto v = make<Viewport>();
    v->attach();
    h.setNow(1005);
    EXPECT_EQ(v->waitFrame(16), 1016u) << "5 ms into a 16 ms frame sleeps 11";
    EXPECT_EQ(h.sleepCount(), 1);
    h.setNow(1036);
    EXPECT_EQ(v->waitFrame(16), 1036u) << "a late frame does not sleep";
    EXPECT_EQ(v->m_frameTime, 20);
    h.setNow(1052);
    EXPECT_EQ(v->waitFrame(16), 1052u) << "on time: no sleep, and lost time is not made up";
    EXPECT_EQ(h.sleepCount(), 1);
    h.setNow(0xFFFFFFF8u);
    v->m_lastTick = 0xFFFFFFF6u;
    EXPECT_EQ(v->waitFrame(16), 0x6u) << "the tick counter wraps: 14 ms slept across zero";
    EXPECT_EQ(h.sleepCount(), 2);
    EXPECT_EQ(v->m_frameTime, 16);
}

TEST(ViewportTest, PaintsASmallSceneAndRedrawsOnlyWhatMoves)
{
    HeadlessHost h(200, 100);
    h.setNow(1000);
    auto view = root(120, 90, 0xFF203040);
    auto sky = filled(0, 0, 120, 40, 0xFF4060C0, 250);
    sky->setColour2(0xFFC0E0FF);
    view->add(sky);
    view->add(filled(0, 40, 120, 50, 0xFF207020, 240));
    // A group node moves a little flag (pole and cloth) as one.
    auto flag = make<Vsprite>();
    flag->setPosition(80, 20);
    flag->setDepth(toFixed(10));
    flag->addTail(filled(0, 0, 2, 30, 0xFFFFFFFF));
    flag->addTail(filled(2, 0, 12, 8, 0xFFE02020));
    view->add(flag);
    auto ball = filled(30, 60, 6, 6, 0xFFF0F0F0, 5);
    ball->setAnchor(3, 3);  // the position is the ball's centre
    view->add(ball);
    view->add(filled(4, 4, 50, 14, 0x80000000, 1));        // a half-black panel
    view->addTail(filled(40, 50, 4, 4, 0xFFFFFF00, 200));  // drawn last whatever its depth

    view->paint();
    view->waitFrame(16);
    view->paint();
    EXPECT_EQ(h.presents(), 1) << "a still scene shows nothing more";
    EXPECT_EQ(h.screenAt(90, 22), 0xFFE02020u) << "the presented frame reached the screen";
    const uint32_t* px = view->pixels();
    auto at = [&](int32_t x, int32_t y) { return px[y * 120 + x]; };
    EXPECT_EQ(at(90, 22), 0xFFE02020u) << "flag cloth, placed by its group";
    EXPECT_EQ(at(10, 6), (at(60, 6) >> 1) & 0x7F7F7F) << "the panel halves the sky, depth byte 0";

    // Move the ball a few frames: each frame redraws a small area only, and
    // the result equals a full redraw of the same scene.
    h.clearPresented();
    for (int frame = 0; frame < 5; ++frame) {
        ball->moveBy(toFixed(3), -toFixed(2));
        view->paint();
        view->waitFrame(16);
    }
    EXPECT_EQ(h.presents(), 5) << "old and new place of a slow ball touch: one area per frame";
    for (const Rect& r : presented(h)) {
        EXPECT_LE(r[2] * r[3], 9 * 8) << "only the ball's old and new place are drawn";
    }
    EXPECT_EQ(at(45, 50), 0xFFF0F0F0u) << "the ball is centred on its position";
    EXPECT_EQ(at(30, 60), 0xFF207020u) << "the old place is ground again";
    EXPECT_EQ(at(42, 52), 0xFFFFFF00u) << "the marker stays on top of the ball";
    std::vector<uint32_t> full(120 * 90, 0);
    view->Vsprite::render(full.data(), 120, 90, 0, 0, 120, 90);
    EXPECT_TRUE(std::equal(full.begin(), full.end(), px)) << "incremental frames must equal a full redraw";

    // Removing a sprite redraws where it was.
    view->remove(flag);
    view->paint();
    EXPECT_EQ(at(90, 22), at(60, 22)) << "sky again where the cloth of the removed group was";
    // A stopped view (the window closed) lays out and draws nothing, and does not wait.
    h.clearPresented();
    view->stop();
    view->add(flag);
    view->paint();
    EXPECT_TRUE(h.presented().empty());
    EXPECT_EQ(view->waitFrame(16), 0u);
    view->destroy();
}

}  // namespace
}  // namespace tarnby
