// golf-inspect hole: loads a hole file as the game does and lists its fills,
// surfaces and heights at chosen points; renders its course map and height field.
#include <cmath>
#include <cstdio>
#include <cstdlib>
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

namespace tarnby::inspect {

namespace {

constexpr const char* kUsage = "hole FILE [--course C] [--at X,Z]... [--map OUT.png] [--heights OUT.png]";

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

int runHole(const Arguments& args)
{
    if (args.empty()) {
        return fail(std::string("usage: golf-inspect ") + kUsage);
    }
    const std::string& path = args[0];
    int32_t course = 0;
    std::vector<std::string> points;
    std::string mapOut;
    std::string heightsOut;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (i + 1 >= args.size()) {
            return fail("missing value after " + option);
        }
        const std::string& value = args[++i];
        if (option == "--course") {
            if (value != "0" && value != "1" && value != "2") {
                return fail("course must be 0, 1 or 2, not " + value);
            }
            course = value[0] - '0';
        } else if (option == "--at") {
            points.push_back(value);
        } else if (option == "--map") {
            mapOut = value;
        } else if (option == "--heights") {
            heightsOut = value;
        } else {
            return fail("unknown option " + option);
        }
    }
    std::vector<std::pair<Fixed, Fixed>> at;
    for (const std::string& point : points) {
        size_t comma = point.find(',');
        Fixed x = 0, z = 0;
        if (comma == std::string::npos || !parseYards(point.substr(0, comma), x)
            || !parseYards(point.substr(comma + 1), z)) {
            return fail("--at wants X,Z in yards, not " + point);
        }
        at.push_back({ x, z });
    }

    ByteArray bytes = readWholeFile(path);
    if (bytes.empty()) {
        return fail("cannot read hole file " + path);
    }
    // As the game sets up a hole: the drawing, the surface of every fill, the heights.
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    if (!readHoleDrawing(terrain, bytes)) {
        return 1;  // the reader has said what is wrong with the file
    }
    std::vector<uint32_t> colours;
    for (int32_t fill = 0; fill < terrain->fillsUsed(); ++fill) {
        colours.push_back(terrain->colour(fill));
    }
    setUpHoleGround(*terrain, terrainPictures(), course);

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
    if (!mapOut.empty() && writeMap(terrain, mapOut) != 0) {
        return 1;
    }
    if (!heightsOut.empty()
        && !writeGreyPng(heightsOut, terrain->heightMap().data(), VpolyTerrain::kMapSize, VpolyTerrain::kMapSize)) {
        return fail("cannot write " + heightsOut);
    }
    return 0;
}

const RegisterCommand kHoleCommand({ "hole", kUsage, runHole });

}  // namespace

}  // namespace tarnby::inspect
