// Text speed: drawing a screen of wrapped help text in the medium font, whole
// and in the thin bands a dirty rectangle asks for, and measuring text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "runtime/stringbuffer.h"
#include "sprite/vfont.h"
#include "sprite/vtext.h"

namespace tarnby {
namespace {

constexpr int32_t kWidth = 240;
constexpr int32_t kHeight = 320;

const char* const kHelp =
    "Aim with left and right. Press the select key to start the swing and again to set the power; let the meter "
    "run full and you overswing, and the ball flies off line. The club is chosen from the distance to the hole; "
    "press # for the club menu to pick another. Press * for the overhead map of the hole. The wind drifts during "
    "play: its arrow and speed are shown at the top of the screen. Water and out of bounds cost a stroke, and "
    "the ball is played again from where it lay. Each course has 18 holes and a par of 72; the seven best rounds "
    "are kept as top scores.\n\nTarnby Classic is parkland, Rivaru Reruz links by the sea, Rararedi Vurev "
    "highland.";

struct HelpPage {
    HelpPage()
    {
        font = make<Vfont>();
        if (!font->load("f13.bin")) {
            return;
        }
        text = make<Vtext>();
        text->setFont(font, String::intern(""));
        text->setSize(228, 0);
        text->setWrapped(make<StringBuffer>(String::intern(kHelp)));
        text->layout(toFixed(6), 0, kOne);
    }
    Ref<Vfont> font;
    Ref<Vtext> text;
    std::vector<uint32_t> frame = std::vector<uint32_t>(kWidth * kHeight, 0xFF206020);
};

void BM_DrawHelpPage(benchmark::State& state)
{
    HelpPage page;
    if (!page.text) {
        state.SkipWithError("f13.bin is missing: build the fonts first");
        return;
    }
    for (auto _ : state) {
        page.text->render(page.frame.data(), kWidth, kHeight, 0, 0, kWidth, kHeight);
        benchmark::DoNotOptimize(page.frame.data());
    }
    state.SetLabel(std::to_string(page.text->getHeight()) + " rows of text");
}
BENCHMARK(BM_DrawHelpPage);

// A band of 10 rows low on the page: lines above it are skipped per
// character, drawing stops below it.
void BM_DrawHelpBand(benchmark::State& state)
{
    HelpPage page;
    if (!page.text) {
        state.SkipWithError("f13.bin is missing: build the fonts first");
        return;
    }
    for (auto _ : state) {
        page.text->render(page.frame.data(), kWidth, kHeight, 0, 150, kWidth, 160);
        benchmark::DoNotOptimize(page.frame.data());
    }
}
BENCHMARK(BM_DrawHelpBand);

void BM_MeasureHelp(benchmark::State& state)
{
    HelpPage page;
    if (!page.text) {
        state.SkipWithError("f13.bin is missing: build the fonts first");
        return;
    }
    for (auto _ : state) {
        page.text->measure();
        benchmark::DoNotOptimize(page.text->getWidth());
    }
}
BENCHMARK(BM_MeasureHelp);

}  // namespace
}  // namespace tarnby
