// Fuzz target: any bytes as a painted course map for golf-course compile,
// decoded from memory and, when it is a picture, compiled into a hole file in
// memory that the game's hole reader then loads.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "golf-assets/course_compiler.h"
#include "golf/hole_setup.h"
#include "platform/headless/png_writer.h"
#include "vector/vpolyterrain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    std::vector<uint8_t> rgba;
    int32_t width = 0, height = 0;
    if (!decodeRgbaPng(data, size, rgba, width, height)) {
        return 0;
    }
    std::string error;
    std::vector<uint8_t> file;
    if (course::compileCourseBytes(rgba, width, height, file, error)) {
        static Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
        ByteArray bytes(static_cast<int32_t>(file.size()));
        std::copy(file.begin(), file.end(), bytes.begin());
        readHoleDrawing(terrain, bytes, 0);
    }
    return 0;
}
