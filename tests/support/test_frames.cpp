// Frames saved as PNG files from the tests that draw.
#include "support/test_frames.h"

#include <filesystem>

#include "platform/headless/png_writer.h"
#include "support/test_support.h"

namespace tarnby::test {

void saveFrame(const std::string& name, const uint32_t* pixels, int32_t width, int32_t height, int32_t stride)
{
    std::filesystem::path dir = std::filesystem::path(binFolder()) / ".." / "test-output";
    std::filesystem::create_directories(dir);
    writeFramePng((dir / (name + ".png")).string(), pixels, width, height, stride);
}

}  // namespace tarnby::test
