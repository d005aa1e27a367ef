// Whole rendered landscapes, pixel and depth byte for byte: several cameras on
// the stand-in course at two view sizes, each frame fingerprinted. The
// fingerprints were taken from the straightforward ray-caster, so any change
// to the landscape drawing that alters a single byte shows up here.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "fixed/fixed.h"
#include "runtime/worker_pool.h"
#include "terrain/vterrain.h"
#include "test_holes.h"

namespace tarnby {
namespace {

using test::LoadedHole;
using test::ScratchFolder;

// FNV-1a over every byte of the frame, depth byte included.
uint64_t fingerprint(const std::vector<uint32_t>& pixels)
{
    uint64_t h = 0xCBF29CE484222325ull;
    for (uint32_t p : pixels) {
        for (int32_t shift = 0; shift < 32; shift += 8) {
            h ^= (p >> shift) & 0xFF;
            h *= 0x100000001B3ull;
        }
    }
    return h;
}

struct Camera {
    const char* name;
    int32_t x;  // yards
    int32_t z;
    Fixed above;  // height over the ground
    int32_t heading;
    int32_t horizon;  // at 240 x 320; doubled for the larger view
};

// A tee looking up the fairway, the hill from south and from the side, the
// east edge with the outside ground, a high camera, a low one against a slope,
// a diagonal heading and one beyond the map looking in.
constexpr Camera kCameras[] = {
    { "tee", 89, 436, 141986, 0, 100 },
    { "hill_north", 170, 230, 141986, 0, 100 },
    { "hill_east", 110, 130, 0x30000, 0x2000, 120 },
    { "east_edge", 490, 400, 141986, 0x2000, 100 },
    { "high", 256, 300, 60 * kOne, 0x1234, 40 },
    { "low_slope", 200, 170, 0x20000, 0x6000, 160 },
    { "diagonal", 30, 480, 0x50000, 0x1A00, 90 },
    { "outside_in", 560, -40, 0x80000, 0x5400, 110 },
};

class VterrainGoldenTest : public ::testing::Test {
protected:
    void SetUp() override { m_hole = test::loadTestCourse(m_folder); }

    // Renders the camera's landscape into a fresh frame (no own buffer, so
    // the sky fills every column); a clip rectangle of zeros means the whole view.
    std::vector<uint32_t> render(const Camera& c, int32_t width, int32_t height, int32_t scale, int32_t clipLeft = 0,
        int32_t clipTop = 0, int32_t clipRight = 0, int32_t clipBottom = 0, WorkerPool* pool = nullptr,
        int32_t bands = 0)
    {
        Ref<Vterrain> view = make<Vterrain>(width, height);
        view->setWorkers(pool, bands);
        view->setPolyTerrain(m_hole.terrain);
        view->setTextures(m_hole.textures);
        view->setOutsideFill(m_hole.outsideFill);
        view->placeOnGround(c.x * kOne, c.above, c.z * kOne);
        view->setHeading(c.heading);
        view->setHorizon(c.horizon * scale);
        view->setSky(0xFF005995, 0xFF3399FF);
        std::vector<uint32_t> frame(static_cast<size_t>(width) * height, 0x5A5A5A5Au);
        if (clipRight == 0) {
            clipRight = width;
            clipBottom = height;
        }
        view->renderTerrain(frame.data(), width, height, clipLeft, clipTop, clipRight, clipBottom);
        view->destroy();
        return frame;
    }

    ScratchFolder m_folder { "vterrain_golden" };
    LoadedHole m_hole;
};

TEST_F(VterrainGoldenTest, LandscapesMatchTheirFingerprintsWhateverTheThreadsAndBands)
{
    // { 240 x 320, 480 x 640 } for each camera, in kCameras order.
    constexpr uint64_t kExpected[][2] = {
        { 0x44C074AAD74D9CC9ull, 0xDD79FFE87AFBF7EDull },  // tee
        { 0xD80352BC3794B1C4ull, 0x813D512D2D1605BAull },  // hill_north
        { 0x3CA970F82CBFB2D6ull, 0xC5ABF79CF5EC3DC0ull },  // hill_east
        { 0xDAAFE6B80A2D10E8ull, 0x449949775807F5ADull },  // east_edge
        { 0x0717C520E63173CBull, 0xACB6FB77C558FD0Full },  // high
        { 0x2ABC87F33A79C7F5ull, 0xBF55A9CEC9FDC19Cull },  // low_slope
        { 0xD857B60205304BAAull, 0x14C579EDFA7EFA5Aull },  // diagonal
        { 0xF545F3881271EF8Full, 0x980CE92E96EA74D8ull },  // outside_in
    };
    static_assert(std::size(kExpected) == std::size(kCameras));
    bool print = std::getenv("TARNBY_PRINT_FINGERPRINTS") != nullptr;
    for (size_t i = 0; i < std::size(kCameras); ++i) {
        const Camera& c = kCameras[i];
        uint64_t small = fingerprint(render(c, 240, 320, 1));
        uint64_t large = fingerprint(render(c, 480, 640, 2));
        if (print) {
            std::printf("        { 0x%016llXull, 0x%016llXull }, // %s\n", static_cast<unsigned long long>(small),
                static_cast<unsigned long long>(large), c.name);
        }
        EXPECT_EQ(small, kExpected[i][0]) << c.name << " at 240 x 320";
        EXPECT_EQ(large, kExpected[i][1]) << c.name << " at 480 x 640";
    }

    // The columns are shared out over worker threads in bands; whichever
    // thread draws a band and however the view is cut, every byte (depth
    // included) is that of one thread drawing it all.
    WorkerPool one(1), two(2), three(3), most(WorkerPool::kMaxThreads);
    for (const Camera& c : { kCameras[0], kCameras[3], kCameras[5], kCameras[7] }) {
        const std::vector<uint32_t> alone = render(c, 240, 320, 1, 0, 0, 0, 0, &one, 1);
        for (auto [pool, bands] : { std::pair { &two, 0 }, { &two, 2 }, { &three, 7 }, { &most, 0 }, { &most, 240 },
                 { &two, 1000 }, { static_cast<WorkerPool*>(nullptr), 0 } }) {
            const int32_t threads = pool ? pool->threads() : WorkerPool::shared().threads();
            ASSERT_TRUE(render(c, 240, 320, 1, 0, 0, 0, 0, pool, bands) == alone)
                << c.name << " with " << threads << " threads in " << bands << " bands";
        }
        // A clipped render, shared out, draws exactly the whole view's pixels
        // inside the clip (the columns are independent) and nothing outside it.
        const std::vector<uint32_t> clipped = render(c, 240, 320, 1, 13, 0, 229, 320, &three, 5);
        for (int32_t y = 0; y < 320; ++y) {
            for (int32_t x = 0; x < 240; ++x) {
                const bool inside = x >= 13 && x < 229;
                ASSERT_EQ(clipped[y * 240 + x], inside ? alone[y * 240 + x] : 0x5A5A5A5Au)
                    << c.name << " clipped at " << x << "," << y;
            }
        }
    }
    // The larger view, split unevenly.
    EXPECT_TRUE(render(kCameras[1], 480, 640, 2, 0, 0, 0, 0, &one, 1)
                == render(kCameras[1], 480, 640, 2, 0, 0, 0, 0, &three, 11))
        << "hill_north at 480 x 640";
}

}  // namespace
}  // namespace tarnby
