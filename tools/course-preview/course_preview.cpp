// course-preview: argument handling, the rendered view, depth and map images,
// and the shot simulation with the game's out-of-bounds and rest rules.
#include "course-preview/course_preview.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "course-preview/preview_scene.h"
#include "fixed/fixed.h"
#include "golf/holetable.h"
#include "image/vilib.h"
#include "platform/headless/executable_folder.h"
#include "platform/headless/png_writer.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "terrain/vector.h"
#include "terrain/vphob.h"
#include "terrain/vterrain.h"
#include "vector/vpolyterrain.h"

namespace tarnby::preview {

namespace {

constexpr int32_t kLongestFlight = 4000; // steps of 16 ms: a little over a minute

int fail(const std::string& message)
{
    std::printf("course-preview: %s\n", message.c_str());
    return 1;
}

// Comma-separated whole numbers, exactly `count` of them.
std::optional<std::vector<int32_t>> parseNumbers(const std::string& text, size_t count, char separator = ',')
{
    std::vector<int32_t> values;
    size_t at = 0;
    while (at <= text.size()) {
        size_t end = text.find(separator, at);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string part = text.substr(at, end - at);
        if (part.empty()) {
            return std::nullopt;
        }
        char* stop = nullptr;
        long long value = std::strtoll(part.c_str(), &stop, 10);
        if (*stop != '\0' || value < INT32_MIN || value > INT32_MAX) {
            return std::nullopt;
        }
        values.push_back(static_cast<int32_t>(value));
        at = end + 1;
    }
    if (values.size() != count) {
        return std::nullopt;
    }
    return values;
}

struct Options {
    std::string data;
    std::string file;
    int32_t course = 0;
    int32_t width = 240;
    int32_t height = 320;
    std::optional<std::vector<int32_t>> camera;
    std::optional<int32_t> tee;
    std::string view;
    std::string depth;
    std::string map;
    std::optional<std::vector<int32_t>> launch;
    std::optional<std::vector<int32_t>> from;
    std::vector<int32_t> wind = { 0, 0 };
    std::optional<std::vector<int32_t>> pin;
    std::string path;
};

// Reads the options; gives an error message, or an empty string.
std::string parse(const std::vector<std::string>& args, Options& o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (i + 1 >= args.size()) {
            return "missing value after " + name;
        }
        const std::string& value = args[++i];
        auto numbers = [&](size_t count, std::optional<std::vector<int32_t>>& into) -> bool {
            into = parseNumbers(value, count);
            return into.has_value();
        };
        bool ok = true;
        if (name == "--data") {
            o.data = value;
        } else if (name == "--file") {
            o.file = value;
        } else if (name == "--course") {
            auto c = parseNumbers(value, 1);
            ok = c && (*c)[0] >= 0 && (*c)[0] < kCourses;
            o.course = ok ? (*c)[0] : 0;
        } else if (name == "--size") {
            auto size = parseNumbers(value, 2, 'x');
            ok = size && (*size)[0] > 0 && (*size)[1] > 0 && (*size)[0] <= 4096 && (*size)[1] <= 4096;
            if (ok) {
                o.width = (*size)[0];
                o.height = (*size)[1];
            }
        } else if (name == "--camera") {
            ok = numbers(5, o.camera);
        } else if (name == "--tee") {
            auto h = parseNumbers(value, 1);
            ok = h && (*h)[0] >= 0 && (*h)[0] < kHolesPerCourse;
            if (ok) {
                o.tee = (*h)[0];
            }
        } else if (name == "--view") {
            o.view = value;
        } else if (name == "--depth") {
            o.depth = value;
        } else if (name == "--map") {
            o.map = value;
        } else if (name == "--launch") {
            ok = numbers(3, o.launch);
        } else if (name == "--from") {
            ok = numbers(2, o.from);
        } else if (name == "--wind") {
            std::optional<std::vector<int32_t>> w;
            ok = numbers(2, w);
            if (ok) {
                o.wind = *w;
            }
        } else if (name == "--pin") {
            ok = numbers(2, o.pin);
        } else if (name == "--path") {
            o.path = value;
        } else {
            return "unknown option " + name;
        }
        if (!ok) {
            return "bad value for " + name + ": " + value;
        }
    }
    if (o.file.empty()) {
        return "usage: course-preview --data DIR --file NAME [--course C] [--size WxH] "
               "[--camera X,Z,HEADING,HEIGHT,HORIZON | --tee H] [--view OUT.png] [--depth OUT.png] [--map OUT.png] "
               "[--launch VX,VY,VZ --from X,Z [--wind WX,WZ] [--pin X,Z] --path OUT.txt]";
    }
    if (o.launch.has_value() != o.from.has_value() || o.launch.has_value() != !o.path.empty()) {
        return "--launch, --from and --path go together";
    }
    return "";
}

// The hole of the course whose file this is (its first hole), else hole 0.
int32_t defaultHole(const std::string& file, int32_t course)
{
    for (int32_t hole = 0; hole < kHolesPerCourse; hole += 3) {
        if (holeFileName(course, hole)->equals(file.c_str())) {
            return hole;
        }
    }
    return 0;
}

// Flies a ball from `from` with the given launch velocity until it leaves the
// course, stops, comes to rest by the game's rule, or 4000 steps have passed.
bool simulate(const Options& o, const Ref<VpolyTerrain>& terrain, std::vector<Fixed>& path)
{
    std::FILE* out = std::fopen(o.path.c_str(), "w");
    if (!out) {
        return false;
    }
    gravity = kGameGravity;
    Ref<Vphob> ball = make<Vphob>();
    ball->setTerrain(terrain);
    ball->setDrag(1);
    Fixed x = (*o.from)[0];
    Fixed z = (*o.from)[1];
    ball->setPosition(x, terrain->heightAt(x, z), z);
    ball->setVelocity((*o.launch)[0], (*o.launch)[1], (*o.launch)[2]);
    ball->wind()->set(o.wind[0], 0, o.wind[1]);

    Fixed pinX = o.pin ? (*o.pin)[0] : x;
    Fixed pinZ = o.pin ? (*o.pin)[1] : z;
    Ref<Vector> pin = make<Vector>(pinX, terrain->heightAt(pinX, pinZ), pinZ);
    Ref<Vector> offset = make<Vector>();
    Fixed lastDistance = 0;
    int32_t restSteps = 0;
    const Vector& p = *ball->getPosition();
    const Vector& v = *ball->velocity();
    int32_t steps = 0;
    while (steps < kLongestFlight) {
        ball->step(kLongestSubStep);
        ++steps;
        std::fprintf(out, "%d %d %d %d %d %d %d\n", p.m_x, p.m_y, p.m_z, ball->onGround() ? 1 : 0, v.m_x, v.m_y, v.m_z);
        path.push_back(p.m_x);
        path.push_back(p.m_z);
        if ((p.m_x | p.m_z) & 0xFF000000) {
            break; // out of bounds: outside 0 to 512 yards
        }
        if (ball->onGround() && v.m_x == 0 && v.m_y == 0 && v.m_z == 0) {
            break;
        }
        // The game's rest rule: 30 steps in a row in which the distance to the
        // pin changed by less than 910.
        offset->set(*pin);
        offset->sub(p);
        Fixed d = offset->fastLength();
        if (fabs(wrapSub(d, lastDistance)) < 910) {
            if (++restSteps >= 30) {
                break;
            }
        } else {
            restSteps = 0;
            lastDistance = d;
        }
    }
    std::fprintf(
        out, "end %d %d %d surface %d steps %d\n", p.m_x, p.m_y, p.m_z, terrain->surfaceAt(p.m_x, p.m_z), steps);
    bool written = std::ferror(out) == 0;
    written = std::fclose(out) == 0 && written;
    return written;
}

} // namespace

int run(const std::vector<std::string>& args)
{
    Options o;
    std::string error = parse(args, o);
    if (!error.empty()) {
        return fail(error);
    }
    // Without --data the hole and the pictures come from the tool's own folder,
    // where the build puts the game's data.
    std::string folder = o.data.empty() ? executableFolder() : o.data;
    if (folder.back() != '/') {
        folder += '/';
    }
    std::string oldFolder = dataFolder();
    setDataFolder(folder);

    int status = 0;
    {
        Scene scene;
        if (!scene.load(String::fromChars(o.file.c_str()), o.course, o.width, o.height)) {
            setDataFolder(oldFolder);
            return fail("could not read hole file " + folder + o.file);
        }
        if (o.camera) {
            const std::vector<int32_t>& c = *o.camera;
            scene.placeCamera(c[0], c[1], c[2], c[3], c[4]);
        } else {
            scene.standAtTee(o.tee ? *o.tee : defaultHole(o.file, o.course));
        }
        std::vector<Fixed> path;
        if (o.launch && !simulate(o, scene.terrain(), path)) {
            status = fail("could not write " + o.path);
        }
        if (status == 0 && (!o.view.empty() || !o.depth.empty())) {
            std::vector<uint32_t> frame = scene.renderView();
            if (!o.view.empty() && !writeFramePng(o.view, frame.data(), o.width, o.height, o.width)) {
                status = fail("could not write " + o.view);
            }
            if (!o.depth.empty()) {
                std::vector<uint8_t> grey(frame.size());
                for (size_t i = 0; i < frame.size(); ++i) {
                    grey[i] = static_cast<uint8_t>(frame[i] >> 24);
                }
                if (!writeGreyPng(o.depth, grey.data(), o.width, o.height)) {
                    status = fail("could not write " + o.depth);
                }
            }
        }
        if (status == 0 && !o.map.empty()) {
            int32_t side = 0;
            std::vector<uint32_t> map = scene.renderMap(path, side);
            if (!writeFramePng(o.map, map.data(), side, side, side)) {
                status = fail("could not write " + o.map);
            }
        }
    }
    setDataFolder(oldFolder);
    return status;
}

} // namespace tarnby::preview
