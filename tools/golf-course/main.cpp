// golf-course: the course authors' tool. "golf-course compile MAP.png OUT"
// turns a colour-coded 512 x 512 picture of a hole file into a hole file;
// "golf-course sheet --out DIR" draws contact sheets of every built hole.
#include <cstdio>
#include <string>
#include <vector>

#include "golf-assets/course_compiler.h"
#include "golf-course/contact_sheet.h"
#include "platform/cli/tarnby_cli.h"
#include "platform/headless/png_writer.h"

namespace {

int compile(const std::string& map, const std::string& out)
{
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    std::string why;
    if (!tarnby::readRgbaPng(map, rgba, width, height, &why)) {
        std::printf("golf-course: cannot read the map %s: %s\n", map.c_str(), why.c_str());
        return tarnby::cli::kWorkFailed;
    }
    std::string error;
    if (!tarnby::course::compileCourseMap(rgba, width, height, out, error)) {
        std::printf("golf-course: %s: %s\n", map.c_str(), error.c_str());
        return tarnby::cli::kWorkFailed;
    }
    return 0;
}

int sheet(const std::string& data, const std::string& out)
{
    std::string error;
    if (!tarnby::course::writeCourseSheets(data, out, error)) {
        if (!error.empty()) {
            std::printf("golf-course: %s\n", error.c_str());
        }
        return tarnby::cli::kWorkFailed;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    auto app = tarnby::cli::makeApp("golf-course", "Tools for course authors.",
        "golf-course compile mymap.png build/bin/c0_holes_1-3");
    CLI::App* compileCommand = tarnby::cli::addCommand(*app, "compile",
        "Turns a colour-coded picture of a hole file (512 x 512 pixels, one a yard, at most\n"
        "47 colours) into a hole file.",
        "golf-course compile mymap.png build/bin/c0_holes_1-3");
    std::string map;
    std::string out;
    compileCommand->add_option("MAP.png", map, "The painted map, a PNG picture")->required()->type_name("");
    compileCommand->add_option("OUT", out, "The hole file to write")->required()->type_name("");

    CLI::App* sheetCommand = tarnby::cli::addCommand(*app, "sheet",
        "Draws contact sheets of the built courses: per course one PNG of the 18 tee views\n"
        "(240 x 320 each) and one of the 18 maps, labelled with hole and par.",
        "golf-course sheet --out sheets");
    std::string sheetFolder;
    std::string data;
    sheetCommand->add_option("--out", sheetFolder, "The folder the sheets are written to")
        ->required()
        ->type_name("DIR");
    tarnby::cli::addDataFolder(*sheetCommand, data);

    if (auto status = tarnby::cli::parse(*app, argc, argv)) {
        return *status;
    }
    if (compileCommand->parsed()) {
        return compile(map, out);
    }
    return sheet(data, sheetFolder);
}
