// Fuzz target: any bytes as the help text, wrapped to the help panel in the
// game's font and drawn, as the help screen shows it.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/stringbuffer.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"

namespace {

tarnby::Ref<tarnby::Vfont> gameFont()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    std::string folder = n > 0 ? std::string(path, static_cast<size_t>(n)) : std::string("./x");
    folder = folder.substr(0, folder.find_last_of('/') + 1);
    tarnby::Ref<tarnby::Vfont> font = tarnby::make<tarnby::Vfont>();
    font->loadPath(folder + "f13.bin");
    return font;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    if (size > (64 << 10)) {
        return 0;  // longer texts only make slower runs
    }
    static Ref<Vfont> font = gameFont();
    Ref<StringBuffer> buffer = make<StringBuffer>();
    for (size_t i = 0; i < size; ++i) {
        if (data[i] != 0) {
            buffer->appendChar(static_cast<char>(data[i]));
        }
    }
    Ref<Vtext> text = make<Vtext>(String::intern(""));
    text->setFont(font, String::intern(""));
    constexpr int32_t kW = 200, kH = 240;
    text->setSize(kW, kH);
    text->setWrapped(buffer);
    std::vector<uint32_t> frame(kW * kH, 0);
    text->render(frame.data(), kW, kH, 0, 0, kW, kH);
    return 0;
}
