// Sprite engine speed: painting a phone-sized root viewport frame after frame.
#include <benchmark/benchmark.h>

#include <vector>

#include "sprite/viewport.h"

namespace tarnby {
namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;

// A screen like the game's: a gradient sky, ground, a panel, a few dozen
// boxes and markers of mixed fills, three of which move every frame.
struct Screen {
    Screen()
    {
        root = make<Viewport>();
        root->setSize(kWidth, kHeight);
        root->setColour(0xFF000000);
        root->attach();
        add(0, 0, kWidth, 120, 0xFF3050A0, 250)->setColour2(0xFFA0C0FF);
        add(0, 120, kWidth, 200, 0xFF206020, 240);
        add(4, 4, 120, 24, 0x80000000, 1);
        const uint32_t colours[] = { 0xFFE0E0E0, 0x80FFFFFF, 0x40FF0000, 0xFF2040FF, 0xC0FFFF00 };
        for (int i = 0; i < 26; ++i) {
            auto s = add((i * 37) % 220, 30 + (i * 53) % 270, 8 + i % 13, 6 + i % 9, colours[i % 5], 10 + i);
            if (i % 9 == 0) {
                movers.push_back(s);
            }
        }
    }
    ~Screen() { root->destroy(); }

    Ref<Vsprite> add(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour, int32_t depth)
    {
        auto s = make<Vsprite>();
        s->setSize(w, h);
        s->setPosition(x, y);
        s->setColour(colour);
        s->setDepth(toFixed(depth));
        root->add(s);
        return s;
    }

    void step(int frame)
    {
        for (size_t i = 0; i < movers.size(); ++i) {
            const Fixed dx = ((frame / 40 + static_cast<int>(i)) & 1) ? 0x18000 : -0x18000;
            movers[i]->moveBy(dx, 0x8000 * ((frame & 1) ? 1 : -1));
        }
    }

    Ref<Viewport> root;
    std::vector<Ref<Vsprite>> movers;
};

void BM_PaintMovingSprites(benchmark::State& state)
{
    Screen screen;
    screen.root->paint();
    int frame = 0;
    for (auto _ : state) {
        screen.step(frame++);
        screen.root->paint();
    }
    state.counters["sprites"] = 29;
    state.counters["movers"] = static_cast<double>(screen.movers.size());
}
BENCHMARK(BM_PaintMovingSprites);

void BM_PaintStillScene(benchmark::State& state)
{
    Screen screen;
    screen.root->paint();
    for (auto _ : state) {
        screen.root->paint();  // layout check only: nothing changed
    }
}
BENCHMARK(BM_PaintStillScene);

void BM_PaintWholeScreen(benchmark::State& state)
{
    Screen screen;
    screen.root->paint();
    for (auto _ : state) {
        screen.root->invalidateAll();
        screen.root->paint();
    }
}
BENCHMARK(BM_PaintWholeScreen);

void BM_Fill(benchmark::State& state)
{
    std::vector<uint32_t> frame(kWidth * kHeight, 0xFF102030);
    auto s = make<Vsprite>();
    const auto colour = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        s->fillRect(frame.data(), kWidth, kHeight, 0, 0, kWidth, kHeight, colour);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_Fill)->Arg(0xFF804020)->Arg(0x80804020)->Arg(0x40804020);

}  // namespace
}  // namespace tarnby
