// Speed of the 3-D view and the ball physics: a full landscape at three view
// sizes from the first tee on one and two threads, the game's frame when
// nothing moved and when only the aim marker moved, the whole view redrawn
// with a still camera, loading a hole (fill grid included), projecting
// sprites, one second of ball flight, and one render alone for an
// instruction count.
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
#include "golf/holetable.h"
#include "platform/headless/executable_folder.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "runtime/worker_pool.h"
#include "sprite/viewport.h"
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

constexpr int32_t kBallPicture = 30;
constexpr Fixed kBallSize = 0xE38;       // 1/9 yard
constexpr Fixed kMarkerRange = 0x27FF5;  // 5 yards
constexpr Fixed kMarkerLift = 0xE38;     // just above the ground

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

// The game's screen at the first tee: a root viewport of 240 x 320 holding
// the view as the game's does, its first frame drawn.
struct Screen {
    std::unique_ptr<preview::Scene> scene;
    Ref<Viewport> root;
};

Screen teeScreen()
{
    Screen screen;
    screen.scene = teeScene(240, 320);
    if (!screen.scene) {
        return screen;
    }
    screen.root = make<Viewport>();
    screen.root->setSize(240, 320);
    screen.root->add(screen.scene->view());
    screen.root->paint();
    return screen;
}

// One frame of the game's screen, outside any loop, so that an instruction
// counter can collect it alone (callgrind: inclusive cost / calls).
[[gnu::noinline]] void paintForCallgrind(Viewport& root) { root.paint(); }

void BM_UnchangedFrame(benchmark::State& state)
{
    Screen screen = teeScreen();
    if (!screen.root) {
        state.SkipWithError("no hole data");
        return;
    }
    Viewport& root = *screen.root;
    root.paint();
    if (root.dirtyCount() != 0) {
        state.SkipWithError("a still scene left a changed area");
        return;
    }
    for (auto _ : state) {
        // The game's frame when nothing moved: the change test walks the
        // tree, finds no changed area and draws and presents nothing.
        paintForCallgrind(root);
        benchmark::DoNotOptimize(root.pixels());
    }
    root.removeAll();
}
BENCHMARK(BM_UnchangedFrame)->Unit(benchmark::kMicrosecond);

void BM_AimMarkerFrame(benchmark::State& state)
{
    Screen screen = teeScreen();
    if (!screen.root) {
        state.SkipWithError("no hole data");
        return;
    }
    Viewport& root = *screen.root;
    Vterrain& view = *screen.scene->view();
    const Ref<Vilib>& pictures = screen.scene->pictures();
    Ref<Vpicture> ball = pictures->getPictureRef(kBallPicture);
    if (!ball || ball->m_height <= 0) {
        state.SkipWithError("no ball picture");
        return;
    }
    // The aiming screen's marker, running out from the ball along the
    // camera's heading 16 ms of its path a frame, as the game moves it.
    Ref<Vsprite> marker = make<Vsprite>();
    marker->setPicture(pictures, kBallPicture);
    marker->setScale(kBallSize / ball->m_height);
    marker->setMinScale(1);
    marker->setOpacity(0x6000);
    view.add(marker);
    const HoleRow& row = holeRow(0, 0);
    const Fixed teeX = toFixed(row.teeX);
    const Fixed teeZ = toFixed(row.teeZ);
    const int32_t heading = view.getHeading();
    Fixed offset = 0;
    auto step = [&] {
        if (offset > kMarkerRange) {
            offset = 0;
        }
        offset += 16 * 303;
        const Fixed x = wrapAdd(teeX, fmul(offset, fsin(heading)));
        const Fixed z = wrapSub(teeZ, fmul(offset, fcos(heading)));
        marker->setPosition3d(x, wrapAdd(screen.scene->terrain()->heightAt(x, z), kMarkerLift), z);
    };
    // One run of the marker before timing: it must be on the screen and
    // redraw a small area every frame, or this measures nothing.
    int64_t area = 0;
    for (int32_t frame = 0; frame < 34; ++frame) {
        step();
        root.update(0, 0, kOne);
        if (root.dirtyCount() == 0 || marker->m_right <= marker->m_left) {
            state.SkipWithError("the marker did not move on the screen");
            root.removeAll();
            return;
        }
        for (int32_t i = 0; i < root.dirtyCount(); ++i) {
            const int32_t* r = root.dirtyRect(i);
            area += static_cast<int64_t>(r[2] - r[0]) * (r[3] - r[1]);
        }
        root.paint();
    }
    for (auto _ : state) {
        step();
        paintForCallgrind(root);
        benchmark::DoNotOptimize(root.pixels());
    }
    // A label, not a counter: the CSV report needs every row to have the same
    // counters, and make bench-report reads it as CSV.
    state.SetLabel(std::to_string(area / 34) + " pixels redrawn a frame");
    root.removeAll();
}
BENCHMARK(BM_AimMarkerFrame)->Unit(benchmark::kMicrosecond);

[[gnu::noinline]] void redrawForCallgrind(Vterrain& view, std::vector<uint32_t>& frame)
{
    view.update(0, 0, kOne);
    view.render(frame.data(), 240, 320, 0, 0, 240, 320);
}

void BM_StillCameraRedraw(benchmark::State& state)
{
    auto scene = teeScene(240, 320);
    if (!scene) {
        state.SkipWithError("no hole data");
        return;
    }
    Vterrain& view = *scene->view();
    std::vector<uint32_t> frame(240 * 320);
    for (auto _ : state) {
        // The whole view drawn again with a still camera (a menu over it
        // closed): the change test, the cached landscape copied out, the
        // sprites drawn over it.
        redrawForCallgrind(view, frame);
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_StillCameraRedraw)->Unit(benchmark::kMicrosecond);

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
