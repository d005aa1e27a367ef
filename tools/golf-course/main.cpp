// golf-course: the course authors' tool. "golf-course compile MAP.png OUT"
// turns a colour-coded 512 x 512 picture of a hole file into a hole file.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/cli/tarnby_cli.h"
#include "golf-assets/course_compiler.h"
#include "platform/headless/png_writer.h"

int main(int argc, char** argv)
{
    auto app = tarnby::cli::makeApp("golf-course", "Tools for course authors.",
                                    "golf-course compile mymap.png build/bin/c0_holes_1-3");
    CLI::App* compile = tarnby::cli::addCommand(
        *app, "compile",
        "Turns a colour-coded picture of a hole file (512 x 512 pixels, one a yard, at most\n"
        "47 colours) into a hole file.",
        "golf-course compile mymap.png build/bin/c0_holes_1-3");
    std::string map;
    std::string out;
    compile->add_option("MAP.png", map, "The painted map, a PNG picture")->required()->type_name("");
    compile->add_option("OUT", out, "The hole file to write")->required()->type_name("");
    if (auto status = tarnby::cli::parse(*app, argc, argv)) {
        return *status;
    }

    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    if (!tarnby::readRgbaPng(map, rgba, width, height)) {
        std::printf("golf-course: cannot read %s as a PNG picture\n", map.c_str());
        return tarnby::cli::kWorkFailed;
    }
    std::string error;
    if (!tarnby::course::compileCourseMap(rgba, width, height, out, error)) {
        std::printf("golf-course: %s: %s\n", map.c_str(), error.c_str());
        return tarnby::cli::kWorkFailed;
    }
    return 0;
}
