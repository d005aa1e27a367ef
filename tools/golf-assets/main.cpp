// golf-assets: writes every generated data file of the game into one folder:
// the 18 hole files of the three courses, the wind arrow, the "golf" picture
// bundle, the help text, the sounds and the desktop icon. Deterministic: the
// same sources give the same bytes.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bundle-writer/bundle_writer.h"
#include "golf-assets/app_icon.h"
#include "golf-assets/art.h"
#include "golf-assets/course_painter.h"
#include "golf-assets/hole_file.h"
#include "golf-assets/preview.h"
#include "golf-assets/sound_synth.h"
#include "platform/cli/tarnby_cli.h"
#include "runtime/data_stamp.h"
#include "runtime/files.h"

namespace {

using namespace tarnby;

// The data files one generation wrote, for its stamp: only these, never a
// stray file of an earlier generation that happens to lie in the folder.
struct Made {
    std::mutex guard;
    std::vector<std::string> names;
    std::vector<std::string> absent;

    void add(const std::string& name)
    {
        std::lock_guard<std::mutex> lock(guard);
        names.push_back(name);
    }
};

bool readText(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return true;
}

// Bundle segments are cut at this size, so the bundle comes in a few files.
constexpr int32_t kSegmentSize = 48 * 1024;
constexpr int32_t kJpegQuality = 88;

bool writeBundle(const std::vector<art::Picture>& pictures, const std::string& folder, Made& made)
{
    bundle::BundleWriter writer;
    for (const auto& p : pictures) {
        const int32_t index = p.photo ? writer.addJpeg(p.rgba.data(), 4, p.width, p.height, p.anchorX, p.anchorY,
                                  kJpegQuality)
                                      : writer.addRun(p.rgba.data(), p.width, p.height, p.anchorX, p.anchorY);
        if (index < 0) {
            std::printf("golf-assets: picture %s: %s\n", p.name.c_str(), writer.error().c_str());
            return false;
        }
    }
    if (!writer.writeSegments(folder, "golf", kSegmentSize)) {
        std::printf("golf-assets: %s\n", writer.error().c_str());
        return false;
    }
    // The game reads segments until a number is missing: the one after the
    // last must stay missing.
    const size_t segments = writer.segments(kSegmentSize).size();
    for (size_t k = 0; k < segments; ++k) {
        made.add("golf" + std::to_string(k) + ".bin");
    }
    made.absent.push_back("golf" + std::to_string(segments) + ".bin");
    return true;
}

// The help screen shows the file as it is, wrapped to the panel: only the
// characters the fonts hold (32 to 126), line breaks and tabs may appear, and
// line ends are written as single line breaks whatever the checkout uses.
bool writeHelp(const std::string& assets, const std::string& out, Made& made)
{
    std::string text;
    if (!readText(assets + "help.txt", text)) {
        std::printf("golf-assets: cannot read %shelp.txt\n", assets.c_str());
        return false;
    }
    std::string clean;
    int line = 1;
    for (char c : text) {
        if (c == '\r') {
            continue;
        }
        const unsigned char u = static_cast<unsigned char>(c);
        if (c != '\n' && c != '\t' && (u < 32 || u > 126)) {
            std::printf("golf-assets: %shelp.txt line %d: character %d is not in the game's fonts\n", assets.c_str(),
                line, u);
            return false;
        }
        line += c == '\n' ? 1 : 0;
        clean.push_back(c);
    }
    if (!writeWholeFile(out + "help.txt", reinterpret_cast<const uint8_t*>(clean.data()), clean.size())) {
        std::printf("golf-assets: cannot write %shelp.txt\n", out.c_str());
        return false;
    }
    made.add("help.txt");
    return true;
}

struct Job {
    const course::CoursePlan* plan;
    size_t file;
};

}  // namespace

int main(int argc, char** argv)
{
    auto app = cli::makeApp("golf-assets",
        "Generates the game's data into one folder: the hole files of the three courses from their\n"
        "descriptions in ASSETS_FOLDER/courses, the wind arrow and the \"golf\" picture bundle.",
        "golf-assets assets /tmp/out --preview /tmp/look");
    std::string assets;
    std::string out;
    std::string preview;
    bool quiet = false;
    app->add_option("ASSETS_FOLDER", assets, "The sources, the repository's assets folder")->required()->type_name("");
    app->add_option("OUT_FOLDER", out, "Where the data files go")->required()->type_name("");
    app->add_option("--preview", preview, "Also draw every hole file and contact sheets of the pictures here")
        ->type_name("FOLDER");
    app->add_flag("--quiet", quiet, "Say nothing unless something is wrong");
    if (auto status = cli::parse(*app, argc, argv)) {
        return *status;
    }
    assets += "/";
    out += "/";
    if (!preview.empty()) {
        preview += "/";
    }
    std::error_code made;
    if (!preview.empty() && !std::filesystem::create_directories(preview, made) && made) {
        std::printf("golf-assets: cannot create the preview folder %s\n", preview.c_str());
        return 1;
    }

    // From here on the folder holds a mix of old and new files until the
    // stamp is written again at the very end.
    if (!clearDataStamp(out)) {
        std::printf("golf-assets: cannot remove %s%s\n", out.c_str(), kDataStampName);
        return 1;
    }

    course::CoursePlan plans[3];
    std::vector<Job> jobs;
    for (int c = 0; c < 3; ++c) {
        std::string text;
        const std::string path = assets + "courses/c" + std::to_string(c) + ".course";
        std::string error;
        if (!readText(path, text)) {
            std::printf("golf-assets: cannot read %s\n", path.c_str());
            return 1;
        }
        if (!course::parseCoursePlan(text, plans[c], error)) {
            std::printf("golf-assets: %s: %s\n", path.c_str(), error.c_str());
            return 1;
        }
        for (size_t f = 0; f < plans[c].files.size(); ++f) {
            jobs.push_back({ &plans[c], f });
        }
    }

    // Courses on a second thread while this one draws the pictures.
    std::atomic<size_t> next { 0 };
    std::atomic<int> failures { 0 };
    std::mutex printing;
    Made generation;
    auto work = [&]() {
        for (size_t j = next++; j < jobs.size(); j = next++) {
            const Job& job = jobs[j];
            const auto& file = job.plan->files[job.file];
            const std::string name = "c" + std::to_string(job.plan->course) + "_" + file.name;
            course::HoleDrawing drawing = course::paintHoleFile(*job.plan, job.file);
            course::TraceStats stats;
            const auto chains = course::traceDrawing(drawing, &stats);
            const bool written = course::writeHoleFile(drawing, chains, out + name);
            std::lock_guard<std::mutex> lock(printing);
            if (!quiet) {
                std::printf("%s: %zu colours, %d edges from %d corners, %d repairs\n", name.c_str(),
                    drawing.colours.size(), stats.pointsAfter, stats.pointsBefore, stats.repairs);
            }
            for (const auto& problem : drawing.problems) {
                std::printf("golf-assets: %s: %s\n", name.c_str(), problem.c_str());
                ++failures;
            }
            if (written) {
                generation.add(name);
            } else {
                std::printf("golf-assets: cannot write %s\n", (out + name).c_str());
                ++failures;
            }
            if (!preview.empty() && !course::writeDrawingPreview(drawing, file, preview + name + ".png")) {
                std::printf("golf-assets: cannot write the preview of %s\n", name.c_str());
            }
        }
    };
    std::thread courses(work);

    const auto pictures = art::drawAll();
    if (!writeBundle(pictures, out, generation)) {
        ++failures;
    }
    if (!writeHelp(assets, out, generation)) {
        ++failures;
    }
    std::vector<std::string> sounds;
    if (!sound::writeSounds(out, preview, sounds)) {
        ++failures;
    }
    for (const std::string& name : sounds) {
        generation.add(name);
    }
    if (!art::writeAppIcon(out + "tarnby-golf.png")) {
        std::printf("golf-assets: cannot write the desktop icon\n");
        ++failures;
    }
    if (course::writeArrow(out + "arrow")) {
        generation.add("arrow");
    } else {
        std::printf("golf-assets: cannot write the wind arrow\n");
        ++failures;
    }
    if (!preview.empty()) {
        const std::vector<art::Picture> golfers(pictures.begin() + 32, pictures.end());
        if (!art::writeContactSheet(pictures, preview + "sheet.png", 2)
            || !art::writeContactSheet(golfers, preview + "golfers.png", 2)) {
            std::printf("golf-assets: cannot write the contact sheets into %s\n", preview.c_str());
        }
    }
    work();
    courses.join();
    // Written last, after every file is complete and renamed into place: the
    // build and the game take a folder without it as an unfinished generation.
    std::sort(generation.names.begin(), generation.names.end());  // the same stamp whichever thread finished first
    if (failures == 0 && !writeDataStamp(out, generation.names, generation.absent)) {
        std::printf("golf-assets: cannot write %s%s\n", out.c_str(), kDataStampName);
        ++failures;
    }
    return failures == 0 ? 0 : cli::kWorkFailed;
}
