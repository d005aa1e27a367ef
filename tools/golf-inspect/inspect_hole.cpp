// golf-inspect hole: loads a hole file as the game does and lists its fills,
// surfaces and heights at chosen points; renders its course map and height field.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "golf-inspect/command.h"
#include "golf/hole_setup.h"
#include "golf/surface_table.h"
#include "image/vilib.h"
#include "platform/headless/executable_folder.h"
#include "platform/headless/png_writer.h"
#include "runtime/files.h"
#include "vector/vpolyterrain.h"
#include "vector/vswf.h"

namespace tarnby::inspect {

namespace {

// Yards as written ("12", "12.5", "-3.25") to the nearest 1/32768.
bool parseYards(const std::string& text, Fixed& out)
{
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(v) || std::fabs(v) > 65535) {
        return false;
    }
    out = static_cast<Fixed>(std::lround(v * 32768));
    return true;
}

// The picture library "golf" beside the tools, when the build has made it.
Ref<Vilib> terrainPictures()
{
    setDataFolder(executableFolder());
    if (!InputStream::open("golf0.bin")) {
        return nullptr;
    }
    return make<Vilib>(String::intern("golf"));
}

int writeMap(const Ref<VpolyTerrain>& terrain, const std::string& out)
{
    constexpr int32_t kSize = 512;
    std::vector<uint32_t> frame(static_cast<size_t>(kSize) * kSize, 0xFF000000);
    terrain->layout(0, 0, kOne);  // one pixel per yard
    terrain->render(frame.data(), kSize, kSize, 0, 0, kSize, kSize);
    if (!writeFramePng(out, frame.data(), kSize, kSize, kSize)) {
        return fail("cannot write " + out);
    }
    return 0;
}

struct HoleOptions {
    std::string path;
    int32_t course = 0;
    std::vector<std::string> points;  // X,Z in yards, as given
    std::string mapOut;
    std::string heightsOut;
};

// A point X,Z in yards, or nothing.
std::optional<std::pair<Fixed, Fixed>> parsePoint(const std::string& point)
{
    size_t comma = point.find(',');
    Fixed x = 0, z = 0;
    if (comma == std::string::npos || !parseYards(point.substr(0, comma), x)
        || !parseYards(point.substr(comma + 1), z)) {
        return std::nullopt;
    }
    return std::make_pair(x, z);
}

int runHole(const HoleOptions& o)
{
    const std::string& path = o.path;
    const std::vector<std::string>& points = o.points;
    std::vector<std::pair<Fixed, Fixed>> at;
    for (const std::string& point : points) {
        at.push_back(*parsePoint(point));  // checked when the arguments were read
    }

    ByteArray bytes;
    const FileRead read = readBoundedFile(path, Vswf::kMaxFileBytes, bytes);
    if (read == FileRead::Missing) {
        return fail("cannot read hole file " + path);
    }
    if (read == FileRead::TooLarge) {
        return fail("hole file " + path + " is larger than " + std::to_string(Vswf::kMaxFileBytes) + " bytes");
    }
    // As the game sets up a hole: the drawing, the surface of every fill, the
    // heights. A drawing the game would play in part is not the hole asked for.
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    if (readHoleDrawing(terrain, bytes, 0, path.c_str()) != HoleRead::Whole) {
        return cli::kWorkFailed;  // the reader has said what is wrong with the file
    }
    std::vector<uint32_t> colours;
    for (int32_t fill = 0; fill < terrain->fillsUsed(); ++fill) {
        colours.push_back(terrain->colour(fill));
    }
    setUpHoleGround(*terrain, terrainPictures(), o.course);

    std::printf("fills %d crossings %d\n", terrain->fillsUsed(), terrain->crossingCount());
    for (int32_t fill = 0; fill < terrain->fillsUsed(); ++fill) {
        std::printf("fill %d colour 0x%08X surface %d level %u friction %d\n", fill, colours[static_cast<size_t>(fill)],
            terrain->frame(fill), terrain->colour(fill), terrain->friction(fill));
    }
    for (size_t i = 0; i < at.size(); ++i) {
        auto [x, z] = at[i];
        int32_t fill = terrain->fillAt(x, z);
        std::printf("at %s fill %d surface %d height %d\n", points[i].c_str(), fill, terrain->surfaceAt(x, z),
            terrain->heightAt(x, z));
    }
    if (!o.mapOut.empty() && writeMap(terrain, o.mapOut) != 0) {
        return 1;
    }
    if (!o.heightsOut.empty()
        && !writeGreyPng(o.heightsOut, terrain->heightMap().data(), VpolyTerrain::kMapSize, VpolyTerrain::kMapSize)) {
        return fail("cannot write " + o.heightsOut);
    }
    return 0;
}

Command setUpHole(CLI::App& tool)
{
    auto o = std::make_shared<HoleOptions>();
    CLI::App* app = cli::addCommand(tool, "hole",
        "Loads a hole file as the game does and lists its fills (colour, surface code,\n"
        "height level, friction) and the fill, surface and ground height at chosen points.",
        "golf-inspect hole build/bin/c0_holes_1-3 --at 100,200 --map map.png");
    app->add_option("FILE", o->path, "The hole file")->required()->type_name("");
    app->add_option("--course", o->course, "The course (0, 1 or 2) whose surface table applies")
        ->type_name("C")
        ->capture_default_str()
        ->check(CLI::Range(0, 2).description(""));
    const CLI::Validator point(
        [](const std::string& text) {
            return parsePoint(text) ? std::string() : "wants X,Z in yards, not '" + text + "'";
        },
        "", "point");
    app->add_option("--at", o->points, "List the fill, surface and height at X,Z (yards, decimals allowed)")
        ->option_text("X,Z ...")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
        ->check(point);
    app->add_option("--map", o->mapOut, "Draw the course map at one pixel per yard")->type_name("OUT.png");
    app->add_option("--heights", o->heightsOut, "Draw the 256 x 256 height field in grey")->type_name("OUT.png");
    return Command { app, [o] { return runHole(*o); } };
}

const RegisterCommand kHoleCommand(setUpHole);

}  // namespace

}  // namespace tarnby::inspect
