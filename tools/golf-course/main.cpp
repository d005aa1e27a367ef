// golf-course: the course authors' tool. "golf-course compile MAP.png OUT"
// turns a colour-coded 512 x 512 picture of a hole file into a hole file.
#include <cstdio>
#include <string>
#include <vector>

#include "golf-assets/course_compiler.h"
#include "platform/headless/png_writer.h"

int main(int argc, char** argv)
{
    if (argc != 4 || std::string(argv[1]) != "compile") {
        std::printf("usage: golf-course compile MAP.png OUT\n");
        return 1;
    }
    std::vector<uint8_t> rgba;
    int32_t width = 0;
    int32_t height = 0;
    if (!tarnby::readRgbaPng(argv[2], rgba, width, height)) {
        std::printf("golf-course: cannot read %s as a PNG picture\n", argv[2]);
        return 1;
    }
    std::string error;
    if (!tarnby::course::compileCourseMap(rgba, width, height, argv[3], error)) {
        std::printf("golf-course: %s: %s\n", argv[2], error.c_str());
        return 1;
    }
    return 0;
}
