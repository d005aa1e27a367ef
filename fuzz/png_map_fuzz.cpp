// Fuzz target: any bytes as a painted course map for golf-course compile,
// decoded from memory and, when it is a picture, compiled into a hole file.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "golf-assets/course_compiler.h"
#include "platform/headless/png_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    static const std::string out = "/tmp/tarnby-png-map-fuzz-" + std::to_string(::getpid());
    std::vector<uint8_t> rgba;
    int32_t width = 0, height = 0;
    if (!decodeRgbaPng(data, size, rgba, width, height)) {
        return 0;
    }
    std::string error;
    if (course::compileCourseMap(rgba, width, height, out, error)) {
        std::remove(out.c_str());
    }
    return 0;
}
