// The game data golf-assets generates, loaded as the game loads it: the hole
// files and the wind arrow, the picture bundle (every picture at the size and
// hot spot its role needs, textures that tile without seams) and the help
// text, wrapped inside the help panel in each of the game's fonts.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "golf/hole_setup.h"
#include "golf/holetable.h"
#include "golf/surface_table.h"
#include "image/vilib.h"
#include "image/vpicture.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"
#include "support/test_support.h"
#include "vector/vpolyterrain.h"
#include "vector/vswf.h"

namespace tarnby {
namespace {

constexpr Fixed kYard = 0x8000;

Fixed yards(double v) { return static_cast<Fixed>(v * kYard); }

// Every hole file of the three courses, loaded once as the game loads it: the
// crossing table and fills the game sets aside, the surfaces and pictures.
class HoleFilesTest : public ::testing::Test {
protected:
    struct HoleFile {
        std::string name;
        int32_t course, firstHole, waterFill;  // -1: not read
        Ref<VpolyTerrain> terrain;
    };
    static void SetUpTestSuite()
    {
        setDataFolder(test::binFolder());
        Ref<Vilib> pictures = make<Vilib>(String::intern("golf"));
        for (int32_t course = 0; course < kCourses; ++course) {
            for (int32_t hole = 0; hole < kHolesPerCourse; hole += 3) {
                HoleFile f { holeFileName(course, hole)->chars(), course, hole, -1, make<VpolyTerrain>() };
                f.waterFill = loadHole(f.terrain, holeFileName(course, hole), course, pictures);
                s_files.push_back(f);
            }
        }
    }
    static void TearDownTestSuite() { s_files.clear(); }
    static inline std::vector<HoleFile> s_files;
};

TEST_F(HoleFilesTest, EveryHoleIsPlayableWhereTheHoleTableSaysAndItsGroundRollsGently)
{
    std::vector<uint32_t> frame(512 * 512);
    for (const HoleFile& file : s_files) {
        VpolyTerrain& t = *file.terrain;
        ASSERT_GE(file.waterFill, 0) << file.name << " could not be read";
        EXPECT_LE(t.fillsUsed(), kHoleFillCount) << file.name << " has more fills than the game reads";
        EXPECT_LE(t.crossingCount(), kHoleEdgeCapacity)
            << file.name << " outgrows the crossing table the game sets aside";
        EXPECT_EQ(t.frame(file.waterFill), kSurfaceWater) << file.name << " has no water to show beyond the map";
        for (int32_t h = file.firstHole; h < file.firstHole + 3; ++h) {
            const HoleRow& row = holeRow(file.course, h);
            const std::string hole = file.name + " hole " + std::to_string(h + 1);
            EXPECT_EQ(t.surfaceAt(row.teeX * kYard, row.teeZ * kYard), 1) << hole << ": the tee is not on a tee box";
            const int32_t aim = t.surfaceAt(row.aimX * kYard, row.aimZ * kYard);
            EXPECT_TRUE(aim == kSurfaceGreenEdge || aim == kSurfaceGreen) << hole << ": the aim lies on " << aim;
            // The pin with at least five yards of green on every side, and the
            // ground within four yards of it rising or falling no more than a
            // sixteenth of a yard per yard.
            int32_t offGreen = 0;
            Fixed highest = INT32_MIN, lowest = INT32_MAX;
            for (int32_t a = 0; a < 32; ++a) {
                for (int32_t r = 0; r <= 5; ++r) {
                    const double angle = a * 3.14159265358979 / 16;
                    const Fixed x = yards(row.pinX + r * std::cos(angle)), z = yards(row.pinZ + r * std::sin(angle));
                    offGreen += t.surfaceAt(x, z) != kSurfaceGreen;
                    highest = r <= 4 ? std::max(highest, t.heightAt(x, z)) : highest;
                    lowest = r <= 4 ? std::min(lowest, t.heightAt(x, z)) : lowest;
                }
            }
            EXPECT_EQ(offGreen, 0) << hole << ": less than five yards of green round the pin";
            EXPECT_LE(highest - lowest, kYard / 2) << hole << ": the green round the pin is too steep";
            // Along the line of play (tee, aim point, pin): no water on the
            // first hundred yards, the fairway begun within a carry on the
            // longer holes, and the dry land within 20 yards of the line rising
            // and falling at least three yards.
            const double line[3][2] = { { 1.0 * row.teeX, 1.0 * row.teeZ }, { 1.0 * row.aimX, 1.0 * row.aimZ },
                { 1.0 * row.pinX, 1.0 * row.pinZ } };
            double fairwayAt = -1;
            Fixed low = INT32_MAX, high = INT32_MIN;
            for (int32_t leg = 0; leg < 2; ++leg) {
                const double dx = line[leg + 1][0] - line[leg][0], dz = line[leg + 1][1] - line[leg][1];
                const double length = std::hypot(dx, dz);
                for (int32_t half = 0; length > 0 && half <= 2 * length; ++half) {
                    const double s = half / 2.0;
                    const double x = line[leg][0] + dx * s / length, z = line[leg][1] + dz * s / length;
                    const int32_t surface = t.surfaceAt(yards(x), yards(z));
                    ASSERT_TRUE(leg > 0 || s > 100 || surface != kSurfaceWater)
                        << hole << ": water " << s << " yards out on the line of play";
                    fairwayAt = leg == 0 && fairwayAt < 0 && surface == kSurfaceGreenEdge ? s : fairwayAt;
                    for (int32_t side = -20; side <= 20; side += 4) {
                        const Fixed sx = yards(x - dz * side / length), sz = yards(z + dx * side / length);
                        if (t.surfaceAt(sx, sz) != kSurfaceWater) {
                            low = std::min(low, t.heightAt(sx, sz));
                            high = std::max(high, t.heightAt(sx, sz));
                        }
                    }
                }
            }
            EXPECT_TRUE(holePar(h) < 4 || (fairwayAt >= 0 && fairwayAt <= 70))
                << hole << ": the fairway begins " << fairwayAt << " yards out";
            EXPECT_GE(high - low, 3 * kYard)
                << hole << ": the land along the hole rises and falls only " << (high - low) / 32768.0 << " yards";
        }
        // The ground rolls gently, water lies lowest and the map is painted.
        Fixed lowestLand = INT32_MAX, highestWater = INT32_MIN;
        int32_t steep = 0, samples = 0;
        for (int32_t z = 4; z < 508; z += 2) {
            for (int32_t x = 4; x < 508; x += 2) {
                const int32_t surface = t.surfaceAt(x * kYard, z * kYard);
                const Fixed y = t.heightAt(x * kYard, z * kYard);
                if (surface == kSurfaceWater) {
                    highestWater = std::max(highestWater, y);
                    continue;
                }
                lowestLand = std::min(lowestLand, y);
                // Fairways and greens at most 1 in 6 over two yards, but for
                // the lips of bunkers (6) and the banks of water.
                bool nearHazard = false;
                for (int32_t k = -5; k <= 5; k += 5) {
                    for (int32_t m = -5; m <= 5; m += 5) {
                        const int32_t s = t.surfaceAt((x + k) * kYard, (z + m) * kYard);
                        nearHazard = nearHazard || s == kSurfaceWater || s == 6;
                    }
                }
                if ((surface == kSurfaceGreenEdge || surface == kSurfaceGreen) && !nearHazard) {
                    ++samples;
                    steep += std::abs(t.heightAt((x + 2) * kYard, z * kYard) - y) > kYard / 3
                             || std::abs(t.heightAt(x * kYard, (z + 2) * kYard) - y) > kYard / 3;
                }
            }
        }
        EXPECT_EQ(steep, 0) << file.name << ": " << steep << " of " << samples << " fairway samples are steep";
        EXPECT_LE(t.outsideHeight(), lowestLand) << file.name << ": the sea beyond the map stands above the land";
        EXPECT_LT(highestWater - kYard, lowestLand + kYard) << file.name << ": water lies above the land";
        // The course map, textured, leaves nothing undrawn.
        t.layout(0, 0, 0x8000);
        std::fill(frame.begin(), frame.end(), 0xFF00FFu);
        t.render(frame.data(), 512, 512, 0, 0, 512, 512);
        EXPECT_EQ(std::count(frame.begin(), frame.end(), 0xFF00FFu), 0) << file.name;
    }
}

TEST_F(HoleFilesTest, WindArrowPointsUpAndStaysInsideAtEveryAngle)
{
    Vswf reader;
    for (int32_t step = 0; step < 32; ++step) {
        auto arrow = make<Vpolyn>();
        ASSERT_TRUE(reader.load(arrow, String::intern("arrow"), 24, 24, 48, 2, step * 1024));
        EXPECT_EQ(arrow->fillsUsed(), 2) << "the arrow is one filled shape";
        auto filled = [&](int32_t x, int32_t y) { return arrow->fillAt(x * 0x8000 + 0x4000, y * 0x8000 + 0x4000); };
        // Inside the 24 x 24 drawing at every angle, not touching its edge.
        int32_t inside = 0, upper = 0, lower = 0;
        for (int32_t y = 0; y < 24; ++y) {
            for (int32_t x = 0; x < 24; ++x) {
                inside += filled(x, y) == 1;
                EXPECT_TRUE((x % 23 && y % 23) || filled(x, y) == 0) << "step " << step << " at " << x << "," << y;
            }
            upper += arrow->fillAt(y * 0x8000 + 0x4000, 9 * 0x8000) == 1;  // across the rows 9 and 18
            lower += arrow->fillAt(y * 0x8000 + 0x4000, 18 * 0x8000) == 1;
        }
        EXPECT_GT(inside, 60) << "angle step " << step;
        // Unturned, the head (wide) is in the upper half, the shaft (narrow) below, the tip at the top.
        EXPECT_TRUE(step > 0 || (upper > lower + 4 && arrow->fillAt(12 * 0x8000, 3 * 0x8000) == 1))
            << "the arrow should point up the drawing";
    }
}

// The first and the last row that hold any visible pixel.
std::pair<int32_t, int32_t> visibleRows(const Vpicture& p)
{
    int32_t top = p.m_height, bottom = -1;
    for (int32_t i = 0; i < p.pixelCount(); ++i) {
        if ((static_cast<uint32_t>(p.m_pixels[i]) >> 29) != 0) {
            top = std::min(top, i / p.m_width);
            bottom = std::max(bottom, i / p.m_width);
        }
    }
    return { top, bottom };
}

TEST(PictureBundleTest, HoldsEveryPictureAtItsRolesSizeTexturesTileAndHelpTextFits)
{
    setDataFolder(test::binFolder());
    Ref<Vilib> library = make<Vilib>(String::intern("golf"));
    ASSERT_TRUE(library->intact());
    ASSERT_EQ(library->count(), 78);
    for (int32_t i = 0; i < 78; ++i) {
        Ref<Vpicture> p = library->getPicture(i);
        ASSERT_TRUE(p && p->m_width > 0 && p->m_height > 0) << "picture " << i;
        EXPECT_TRUE(p->m_anchorX >= 0 && p->m_anchorX < p->m_width && p->m_anchorY >= 0 && p->m_anchorY < p->m_height)
            << "picture " << i << " has its hot spot outside";
        if (i >= 1 && i <= 11) {  // textures: 64 x 64 JPEG pictures
            EXPECT_TRUE(p->m_width == 64 && p->m_height == 64 && p->m_type == 'j') << "texture " << i;
        }
        if (i >= 12 && i <= 22) {  // icons centre in tiles of 48 and 72 by their size alone
            EXPECT_TRUE(p->m_width <= 40 && p->m_height <= 40 && p->m_anchorX == 0 && p->m_anchorY == 0)
                << "icon " << i;
        }
    }
    // The title fits the narrowest start-up screen and is photographic; the
    // narrow button is for menus up to 60 pixels wide, the wide one for more.
    EXPECT_TRUE(library->getPictureRef(0)->m_width <= 176 && library->getPictureRef(0)->m_type == 'j');
    EXPECT_LE(library->getPictureRef(23)->m_width, 64);
    EXPECT_GT(library->getPictureRef(24)->m_width, 100);
    // Flag, scenery and golfers stand on their hot spot: it is on their lowest
    // visible row (golfers' feet, in front of and behind the ball, a few pixels
    // either side), and nothing is cut off at the bottom.
    for (int32_t i : { 25, 26, 27, 28, 29, 32, 49, 55, 72 }) {
        Ref<Vpicture> p = library->getPicture(i);
        const int32_t bottom = visibleRows(*p).second;
        EXPECT_LE(std::abs(bottom - p->m_anchorY), i >= 32 ? 7 : 3) << "picture " << i << " is off its hot spot";
        EXPECT_TRUE(i < 32 || bottom < p->m_height - 1) << "picture " << i << " is cut off at the bottom";
    }
    // Ball and shadow share one height, so one size gives them one scale.
    EXPECT_EQ(library->getPictureRef(30)->m_height, library->getPictureRef(31)->m_height);
    EXPECT_LE(library->getPictureRef(30)->m_width, 12);

    // Golfers are about ninety pixels tall in every frame, on one hot spot.
    for (int32_t base : { 32, 55 }) {
        Ref<Vpicture> first = library->getPicture(base);
        for (int32_t k = 0; k < 23; ++k) {
            Ref<Vpicture> p = library->getPicture(base + k);
            EXPECT_TRUE(p->m_width == first->m_width && p->m_height == first->m_height) << "frame " << base + k;
            EXPECT_TRUE(p->m_anchorX == first->m_anchorX && p->m_anchorY == first->m_anchorY)
                << "the hot spot moves in frame " << base + k;
            // Standing frames measure the figure; swing frames may raise the club above it.
            const auto [top, bottom] = visibleRows(*p);
            EXPECT_TRUE(bottom - top + 1 >= 78 && bottom - top + 1 <= 132) << "frame " << base + k;
            EXPECT_GT(top, 0) << "the club is cut off at the top in frame " << base + k;
        }
    }

    // Textures tile without seams: across the wrap the colours change no
    // more than between neighbours inside.
    auto difference = [](uint32_t a, uint32_t b) {
        int32_t sum = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            sum += std::abs(static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF));
        }
        return sum;
    };
    for (int32_t i = 1; i <= 11; ++i) {
        Ref<Vpicture> p = library->getPicture(i);
        auto at = [&](int32_t x, int32_t y) { return static_cast<uint32_t>(p->m_pixels[y * 64 + x]); };
        int64_t inner = 0, seamX = 0, seamY = 0;
        int32_t opaque = 0;
        for (int32_t k = 0; k < 64; ++k) {
            seamX += difference(at(63, k), at(0, k));
            seamY += difference(at(k, 63), at(k, 0));
            for (int32_t x = 0; x < 63; ++x) {
                inner += difference(at(x, k), at(x + 1, k));
                opaque += (at(x, k) >> 29) == 7;
            }
        }
        EXPECT_LE(seamX, inner / 63 * 2 + 64) << "texture " << i << " has a seam between its left and right edges";
        EXPECT_LE(seamY, inner / 63 * 2 + 64) << "texture " << i << " has a seam between its top and bottom edges";
        EXPECT_EQ(opaque, 63 * 64) << "texture " << i << " must be opaque";
    }

    ByteArray raw = readWholeFile(test::binFolder() + "help.txt");
    ASSERT_GT(raw.length(), 0) << "help.txt must be generated beside the game";
    EXPECT_TRUE(std::all_of(raw.begin(), raw.end(), [](uint8_t c) {
        return c == '\n' || c == '\t' || (c >= 32 && c <= 126);
    })) << "only printable characters, tabs and line breaks";
    // The font the game picks for each screen, and the panel width on it.
    for (auto [name, width, height] :
        { std::tuple { "f10.bin", 176, 220 }, { "f13.bin", 240, 320 }, { "f16.bin", 480, 640 } }) {
        Ref<Vfont> font = make<Vfont>();
        ASSERT_TRUE(font->load(name));
        Vtext::setDefaultFont(font);
        const int32_t panel = width < 228 ? width - 12 : 228;
        Ref<Vtext> text = make<Vtext>();
        text->setSize(panel, 0);
        text->loadText(String::fromChars("help.txt"));
        const std::string shown = text->toString()->chars();
        ASSERT_FALSE(shown.empty()) << name;

        // Every line, tabs measured as drawn, fits the wrap width (the wrap lets a
        // line use the pixel of left margin too; the panel is 12 pixels wider).
        std::istringstream lines(shown);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(font->stringWidth(String::fromChars(line.c_str())), panel)
                << name << ": \"" << line << "\" runs out of the panel";
        }
        const int32_t lineHeight = font->getLineHeight();
        const int32_t page = (height / lineHeight - 1) * lineHeight;
        const int32_t pages = (text->getHeight() + page - 1) / page;
        EXPECT_LE(pages, 6) << name << ": " << text->getHeight() << " pixels of text in pages of " << page;
    }
    Vtext::setDefaultFont(nullptr);
}

}  // namespace
}  // namespace tarnby
