// Picture speed: JPEG and run-length decoding, scaled depth-tested drawing,
// the direct decode into a frame, and jumping over transparent runs.
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "image/vilib.h"
#include "runtime/files.h"

namespace tarnby {
namespace {

constexpr int32_t kFrameWidth = 240;
constexpr int32_t kFrameHeight = 320;

// A golfer-sized figure: transparent around an elliptic body, a few colours
// in bands (like flat-shaded artwork) and soft edges.
std::vector<uint8_t> figure(int32_t w, int32_t h)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4), 0);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
            int32_t dx = 2 * x - w, dy = 2 * y - h;
            int32_t d = dx * dx * h * h / (w * w) + dy * dy;
            p[0] = static_cast<uint8_t>(64 + (y / 12) * 20);
            p[1] = static_cast<uint8_t>(40 + (x / 6) * 24);
            p[2] = static_cast<uint8_t>(90 + ((x + y) / 16) * 10);
            p[3] = d < h * h * 7 / 10 ? 255 : d < h * h * 8 / 10 ? 128 : 0;
        }
    }
    return rgba;
}

// A course texture: smooth colour with some detail.
std::vector<uint8_t> texture(int32_t w, int32_t h, int32_t opaquePercent)
{
    std::vector<uint8_t> rgba(static_cast<size_t>(w * h * 4));
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = &rgba[static_cast<size_t>((y * w + x) * 4)];
            p[0] = static_cast<uint8_t>(30 + (x * 7 + y * 3) % 40);
            p[1] = static_cast<uint8_t>(110 + (x * y) % 50);
            p[2] = static_cast<uint8_t>(30 + (x ^ y) % 30);
            p[3] = (x + y * 7) % 100 < opaquePercent && y % 8 < 4 ? 255 : 0;
        }
    }
    return rgba;
}

// The benchmark bundle, written once into a temporary data folder.
struct Pictures {
    enum { kJpegTexture, kFigure, kOpaqueJpeg, kSparseJpeg, kCount };

    Pictures()
    {
        char pattern[] = "/tmp/tarnby-image-bench-XXXXXX";
        folder = mkdtemp(pattern) ? std::string(pattern) + "/" : std::string("./");
        bundle::BundleWriter writer;
        std::vector<uint8_t> tex = texture(64, 64, 100);
        std::vector<uint8_t> fig = figure(40, 90);
        std::vector<uint8_t> opaque = texture(128, 128, 100);
        std::vector<uint8_t> sparse = texture(128, 128, 10);
        writer.addJpeg(tex.data(), 4, 64, 64, 0, 0, 85);
        writer.addRun(fig.data(), 40, 90, 20, 89);
        writer.addJpeg(opaque.data(), 4, 128, 128, 0, 0, 85);
        writer.addJpeg(sparse.data(), 4, 128, 128, 0, 0, 85);
        writer.writeSegments(folder, "bench", 1 << 16);
        setDataFolder(folder);
        lib = make<Vilib>(String::intern("bench"));
    }
    ~Pictures() { std::filesystem::remove_all(folder); }

    std::string folder;
    Ref<Vilib> lib;
};

Pictures& pictures()
{
    static Pictures p;
    return p;
}

std::vector<uint32_t> freshFrame() { return std::vector<uint32_t>(kFrameWidth * kFrameHeight, 0xFF305030u); }

void BM_DecodeJpegTexture64(benchmark::State& state)
{
    Ref<Vpicture> p = pictures().lib->getPictureRef(Pictures::kJpegTexture);
    for (auto _ : state) {
        p->dropPixels();
        benchmark::DoNotOptimize(pictures().lib->getPicture(Pictures::kJpegTexture).get());
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK(BM_DecodeJpegTexture64);

void BM_DecodeRunFigure90(benchmark::State& state)
{
    Ref<Vpicture> p = pictures().lib->getPictureRef(Pictures::kFigure);
    for (auto _ : state) {
        p->dropPixels();
        benchmark::DoNotOptimize(pictures().lib->getPicture(Pictures::kFigure).get());
    }
    state.SetItemsProcessed(state.iterations() * 40 * 90);
}
BENCHMARK(BM_DecodeRunFigure90);

// Items are covered frame pixels, so the rate reads as time per pixel.
void drawScaled(benchmark::State& state, int32_t index, int32_t w, int32_t h, Fixed scale)
{
    Ref<Vpicture> p = pictures().lib->getPicture(index);
    std::vector<uint32_t> frame = freshFrame();
    const int32_t sw = static_cast<int32_t>((static_cast<int64_t>(w) * scale) >> 15);
    const int32_t sh = static_cast<int32_t>((static_cast<int64_t>(h) * scale) >> 15);
    const int32_t left = 10, top = 20;
    int32_t depth = 0;
    for (auto _ : state) {
        // Alternate depths so half the passes are hidden by the last one.
        depth = depth == 40 ? 30 : 40;
        benchmark::DoNotOptimize(p->draw(frame.data(), kFrameWidth, kFrameHeight, left, top, left + sw, top + sh,
            toFixed(left), toFixed(top), scale, depth, kOne));
    }
    state.SetItemsProcessed(state.iterations() * sw * sh);
}

void BM_DrawFigureScaled(benchmark::State& state) { drawScaled(state, Pictures::kFigure, 40, 90, 0xC000 /* 1.5 */); }
BENCHMARK(BM_DrawFigureScaled);

void BM_DrawOpaqueJpeg(benchmark::State& state) { drawScaled(state, Pictures::kOpaqueJpeg, 128, 128, kOne); }
BENCHMARK(BM_DrawOpaqueJpeg);

// 10 % opaque: the skip counts let the draw jump over the transparent runs.
void BM_DrawMostlyTransparentJpeg(benchmark::State& state) { drawScaled(state, Pictures::kSparseJpeg, 128, 128, kOne); }
BENCHMARK(BM_DrawMostlyTransparentJpeg);

void BM_DirectDecodeFigure(benchmark::State& state)
{
    Ref<Vilib> lib = pictures().lib;
    lib->getPictureRef(Pictures::kFigure)->dropPixels();
    std::vector<uint32_t> frame = freshFrame();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lib->drawPicture(Pictures::kFigure, frame.data(), kFrameWidth, kFrameHeight, 10, 20,
            50, 110, toFixed(10), toFixed(20), kOne, 0, kOne));
    }
    state.SetItemsProcessed(state.iterations() * 40 * 90);
}
BENCHMARK(BM_DirectDecodeFigure);

void BM_DrawCachedFigure(benchmark::State& state) { drawScaled(state, Pictures::kFigure, 40, 90, kOne); }
BENCHMARK(BM_DrawCachedFigure);

}  // namespace
}  // namespace tarnby
