// Viewport: changed-area merging, painting, nesting, keys and frame pacing.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "runtime/host.h"
#include "sprite/viewport.h"

namespace tarnby {
namespace {

using Rect = std::vector<int32_t>;

std::vector<Rect> dirty(const Viewport& v)
{
    std::vector<Rect> out;
    for (int32_t i = 0; i < v.dirtyCount(); ++i) {
        const int32_t* r = v.dirtyRect(i);
        out.push_back({r[0], r[1], r[2], r[3]});
    }
    return out;
}

Ref<Viewport> emptyRoot(int32_t w, int32_t h)
{
    auto v = make<Viewport>();
    v->setSize(w, h);
    v->m_dirtyCount = 0;  // forget the full-area request of setSize
    return v;
}

// A host that records what is shown and keeps a virtual clock.
class RecordingHost : public Host {
public:
    uint32_t tickCount() override { return now; }
    void sleep(int32_t ms) override
    {
        sleeps.push_back(ms);
        now += static_cast<uint32_t>(ms);
    }
    void present(const uint32_t* pixels, int32_t stride, int32_t x, int32_t y, int32_t w, int32_t h) override
    {
        presents.push_back({x, y, w, h});
        lastPixel = pixels[y * stride + x];
    }
    uint32_t now = 1000;
    std::vector<int32_t> sleeps;
    std::vector<Rect> presents;
    uint32_t lastPixel = 0;
};

class HostScope {
public:
    explicit HostScope(Host* h) { setHost(h); }
    ~HostScope() { setHost(nullptr); }
};

TEST(ViewportTest, ChangedAreasMergeByTheEdgeRule)
{
    auto v = emptyRoot(100, 100);
    v->invalidateRect(0, 0, 10, 10);
    v->invalidateRect(5, 5, 8, 8);
    EXPECT_EQ(dirty(*v), (std::vector<Rect>{{0, 0, 10, 10}})) << "a contained area changes nothing";

    v->invalidateRect(10, 0, 20, 10);
    EXPECT_EQ(dirty(*v), (std::vector<Rect>{{0, 0, 10, 10}, {10, 0, 20, 10}}))
        << "sharing only an edge in x does not merge";

    v = emptyRoot(100, 100);
    v->invalidateRect(0, 0, 10, 10);
    v->invalidateRect(0, 10, 10, 20);
    EXPECT_EQ(dirty(*v), (std::vector<Rect>{{0, 0, 10, 20}})) << "sharing an edge in y merges";

    // Cascade: the grown area touches an earlier entry, so the scan restarts
    // and swallows it too; the later entries keep their order.
    v = emptyRoot(100, 100);
    v->invalidateRect(0, 0, 10, 10);    // A
    v->invalidateRect(50, 50, 60, 60);  // B, apart
    v->invalidateRect(20, 0, 30, 10);   // C, apart from A (gap in x)
    v->invalidateRect(70, 0, 80, 5);    // D, apart
    v->invalidateRect(25, 5, 31, 40);   // touches C; C grown reaches nothing yet
    EXPECT_EQ(dirty(*v), (std::vector<Rect>{{0, 0, 10, 10}, {50, 50, 60, 60}, {70, 0, 80, 5}, {20, 0, 31, 40}}));
    // This one touches the grown C only (A lies above y 10); the union then
    // reaches up to A, which the restarted scan merges as well.
    v->invalidateRect(5, 35, 22, 45);
    EXPECT_EQ(dirty(*v), (std::vector<Rect>{{50, 50, 60, 60}, {70, 0, 80, 5}, {0, 0, 31, 45}}))
        << "the restarted scan must merge the earlier entry the grown area now touches";

    // Clipping to the viewport, and empty areas.
    v = emptyRoot(100, 100);
    v->invalidateRect(-20, -20, 5, 5);
    v->invalidateRect(90, 90, 200, 200);
    v->invalidateRect(200, 0, 300, 10);
    v->invalidateRect(30, 30, 30, 40);
    EXPECT_EQ(dirty(*v), (std::vector<Rect>{{0, 0, 5, 5}, {90, 90, 100, 100}}));

    // At most 16: a seventeenth apart area is dropped, a touching one still merges.
    v = emptyRoot(200, 200);
    for (int i = 0; i < 17; ++i) {
        v->invalidateRect(i * 10, 0, i * 10 + 5, 5);
    }
    EXPECT_EQ(v->dirtyCount(), 16);
    EXPECT_EQ(dirty(*v).back(), (Rect{150, 0, 155, 5})) << "the seventeenth area must be the one dropped";
    v->invalidateRect(0, 5, 3, 9);
    EXPECT_EQ(v->dirtyCount(), 16);
    EXPECT_EQ(dirty(*v).back(), (Rect{0, 0, 5, 9}));
}

TEST(ViewportTest, SetSizeReplacesTheBufferOnlyWhenTheSizeChanges)
{
    int32_t before = avail();
    {
        auto v = make<Viewport>();
        v->setSize(20, 10);
        EXPECT_EQ(avail(), before - 20 * 10 * 4) << "the buffer is charged to the memory budget";
        EXPECT_EQ(dirty(*v), (std::vector<Rect>{{0, 0, 20, 10}}));
        EXPECT_EQ(v->m_right, 20);
        v->pixels()[7] = 0x12345678;
        v->m_dirtyCount = 0;
        v->setSize(20, 10);
        EXPECT_EQ(v->pixels()[7], 0x12345678u) << "the same size keeps buffer and contents";
        EXPECT_EQ(v->dirtyCount(), 0);
        v->setSize(8, 4);
        EXPECT_EQ(v->m_pixels.length(), 32);
        EXPECT_EQ(v->pixels()[7], 0u);
        EXPECT_EQ(avail(), before - 8 * 4 * 4);
        v->setSize(-5, 70000);  // nonsense: no buffer, and nothing drawn into one
        EXPECT_TRUE(v->m_pixels.empty());
        v->paint();
    }
    EXPECT_EQ(avail(), before) << "a destroyed viewport gives its buffer back";
}

TEST(ViewportTest, PaintRendersChangedAreasAndPresentsThem)
{
    RecordingHost h;
    HostScope scope(&h);
    auto v = make<Viewport>();
    v->setSize(40, 30);
    v->setColour(0xFF000000);
    v->attach(make<Object>());
    auto box = make<Vsprite>();
    box->setSize(10, 10);
    box->setColour(0xFFFF0000);
    box->setPosition(5, 5);
    v->add(box);

    v->paint();
    ASSERT_EQ(h.presents.size(), 1u) << "the box lies inside the full first area: one merged area";
    EXPECT_EQ(h.presents[0], (Rect{0, 0, 40, 30}));
    EXPECT_EQ(v->pixels()[6 * 40 + 6], 0xFFFF0000u);
    EXPECT_EQ(v->pixels()[0], 0xFF000000u);
    EXPECT_EQ(v->dirtyCount(), 0);

    h.presents.clear();
    v->paint();
    EXPECT_TRUE(h.presents.empty()) << "a still scene shows nothing";

    box->moveBy(toFixed(20), 0);
    v->paint();
    ASSERT_EQ(h.presents.size(), 2u) << "old and new place are apart in x";
    EXPECT_EQ(h.presents[0], (Rect{5, 5, 10, 10}));
    EXPECT_EQ(h.presents[1], (Rect{25, 5, 10, 10}));
    EXPECT_EQ(v->pixels()[6 * 40 + 6], 0xFF000000u) << "the old place is background again";
    EXPECT_EQ(v->pixels()[6 * 40 + 26], 0xFFFF0000u);

    // Not running: nothing is laid out or drawn.
    h.presents.clear();
    box->moveBy(toFixed(1), 0);
    v->stop();
    v->paint();
    EXPECT_TRUE(h.presents.empty());
    EXPECT_EQ(v->waitFrame(16), 0u);
    v->destroy();
}

TEST(ViewportTest, BandedRepaintsWipeInTenPixelBands)
{
    RecordingHost h;
    HostScope scope(&h);
    auto v = make<Viewport>();
    v->setSize(25, 12);
    v->setColour(0xFF00FF00);
    v->attach(make<Object>());
    v->paintColumns();
    EXPECT_EQ(h.presents, (std::vector<Rect>{{0, 0, 10, 12}, {10, 0, 10, 12}, {20, 0, 5, 12}}));
    EXPECT_EQ(h.sleeps, (std::vector<int32_t>{10, 10, 10})) << "one band per 10 ms";
    EXPECT_EQ(v->dirtyCount(), 0);
    EXPECT_EQ(v->pixels()[24 + 11 * 25], 0xFF00FF00u);

    h.presents.clear();
    v->paintRows();
    EXPECT_TRUE(h.presents.empty()) << "nothing changed, no wipe";
    v->invalidateAll();
    v->paintRows();
    EXPECT_EQ(h.presents, (std::vector<Rect>{{0, 0, 25, 10}, {0, 10, 25, 2}}));
}

TEST(ViewportTest, NestedViewportIsCompositedFromItsOwnBuffer)
{
    RecordingHost h;
    HostScope scope(&h);
    // The inner view draws its own scene into its buffer first.
    auto inner = make<Viewport>();
    inner->setSize(8, 6);
    inner->setColour(0xFF0000FF);
    auto dot = make<Vsprite>();
    dot->setSize(2, 2);
    dot->setColour(0xFFFFFFFF);
    dot->setPosition(1, 1);
    inner->add(dot);
    inner->paint();
    EXPECT_EQ(h.presents.size(), 0u) << "a viewport without a display presents nothing";
    EXPECT_EQ(inner->pixels()[1 * 8 + 1], 0xFFFFFFFFu);

    auto root = make<Viewport>();
    root->setSize(30, 20);
    root->setColour(0xFF000000);
    root->attach(make<Object>());
    inner->setPosition(10, 5);
    root->add(inner);
    // The inner view's children are not drawn again by the root: a changed
    // pixel in the inner buffer is what the root shows.
    inner->pixels()[5 * 8 + 7] = 0x00ABCDEF;
    root->paint();
    const uint32_t* frame = root->pixels();
    EXPECT_EQ(frame[5 * 30 + 10], 0xFF0000FFu) << "inner (0,0) lands at the inner view's bounds";
    EXPECT_EQ(frame[6 * 30 + 11], 0xFFFFFFFFu);
    EXPECT_EQ(frame[10 * 30 + 17], 0x00ABCDEFu) << "copied word for word, depth byte included";
    EXPECT_EQ(frame[11 * 30 + 17], 0xFF000000u) << "nothing below the inner buffer";
    EXPECT_EQ(frame[5 * 30 + 18], 0xFF000000u) << "nothing right of it";

    // A nested view hands its changed areas to the root unchanged.
    root->m_dirtyCount = 0;
    inner->invalidateRect(12, 6, 14, 8);
    EXPECT_EQ(dirty(*root), (std::vector<Rect>{{12, 6, 14, 8}}));

    // A scaled inner view has bounds larger than its buffer; only the buffer is copied.
    inner->setScale(0x10000);
    root->paint();
    EXPECT_EQ(frame[10 * 30 + 17], 0x00ABCDEFu);
    EXPECT_EQ(frame[12 * 30 + 20], 0xFF000000u);
    root->destroy();
}

TEST(ViewportTest, KeysQueueNineAndSelectWhileSteeringIsNotQueued)
{
    auto v = make<Viewport>();
    EXPECT_FALSE(v->hasKey());
    EXPECT_EQ(v->nextKey(), 0);
    for (int i = 0; i < 10; ++i) {
        v->keyDown(48 + i);
    }
    EXPECT_TRUE(v->isKeyDown(57)) << "a lost press still sets its held bit";
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(v->nextKey(), 48 + i) << "queue position " << i;
    }
    for (int i = 0; i < 10; ++i) {
        v->keyUp(48 + i);
    }
    EXPECT_EQ(v->nextKey(), 0) << "ten presses leave nine codes";
    EXPECT_FALSE(v->hasKey());

    // Wrap round the ring many times.
    for (int round = 0; round < 25; ++round) {
        v->keyDown(7);
        v->keyDown(32);
        v->keyUp(32);
        v->keyUp(7);
        ASSERT_EQ(v->nextKey(), 7);
        ASSERT_EQ(v->nextKey(), 32);
    }

    v->keyDown(3);  // up arrow held
    v->keyDown(5);  // select while steering
    EXPECT_TRUE(v->isKeyDown(5));
    EXPECT_EQ(v->nextKey(), 3);
    EXPECT_EQ(v->nextKey(), 0) << "select while an arrow is held must not be queued";
    v->keyUp(3);
    v->keyUp(5);
    v->keyDown(0);  // code 0 counts as a steering code too
    v->keyDown(5);
    EXPECT_EQ(v->nextKey(), 0);
    EXPECT_EQ(v->nextKey(), 0);
    v->keyUp(0);
    v->keyDown(5);
    EXPECT_EQ(v->nextKey(), 5);
    EXPECT_TRUE(v->keyIs(0, 5));
    EXPECT_TRUE(v->keyIs(2, 2));
    EXPECT_FALSE(v->keyIs(2, 4));

    // Codes beyond the bit set: queued, never held, never out of range.
    v->keyDown(58);
    v->keyDown(-23);  // a character above 127
    v->keyDown(1000);
    v->keyDown(-1000);
    EXPECT_FALSE(v->isKeyDown(58));
    EXPECT_FALSE(v->isKeyDown(-23));
    EXPECT_FALSE(v->isKeyDown(-1000));
    EXPECT_EQ(v->m_keysDown[0].load(), 1u << 5);
    EXPECT_EQ(v->m_keysDown[1].load(), 0u);
    EXPECT_EQ(v->nextKey(), 58);
    EXPECT_EQ(v->nextKey(), -23) << "a negative character code comes back as sent";
    v->nextKey();
    v->nextKey();
    v->keyUp(-5);
    v->keyUp(70);
    v->keyUp(5);
    EXPECT_EQ(v->m_keysDown[0].load(), 0u);
}

TEST(ViewportTest, KeyQueueHandsCodesAcrossThreadsInOrder)
{
    // One writer (the window thread), one reader (the game thread): every code
    // that was not dropped arrives once and in order.
    auto v = make<Viewport>();
    constexpr int kPresses = 20000;
    std::thread writer([&] {
        for (int i = 0; i < kPresses; ++i) {
            while ((v->m_keyWrite.load() + 1) % Viewport::kKeyQueueLength == v->m_keyRead.load()) {
                std::this_thread::yield();
            }
            v->keyDown(40 + i % 17);
            v->keyUp(40 + i % 17);
        }
    });
    int received = 0;
    bool inOrder = true;
    while (received < kPresses) {
        int32_t k = v->nextKey();
        if (k == 0) {
            std::this_thread::yield();
            continue;
        }
        inOrder = inOrder && k == 40 + received % 17;
        ++received;
    }
    writer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(v->nextKey(), 0);
}

TEST(ViewportTest, WaitFrameSleepsOutTheFrameOnTheVirtualClock)
{
    RecordingHost h;
    HostScope scope(&h);
    auto v = make<Viewport>();
    v->attach(nullptr);
    EXPECT_EQ(v->m_lastTick, 1000u);

    h.now += 5;
    EXPECT_EQ(v->waitFrame(16), 1016u);
    EXPECT_EQ(h.sleeps, (std::vector<int32_t>{11})) << "5 ms into a 16 ms frame sleeps 11";
    EXPECT_EQ(v->m_frameTime, 16);

    h.now += 20;
    EXPECT_EQ(v->waitFrame(16), 1036u);
    EXPECT_EQ(h.sleeps.size(), 1u) << "a late frame does not sleep";
    EXPECT_EQ(v->m_frameTime, 20);

    h.now += 16;
    v->waitFrame(16);
    EXPECT_EQ(h.sleeps.size(), 1u) << "exactly on time: no sleep";
    EXPECT_EQ(v->m_frameTime, 16) << "lost time is not made up";

    // The tick counter wraps.
    h.now = 0xFFFFFFF8u;
    v->m_lastTick = 0xFFFFFFF6u;
    EXPECT_EQ(v->waitFrame(16), 0x6u);
    EXPECT_EQ(h.sleeps.back(), 14);
    EXPECT_EQ(v->m_frameTime, 16);
}

TEST(ViewportTest, IsVisibleNeedsRealOverlap)
{
    auto v = emptyRoot(100, 80);
    auto s = make<Vsprite>();
    s->setBounds(90, 70, 110, 90);
    EXPECT_TRUE(v->isVisible(s));
    s->setBounds(100, 10, 110, 20);
    EXPECT_FALSE(v->isVisible(s)) << "touching the right edge is outside";
    s->setBounds(-10, -10, 0, 5);
    EXPECT_FALSE(v->isVisible(s));
    s->setBounds(-10, -10, 1, 1);
    EXPECT_TRUE(v->isVisible(s));
    s->setBounds(50, 50, 50, 60);
    EXPECT_FALSE(v->isVisible(s)) << "an empty sprite is never visible";
    EXPECT_FALSE(v->isVisible(nullptr));
}

}  // namespace
}  // namespace tarnby
