// Speed of the 3-D view and the ball physics: a full landscape at three view
// sizes from the first tee on one and two threads, a frame with a still
// camera, loading a hole (fill grid included), projecting sprites, one second
// of ball flight, and one render alone for an instruction count.
//
// Uses the game's hole file "c0_holes_1-3" and bundle "golf" beside the
// program when they are there, else the stand-in course written to a
// temporary folder.
#include <algorithm>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "course-preview/preview_scene.h"
#include "golf/hole_setup.h"
#include "platform/headless/executable_folder.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "runtime/worker_pool.h"
#include "support/test_course.h"
#include "terrain/vphob.h"
#include "terrain/vterrain.h"

namespace tarnby {
namespace {

// The data folder: the program's own when it holds the game's data.
const std::string& dataFolder()
{
    static const std::string folder = [] {
        std::string own = executableFolder();
        if (std::filesystem::exists(own + "c0_holes_1-3") && std::filesystem::exists(own + "golf0.bin")) {
            return own;
        }
        std::string temp = (std::filesystem::temp_directory_path() / "tarnby-terrain-bench/").string();
        std::filesystem::create_directories(temp);
        std::string error;
        if (!test::writeTestCourse(temp, error)) {
            std::fprintf(stderr, "terrain_bench: %s\n", error.c_str());
        }
        return temp;
    }();
    return folder;
}

// A view of the given size standing at the first tee, its sprites in place.
std::unique_ptr<preview::Scene> teeScene(int32_t width, int32_t height)
{
    setDataFolder(dataFolder());
    auto scene = std::make_unique<preview::Scene>();
    if (!scene->load(String::fromChars("c0_holes_1-3"), 0, width, height)) {
        return nullptr;
    }
    scene->standAtTee(0);
    scene->renderView();
    return scene;
}

// The pool of `threads` threads, started once for the whole run.
WorkerPool& poolOf(int32_t threads)
{
    static std::unique_ptr<WorkerPool> pools[WorkerPool::kMaxThreads + 1];
    std::unique_ptr<WorkerPool>& pool = pools[std::clamp(threads, 1, WorkerPool::kMaxThreads)];
    if (!pool) {
        pool = std::make_unique<WorkerPool>(threads);
    }
    return *pool;
}

void BM_RenderTerrain(benchmark::State& state)
{
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t height = static_cast<int32_t>(state.range(1));
    const int32_t threads = static_cast<int32_t>(state.range(2));
    auto scene = teeScene(width, height);
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    Vterrain& view = *scene->view();
    view.setWorkers(&poolOf(threads));
    std::vector<uint32_t> frame(static_cast<size_t>(width) * height);
    for (auto _ : state) {
        // The camera just moved: the whole landscape and sky again.
        view.renderTerrain(frame.data(), width, height, 0, 0, width, height);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
// Arguments: width, height, threads. Wall-clock time, as the workers' time
// is not the calling thread's.
BENCHMARK(BM_RenderTerrain)
    ->Args({ 240, 320, 1 })
    ->Args({ 240, 320, 2 })
    ->Args({ 480, 640, 1 })
    ->Args({ 480, 640, 2 })
    ->Args({ 960, 540, 1 })
    ->Args({ 960, 540, 2 })
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// One 240 x 320 render on one thread, outside any loop, so that an
// instruction counter can collect this function alone.
[[gnu::noinline]] void renderOnceForCallgrind(Vterrain& view, std::vector<uint32_t>& frame)
{
    view.renderTerrain(frame.data(), 240, 320, 0, 0, 240, 320);
}

void BM_RenderOnce(benchmark::State& state)
{
    auto scene = teeScene(240, 320);
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    Vterrain& view = *scene->view();
    view.setWorkers(&poolOf(1));
    std::vector<uint32_t> frame(240 * 320);
    for (auto _ : state) {
        renderOnceForCallgrind(view, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_RenderOnce)->Iterations(1)->Unit(benchmark::kMicrosecond);

void BM_LoadHole(benchmark::State& state)
{
    auto scene = teeScene(240, 320);  // sets the data folder up
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    Ref<Vilib> textures = make<Vilib>(String::intern("golf"));
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    const Ref<String> name = String::fromChars("c0_holes_1-3");
    for (auto _ : state) {
        // As the game loads a hole: the drawing, its grid, surfaces and heights.
        benchmark::DoNotOptimize(loadHole(terrain, name, 0, textures));
    }
}
BENCHMARK(BM_LoadHole)->Unit(benchmark::kMicrosecond);

void BM_UnchangedFrame(benchmark::State& state)
{
    auto scene = teeScene(240, 320);
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    Vterrain& view = *scene->view();
    std::vector<uint32_t> frame(240 * 320);
    for (auto _ : state) {
        // The game's frame with a still camera: the change test, the cached
        // landscape copied out, the sprites drawn over it.
        view.update(0, 0, kOne);
        view.render(frame.data(), 240, 320, 0, 0, 240, 320);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_UnchangedFrame)->Unit(benchmark::kMicrosecond);

void BM_ProjectTwentySprites(benchmark::State& state)
{
    auto scene = teeScene(240, 320);
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    Vterrain& view = *scene->view();
    std::vector<Ref<Vsprite>> sprites;
    for (int32_t i = 0; i < 20; ++i) {
        Ref<Vsprite> s = make<Vsprite>();
        s->setSize(8, 16);
        s->setPosition3d(toFixed(60 + i * 3), toFixed(5), toFixed(400 - i * 15));
        sprites.push_back(s);
    }
    for (auto _ : state) {
        for (const Ref<Vsprite>& s : sprites) {
            view.project(s);
        }
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ProjectTwentySprites);

void BM_OneSecondOfFlight(benchmark::State& state)
{
    auto scene = teeScene(240, 320);
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    gravity = kGameGravity;
    Ref<Vphob> ball = make<Vphob>();
    ball->setTerrain(scene->terrain());
    ball->wind()->set(toFixed(3), 0, toFixed(-2));
    for (auto _ : state) {
        // A driver just after the strike, high over the fairway.
        ball->setPosition(toFixed(89), toFixed(30), toFixed(400));
        ball->setVelocity(0, toFixed(20), toFixed(-55));
        // 62 frames of 16 ms and one of 8 ms: 1024 ms, one time unit.
        for (int32_t frame = 0; frame < 62; ++frame) {
            ball->step(512);
        }
        ball->step(256);
        benchmark::DoNotOptimize(ball->getPosition()->m_x);
    }
}
BENCHMARK(BM_OneSecondOfFlight)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarnby
