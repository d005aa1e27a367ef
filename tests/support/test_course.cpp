// The stand-in course: a hole drawn with the shape writer and a picture bundle
// of plain textures and simple figures made with the bundle writer.
#include "support/test_course.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "golf/hole_setup.h"
#include "runtime/files.h"
#include "shape-writer/shape_writer.h"

namespace tarnby::test {

namespace {

std::vector<ShapePoint> circle(double cx, double cy, double radius, int points)
{
    std::vector<ShapePoint> ring;
    for (int i = 0; i < points; ++i) {
        double a = 2.0 * M_PI * i / points;
        ring.push_back({ cx + radius * std::cos(a), cy + radius * std::sin(a) });
    }
    return ring;
}

std::vector<ShapePoint> box(const int (&r)[4])
{
    return { { double(r[0]), double(r[1]) }, { double(r[2]), double(r[1]) }, { double(r[2]), double(r[3]) },
        { double(r[0]), double(r[3]) } };
}

// A small deterministic hash for texel noise.
uint32_t noise(uint32_t x, uint32_t y, uint32_t seed)
{
    uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

struct Rgba {
    std::vector<uint8_t> bytes;
    int32_t width;
    int32_t height;
    Rgba(int32_t w, int32_t h) : bytes(static_cast<size_t>(w) * h * 4, 0), width(w), height(h) {}
    void set(int32_t x, int32_t y, unsigned rgb, uint8_t alpha = 255)
    {
        uint8_t* p = &bytes[(static_cast<size_t>(y) * width + x) * 4];
        p[0] = static_cast<uint8_t>(rgb >> 16);
        p[1] = static_cast<uint8_t>(rgb >> 8);
        p[2] = static_cast<uint8_t>(rgb);
        p[3] = alpha;
    }
    void fill(int32_t l, int32_t t, int32_t r, int32_t b, unsigned rgb)
    {
        for (int32_t y = t; y < b; ++y) {
            for (int32_t x = l; x < r; ++x) {
                set(x, y, rgb);
            }
        }
    }
};

unsigned scaled(unsigned rgb, int percent)
{
    auto channel = [&](int shift) {
        int c = static_cast<int>((rgb >> shift) & 0xFF) * percent / 100;
        return static_cast<unsigned>(c > 255 ? 255 : c) << shift;
    };
    return channel(16) | channel(8) | channel(0);
}

// The colour a test texture shows for a surface code (its texels vary a little around it).
unsigned textureColour(int surfaceCode)
{
    switch (surfaceCode) {
    case 1: return 0x4CA83C;   // fairway
    case 2: return 0x3C9A34;   // fringe
    case 3: return 0x2A5FC8;   // water
    case 4: return 0x66C850;   // putting green
    case 6: return 0xD8C890;   // sand
    case 8: return 0x3F7A2E;   // hills
    case 9: return 0x2F6A26;   // rough
    default: return 0x707868;  // anything else
    }
}

// A 64 x 64 ground texture: the surface's colour with some grain, and mown
// stripes on the fairway so that distance and motion show.
Rgba texture(int code)
{
    Rgba t(64, 64);
    unsigned base = textureColour(code);
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            int grain = 92 + static_cast<int>(noise(x, y, code) % 17);
            if (code == 1 && (y / 16) % 2 == 1) {
                grain -= 10;  // fairway stripes, 8 yards wide
            }
            if (code == 3 && (noise(x / 4, y, 7) % 9) == 0) {
                grain += 25;  // ripples
            }
            t.set(x, y, scaled(base, grain));
        }
    }
    return t;
}

bool saved(const ShapeWriter& w, const std::string& path, std::string& error)
{
    error = w.save(path) ? "" : "cannot write " + path;
    return error.empty();
}

}  // namespace

bool writeTestHole(const std::string& folder, std::string& error)
{
    ShapeWriter w(kHoleFileSize, kHoleFileSize);
    const int32_t rough = w.fill(kTestRough), fairway = w.fill(kTestFairway), fringe = w.fill(kTestFringe);
    const int32_t green = w.fill(kTestGreen), bunker = w.fill(kTestBunker), water = w.fill(kTestWater);
    const int32_t hill = w.fill(kTestHill);
    w.addRectangle(0, 0, kHoleFileSize, kHoleFileSize, rough);
    // The first hole runs north from the tee at (89, 436) to the pin at (75, 76).
    w.addPolygon(
        { { 55, 448 }, { 118, 448 }, { 121, 300 }, { 114, 150 }, { 116, 50 }, { 50, 50 }, { 45, 150 }, { 52, 300 } },
        fairway, rough);
    w.addPolygon(circle(75, 76, 20, 24), fringe, fairway);
    w.addPolygon(circle(75, 76, 15, 24), green, fringe);
    w.addPolygon({ { 97, 100 }, { 108, 100 }, { 109, 112 }, { 98, 113 } }, bunker, fairway);
    w.addPolygon(box(kTestPond), water, rough);
    for (const auto& h : kTestHills) {
        w.addPolygon(box(h), hill, rough);
    }
    return saved(w, folder + "c0_holes_1-3", error);
}

bool writeFlatHole(const std::string& folder, const std::string& name, unsigned colour, std::string& error)
{
    ShapeWriter w(kHoleFileSize, kHoleFileSize);
    w.addRectangle(0, 0, kHoleFileSize, kHoleFileSize, w.fill(colour));
    return saved(w, folder + name, error);
}

bool writeTestBundle(const std::string& folder, std::string& error, bool damagedJpeg)
{
    bundle::BundleWriter writer;
    Rgba dot(1, 1);
    dot.set(0, 0, 0x808080);
    for (int32_t index = 0; index <= 49; ++index) {
        int32_t added = -1;
        if (index >= 1 && index <= 11) {
            Rgba t = texture(index);
            added = writer.addRun(t.bytes.data(), 64, 64, 0, 0);
        } else if (index == 25) {
            // The flag: a white pole with a red pennant, hot spot at the pole's foot.
            Rgba f(16, 48);
            f.fill(1, 0, 3, 48, 0xF0F0F0);
            f.fill(3, 1, 15, 10, 0xE02020);
            added = writer.addRun(f.bytes.data(), f.width, f.height, 2, 47);
        } else if (index == 30 || index == 31) {
            // The ball (white) and its shadow (dark), round, hot spot at the bottom.
            Rgba b(9, 9);
            for (int32_t y = 0; y < 9; ++y) {
                for (int32_t x = 0; x < 9; ++x) {
                    if ((x - 4) * (x - 4) + (y - 4) * (y - 4) <= 17) {
                        b.set(x, y, index == 30 ? 0xFFFFFF : 0x203020);
                    }
                }
            }
            added = writer.addRun(b.bytes.data(), 9, 9, 4, 8);
        } else if (index == 49 && damagedJpeg) {
            // A grey golfer as a JPEG, the last picture, to be damaged below.
            added = writer.addJpeg(std::vector<uint8_t>(24 * 56 * 3, 90).data(), 3, 24, 56, 12, 55, 75);
        } else if (index == 49) {
            // The golfer from behind: legs, a shirt, arms and a cap.
            Rgba g(24, 56);
            g.fill(8, 34, 11, 56, 0x303848);  // legs
            g.fill(13, 34, 16, 56, 0x303848);
            g.fill(7, 16, 17, 35, 0xD03838);  // shirt
            g.fill(4, 18, 7, 32, 0xD03838);   // arms
            g.fill(17, 18, 20, 32, 0xD03838);
            g.fill(9, 6, 15, 16, 0xE8B890);    // head
            g.fill(8, 3, 16, 8, 0xF8F8F8);     // cap
            g.fill(19, 30, 21, 56, 0xB0B0B0);  // club shaft
            added = writer.addRun(g.bytes.data(), g.width, g.height, 12, 55);
        } else {
            added = writer.addRun(dot.bytes.data(), 1, 1, 0, 0);
        }
        if (added != index) {
            error = "test bundle: " + writer.error();
            return false;
        }
    }
    if (!writer.writeSegments(folder, "golf", 32768)) {
        error = writer.error();
        return false;
    }
    if (damagedJpeg) {
        // The JPEG's entropy data, at the end of the last segment, overwritten.
        std::vector<uint8_t> last = writer.segments(32768).back();
        std::fill(last.end() - 10, last.end(), 0xFF);
        const std::string path = folder + "golf" + std::to_string(writer.segments(32768).size() - 1) + ".bin";
        return writeWholeFile(path, last.data(), last.size());
    }
    return true;
}

bool writeTestCourse(const std::string& folder, std::string& error)
{
    return writeTestHole(folder, error) && writeTestBundle(folder, error);
}

}  // namespace tarnby::test
