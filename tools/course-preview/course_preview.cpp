// course-preview: argument handling, the rendered view, depth and map images,
// and the shot simulation with the game's out-of-bounds and rest rules.
#include "course-preview/course_preview.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "course-preview/preview_scene.h"
#include "fixed/fixed.h"
#include "golf/holetable.h"
#include "image/vilib.h"
#include "platform/cli/tarnby_cli.h"
#include "platform/headless/executable_folder.h"
#include "platform/headless/png_writer.h"
#include "runtime/files.h"
#include "runtime/string.h"
#include "terrain/vector.h"
#include "terrain/vphob.h"
#include "terrain/vterrain.h"
#include "vector/vpolyterrain.h"
#include "vector/vswf.h"

namespace tarnby::preview {

namespace {

constexpr int32_t kLongestFlight = 4000;  // steps of 16 ms: a little over a minute

int fail(const std::string& message)
{
    std::printf("course-preview: %s\n", message.c_str());
    return cli::kWorkFailed;
}

struct Options {
    std::string data;
    std::string file;
    int32_t course = 0;
    int32_t width = 240;
    int32_t height = 320;
    std::vector<int32_t> camera;  // each list empty unless given
    std::optional<int32_t> tee;
    std::string view;
    std::string depth;
    std::string map;
    std::vector<int32_t> launch;
    std::vector<int32_t> from;
    std::vector<int32_t> wind = { 0, 0 };
    std::vector<int32_t> pin;
    std::string path;
};

// The tool's command line, its options bound to `o`.
std::unique_ptr<CLI::App> commandLine(Options& o)
{
    auto app = cli::makeApp("course-preview",
        "Renders a hole's 3-D view, depth bytes and course map to PNG files, and plays shots on it.\n"
        "Every number of --camera, --launch, --from, --wind and --pin is a raw fixed-point value\n"
        "(32768 is one yard; angles 32768 to a full turn).",
        "course-preview --data build/bin --file c0_holes_1-3 --tee 0 --view tee.png --map map.png");
    cli::addDataFolder(*app, o.data);
    app->add_option("--file", o.file, "The hole file to load from the data folder")->type_name("NAME")->required();
    app->add_option("--course", o.course, "The course (0 to 2) whose surfaces the hole has")
        ->type_name("C")
        ->capture_default_str()
        ->check(CLI::Range(0, kCourses - 1).description(""));
    cli::addSize(*app, "--size", o.width, o.height, 4096, "The view size");
    cli::addNumbers(*app, "--camera", "X,Z,HEADING,HEIGHT,HORIZON", o.camera, "Place the camera by hand");
    app->add_option_function<int32_t>(
           "--tee", [&o](int32_t hole) { o.tee = hole; },
           "Stand at the tee of hole H (0 to 17) as the game does (default: the file's first hole)")
        ->type_name("H")
        ->check(CLI::Range(0, kHolesPerCourse - 1).description(""));
    app->add_option("--view", o.view, "Write the rendered 3-D view")->type_name("OUT.png");
    app->add_option("--depth", o.depth, "Write the view's depth bytes in grey")->type_name("OUT.png");
    app->add_option("--map", o.map, "Write the course map (with the shot's path)")->type_name("OUT.png");
    CLI::Option* launch = cli::addNumbers(*app, "--launch", "VX,VY,VZ", o.launch, "Play a shot at this velocity");
    CLI::Option* from = cli::addNumbers(*app, "--from", "X,Z", o.from, "The shot starts on the ground here");
    cli::addNumbers(*app, "--wind", "WX,WZ", o.wind, "The wind during the shot (default: none)");
    cli::addNumbers(*app, "--pin", "X,Z", o.pin, "The pin for the rest rule (default: the start)");
    CLI::Option* path =
        app->add_option("--path", o.path, "Write the ball after every 16 ms step")->type_name("OUT.txt");
    launch->needs(from, path);
    from->needs(launch);
    path->needs(launch);
    return app;
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
    Fixed x = o.from[0];
    Fixed z = o.from[1];
    ball->setPosition(x, terrain->heightAt(x, z), z);
    ball->setVelocity(o.launch[0], o.launch[1], o.launch[2]);
    ball->wind()->set(o.wind[0], 0, o.wind[1]);

    Fixed pinX = o.pin.empty() ? x : o.pin[0];
    Fixed pinZ = o.pin.empty() ? z : o.pin[1];
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
            break;  // out of bounds: outside 0 to 512 yards
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
    std::fprintf(out, "end %d %d %d surface %d steps %d\n", p.m_x, p.m_y, p.m_z, terrain->surfaceAt(p.m_x, p.m_z),
        steps);
    bool written = std::ferror(out) == 0;
    written = std::fclose(out) == 0 && written;
    return written;
}

}  // namespace

int run(const std::vector<std::string>& args)
{
    Options o;
    std::unique_ptr<CLI::App> app = commandLine(o);
    if (std::optional<int> status = cli::parse(*app, args)) {
        return *status;
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
        ByteArray hole;
        const FileRead read = readBoundedFile(folder + o.file, Vswf::kMaxFileBytes, hole);
        if (read != FileRead::Read) {
            setDataFolder(oldFolder);
            return fail(
                "could not read hole file " + folder + o.file
                + (read == FileRead::TooLarge ? ": larger than " + std::to_string(Vswf::kMaxFileBytes) + " bytes"
                                              : std::string()));
        }
        if (!scene.load(hole, folder + o.file, o.course, o.width, o.height)) {
            setDataFolder(oldFolder);
            return cli::kWorkFailed;  // the reader has said what is wrong
        }
        if (!o.camera.empty()) {
            const std::vector<int32_t>& c = o.camera;
            scene.placeCamera(c[0], c[1], c[2], c[3], c[4]);
        } else {
            scene.standAtTee(o.tee ? *o.tee : defaultHole(o.file, o.course));
        }
        std::vector<Fixed> path;
        if (!o.launch.empty() && !simulate(o, scene.terrain(), path)) {
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
        if (status == 0 && scene.picturesDamaged()) {
            status = cli::kWorkFailed;  // the picture's line is said; the images show it transparent
        }
    }
    setDataFolder(oldFolder);
    return status;
}

}  // namespace tarnby::preview
