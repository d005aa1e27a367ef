// golf-assets: writes every generated data file of the game into one folder.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "golf-assets/art.h"
#include "golf-assets/course_painter.h"
#include "golf-assets/preview.h"

namespace {

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

}  // namespace

int main(int argc, char** argv)
{
    using namespace tarnby::course;
    if (argc < 3) {
        std::printf("usage: golf-assets ASSETS_FOLDER OUT_FOLDER [--preview FOLDER]\n");
        return 1;
    }
    const std::string assets = std::string(argv[1]) + "/";
    const std::string out = std::string(argv[2]) + "/";
    std::string preview;
    for (int k = 3; k + 1 < argc; ++k) {
        if (std::string(argv[k]) == "--preview") {
            preview = std::string(argv[k + 1]) + "/";
        }
    }
    int failures = 0;
    bool courses = true;
    for (int k = 3; k < argc; ++k) {
        if (std::string(argv[k]) == "--art-only") {
            courses = false;
        }
    }
    const auto pictures = tarnby::art::drawAll();
    if (!preview.empty()) {
        tarnby::art::writeContactSheet(pictures, preview + "sheet.png", 2);
    }
    for (int c = 0; courses && c < 3; ++c) {
        std::string text;
        const std::string path = assets + "courses/c" + std::to_string(c) + ".course";
        if (!readText(path, text)) {
            std::printf("golf-assets: cannot read %s\n", path.c_str());
            return 1;
        }
        CoursePlan plan;
        std::string error;
        if (!parseCoursePlan(text, plan, error)) {
            std::printf("golf-assets: %s: %s\n", path.c_str(), error.c_str());
            return 1;
        }
        for (size_t f = 0; f < plan.files.size(); ++f) {
            const auto start = std::chrono::steady_clock::now();
            HoleDrawing drawing = paintHoleFile(plan, f);
            TraceStats stats;
            auto chains = traceDrawing(drawing, &stats);
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
            const std::string name = "c" + std::to_string(c) + "_" + plan.files[f].name;
            std::printf("%s: %zu colours, %d chains, %d -> %d points, %d repairs, %lld ms\n", name.c_str(),
                drawing.colours.size(), stats.chains, stats.pointsBefore, stats.pointsAfter, stats.repairs,
                static_cast<long long>(ms));
            for (const auto& problem : drawing.problems) {
                std::printf("golf-assets: %s\n", problem.c_str());
                ++failures;
            }
            if (!preview.empty()) {
                writeDrawingPreview(drawing, plan.files[f], preview + name + ".png");
            }
        }
    }
    (void)out;
    return failures == 0 ? 0 : 1;
}
