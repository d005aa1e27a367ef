// Speed of the vector graphics: loading a hole file, the point query, ground
// heights and the course map.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "golf/hole_setup.h"
#include "platform/headless/executable_folder.h"
#include "runtime/files.h"
#include "shape-writer/shape_writer.h"
#include "vector/vpolyterrain.h"

namespace tarnby {
namespace {

// A closed blob of `points` curved segments about (cx, cy), radii rx, ry with
// a wobble, `inside` within it and `outside` around it. Blobs nested in one
// another must stay inside their outer blob, so that every boundary has the
// right region on each side.
void addBlob(ShapeWriter& w, std::mt19937& random, double cx, double cy, double rx, double ry, int32_t points,
    int32_t inside, int32_t outside, double wobbleSize = 0.3)
{
    std::vector<ShapePoint> ring;
    for (int32_t i = 0; i < points; ++i) {
        double a = 2 * std::numbers::pi * i / points;
        double wobble = 1 - wobbleSize / 2 + wobbleSize * (random() % 1000) / 1000.0;
        ring.push_back({ cx + rx * wobble * std::cos(a), cy + ry * wobble * std::sin(a) });
    }
    // Counter-clockwise on the map (angles grow clockwise with y down, so walk
    // them backwards): the inside is on the walker's left.
    std::vector<ShapePoint> back(ring.rbegin(), ring.rend());
    ShapePoint start { (back[0].x + back[1].x) / 2, (back[0].y + back[1].y) / 2 };
    w.moveTo(start.x, start.y, inside, outside);
    for (size_t i = 1; i <= back.size(); ++i) {
        const ShapePoint& c = back[i % back.size()];
        const ShapePoint& n = back[(i + 1) % back.size()];
        w.curveTo(c.x, c.y, (c.x + n.x) / 2, (c.y + n.y) / 2);
    }
}

// Three holes side by side: rough, fairways, greens, bunkers, ponds, a river.
std::vector<uint8_t> threeHoleFile()
{
    std::mt19937 random(2026);
    ShapeWriter w(kHoleFileSize, kHoleFileSize);
    int32_t rough = w.fill(0xFF101010);
    int32_t fairway = w.fill(0xFF003000);
    int32_t green = w.fill(0xFF002030);
    int32_t bunker = w.fill(0xFF202000);
    int32_t water = w.fill(0xFF000010);
    int32_t tee = w.fill(0xFF200000);
    int32_t hill = w.fill(0xFF400040);
    w.addRectangle(0, 0, kHoleFileSize, kHoleFileSize, rough);
    for (int32_t h = 0; h < 3; ++h) {
        double x = 90 + 165 * h;
        addBlob(w, random, x, 260, 40, 200, 24, fairway, rough, 0.1);
        addBlob(w, random, x + 2, 110, 16, 14, 8, green, fairway, 0.1);
        addBlob(w, random, x - 14, 160, 7, 5, 6, bunker, fairway, 0.1);
        addBlob(w, random, x + 14, 330, 7, 5, 6, bunker, fairway, 0.1);
        addBlob(w, random, x, 460, 10, 6, 4, tee, rough);
        addBlob(w, random, x + 60, 200, 14, 30, 10, water, rough);
        addBlob(w, random, x - 60, 380, 16, 40, 10, hill, rough);
    }
    return w.bytes();
}

struct Hole {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    Hole()
    {
        std::vector<uint8_t> bytes = threeHoleFile();
        ByteArray array(static_cast<int32_t>(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), array.begin());
        loadHoleBytes(terrain, array, 0, pictures());
    }
    // The game's pictures when the build put them beside the benchmark.
    static Ref<Vilib> pictures()
    {
        setDataFolder(executableFolder());
        return InputStream::open("golf0.bin") ? make<Vilib>(String::intern("golf")) : nullptr;
    }
};

Hole& hole()
{
    static Hole shared;
    return shared;
}

void BM_LoadHoleFile(benchmark::State& state)
{
    // Through the data folder, as the game loads a hole: the file, its
    // crossings, the fills' surfaces and the smoothed height field.
    std::string folder = "/tmp/tarnby-vector-bench-" + std::to_string(::getpid());
    std::string saved = dataFolder();
    std::filesystem::create_directories(folder);
    setDataFolder(folder);
    std::vector<uint8_t> bytes = threeHoleFile();
    std::FILE* f = std::fopen((folder + "/c0_holes_1-3").c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    Ref<String> name = String::intern("c0_holes_1-3");
    for (auto _ : state) {
        loadHole(terrain, name, 0, nullptr);
        benchmark::DoNotOptimize(terrain->heightAt(0x10000, 0x10000));
    }
    state.counters["crossings"] = terrain->crossingCount();
    state.counters["bytes"] = static_cast<double>(bytes.size());
    setDataFolder(saved);
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LoadHoleFile)->Unit(benchmark::kMillisecond);

void BM_LoadGameHoleFile(benchmark::State& state)
{
    // The first hole file of the first course, as the build generates it.
    setDataFolder(executableFolder());
    Ref<String> name = String::intern("c0_holes_1-3");
    if (!InputStream::open(name)) {
        state.SkipWithError("no c0_holes_1-3 beside the benchmark");
        return;
    }
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    Ref<Vilib> pictures = Hole::pictures();
    for (auto _ : state) {
        loadHole(terrain, name, 0, pictures);
        benchmark::DoNotOptimize(terrain->heightAt(0x10000, 0x10000));
    }
    state.counters["crossings"] = terrain->crossingCount();
}
BENCHMARK(BM_LoadGameHoleFile)->Unit(benchmark::kMillisecond);

// Hostile drawings of about 1 MB that stay under the crossing cap: edges
// zig-zagging through the same few rows (state.range(0) == 0), or short edges
// alternating between the top and the bottom rows (1). Loading must stay about
// linear in the file's size, whatever order the edges come in.
std::vector<uint8_t> hostileFile(int32_t kind)
{
    ShapeWriter w(512, 512);
    int32_t a = w.fill(0xFF101010);
    int32_t b = w.fill(0xFF003000);
    if (kind == 0) {
        w.moveTo(1, 0.5, a, b);
        for (int32_t i = 0; i < 190000; ++i) {
            w.lineTo(1 + (i % 5000) * 0.1, (i & 1) ? 3.5 : 0.5);
        }
    } else {
        for (int32_t i = 0; i < 95000; ++i) {
            const double x = 1 + (i % 5000) * 0.1;
            const double y = (i & 1) ? 508.5 : 0.5;
            w.moveTo(x, y, a, b);
            w.lineTo(x + 0.05, y + 3);
        }
    }
    return w.bytes();
}

void BM_LoadHostileFile(benchmark::State& state)
{
    std::vector<uint8_t> bytes = hostileFile(static_cast<int32_t>(state.range(0)));
    ByteArray array(static_cast<int32_t>(bytes.size()));
    std::copy(bytes.begin(), bytes.end(), array.begin());
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    for (auto _ : state) {
        readHoleDrawing(terrain, array);
        benchmark::DoNotOptimize(terrain->crossingCount());
    }
    state.counters["crossings"] = terrain->crossingCount();
    state.counters["bytes"] = static_cast<double>(bytes.size());
}
BENCHMARK(BM_LoadHostileFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

void BM_FillAtAlongRows(benchmark::State& state)
{
    VpolyTerrain& t = *hole().terrain;
    // One query every 1/8 yard along each row, as the map and the view sample.
    int64_t queries = 0;
    int32_t sum = 0;
    Fixed y = 0;
    for (auto _ : state) {
        for (Fixed x = 0; x < toFixed(512); x += 0x1000) {
            sum += t.fillAt(x, y);
        }
        queries += 4096;
        y = (y + 0x9000) % toFixed(512);
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(queries);
}
BENCHMARK(BM_FillAtAlongRows);

std::vector<std::pair<Fixed, Fixed>> randomPoints()
{
    std::mt19937 random(5);
    std::vector<std::pair<Fixed, Fixed>> points(4096);
    for (auto& p : points) {
        p = { static_cast<Fixed>(random() % toFixed(512)), static_cast<Fixed>(random() % toFixed(512)) };
    }
    return points;
}

void BM_FillAtRandom(benchmark::State& state)
{
    VpolyTerrain& t = *hole().terrain;
    auto points = randomPoints();
    int32_t sum = 0;
    for (auto _ : state) {
        for (auto [x, y] : points) {
            sum += t.fillAt(x, y);
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_FillAtRandom);

void BM_HeightAt(benchmark::State& state)
{
    VpolyTerrain& t = *hole().terrain;
    auto points = randomPoints();
    int32_t sum = 0;
    for (auto _ : state) {
        for (auto [x, z] : points) {
            sum += t.heightAt(x, z);
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(points.size()));
}
BENCHMARK(BM_HeightAt);

void BM_RenderMap(benchmark::State& state)
{
    int32_t width = static_cast<int32_t>(state.range(0));
    int32_t height = static_cast<int32_t>(state.range(1));
    VpolyTerrain& t = *hole().terrain;
    // The game's map: 512 yards across the larger screen side.
    t.layout(0, 0, (width > height ? width : height) * 64);
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
    for (auto _ : state) {
        t.render(frame.data(), width, height, 0, 0, width, height);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_RenderMap)->Args({ 240, 320 })->Args({ 480, 640 })->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnby
