// The flag, the scenery beside the tee (trees and a gorse bush), the ball,
// its shadow, and the title picture of the start-up screen.
#include <cmath>

#include "golf-assets/art.h"

namespace tarnby::art {

namespace {

// Mixed into every seed of the scenery's random sources.
constexpr uint32_t kScatterOffset = 777u;

// A ball of foliage lit from the upper left.
void leafBall(cairo_t* cr, double x, double y, double r, uint32_t dark, uint32_t light)
{
    setRadialGradient(cr, x - r * 0.35, y - r * 0.4, r * 0.1, x, y, r,
        { gradientStop(0, light), gradientStop(1, dark) });
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
    cairo_fill(cr);
}

// Small dots of two colours, `count` of them, scattered over the box from
// (left, top) to (right, bottom) with radii from rMin to rMax: every
// `period`-th dot, counting from the first, is `accent`, the others `colour`.
struct Speckles {
    int count;
    double left, right, top, bottom;
    double rMin, rMax;
    uint32_t colour, accent;
    int period;
    double alpha;
};

void speckle(cairo_t* cr, Scatter& s, const Speckles& p)
{
    for (int k = 0; k < p.count; ++k) {
        const double x = s.range(p.left, p.right);
        const double y = s.range(p.top, p.bottom);
        setColour(cr, k % p.period ? p.colour : p.accent, p.alpha);
        cairo_arc(cr, x, y, s.range(p.rMin, p.rMax), 0, 2 * kPi);
        cairo_fill(cr);
    }
}

void trunk(cairo_t* cr, double x, double bottom, double top, double width, double lean)
{
    cairo_move_to(cr, x - width, bottom);
    cairo_curve_to(cr, x - width * 0.6, bottom - 10, x + lean - width * 0.4, top + 10, x + lean - width * 0.3, top);
    cairo_line_to(cr, x + lean + width * 0.3, top);
    cairo_curve_to(cr, x + lean + width * 0.4, top + 10, x + width * 0.6, bottom - 10, x + width, bottom);
    cairo_close_path(cr);
    setLinearGradient(cr, x - width, 0, x + width, 0, { { 0, 0.42, 0.3, 0.2 }, { 1, 0.2, 0.13, 0.08 } });
    cairo_fill(cr);
}

Picture flag()
{
    Canvas canvas(24, 64);
    cairo_t* cr = canvas.cr();
    // Pole: white with a shaded side.
    cairo_rectangle(cr, 3, 2, 2.5, 62);
    setColour(cr, 0xF0F0F0);
    cairo_fill(cr);
    cairo_rectangle(cr, 4.6, 2, 0.9, 62);
    setColour(cr, 0x909090);
    cairo_fill(cr);
    // A waving red flag.
    cairo_move_to(cr, 5.5, 2);
    cairo_curve_to(cr, 11, 0, 15, 5, 23, 3);
    cairo_line_to(cr, 23, 15);
    cairo_curve_to(cr, 15, 17, 11, 12, 5.5, 14);
    cairo_close_path(cr);
    setLinearGradient(cr, 5, 0, 23, 0, { { 0, 0.95, 0.12, 0.1 }, { 0.5, 0.75, 0.05, 0.05 }, { 1, 0.98, 0.2, 0.15 } });
    cairo_fill(cr);
    return canvas.take("flag", 4, 63);
}

Picture broadleaf()
{
    Canvas canvas(112, 144);
    cairo_t* cr = canvas.cr();
    trunk(cr, 56, 144, 60, 6, 0);
    Scatter s(5, kScatterOffset);
    for (int k = 0; k < 26; ++k) {
        const double a = s.range(0, 2 * kPi);
        const double d = s.range(0, 1);
        const double x = 56 + std::cos(a) * d * 34;
        const double y = 58 + std::sin(a) * d * 36 - 4;
        leafBall(cr, x, y, s.range(13, 20), 0x1E4A16, 0x5E9A3A);
    }
    // clang-format off
    speckle(cr, s, { .count = 40, .left = 24, .right = 88, .top = 18, .bottom = 96, .rMin = 1.5, .rMax = 3,
        .colour = 0x7AB04A, .accent = 0x173C12, .period = 2, .alpha = 0.5 });
    // clang-format on
    return canvas.take("broadleaf tree", 56, 143);
}

Picture conifer()
{
    Canvas canvas(80, 152);
    cairo_t* cr = canvas.cr();
    trunk(cr, 40, 152, 100, 4, 0);
    for (int tier = 0; tier < 6; ++tier) {
        const double top = 4 + tier * 20;
        const double bottom = top + 42;
        const double half = 10 + tier * 5.5;
        cairo_move_to(cr, 40, top);
        cairo_curve_to(cr, 40 + half * 0.5, top + 20, 40 + half * 0.8, bottom - 8, 40 + half, bottom);
        cairo_curve_to(cr, 40 + half * 0.4, bottom - 4, 40 - half * 0.4, bottom - 4, 40 - half, bottom);
        cairo_curve_to(cr, 40 - half * 0.8, bottom - 8, 40 - half * 0.5, top + 20, 40, top);
        cairo_close_path(cr);
        setLinearGradient(cr, 40 - half, 0, 40 + half, 0, { { 0, 0.2, 0.42, 0.26 }, { 1, 0.05, 0.2, 0.12 } });
        cairo_fill(cr);
    }
    return canvas.take("conifer", 40, 151);
}

Picture windsweptPine()
{
    Canvas canvas(120, 136);
    cairo_t* cr = canvas.cr();
    trunk(cr, 48, 136, 46, 5, 18);
    // A branch reaching downwind.
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    setColour(cr, 0x3A2A1A);
    cairo_set_line_width(cr, 3);
    cairo_move_to(cr, 62, 64);
    cairo_curve_to(cr, 75, 58, 88, 56, 100, 50);
    cairo_stroke(cr);
    Scatter s(9, kScatterOffset);
    for (int k = 0; k < 18; ++k) {
        const double x = s.range(30, 110);
        const double y = 40 + (x - 30) * 0.08 + s.range(-12, 10);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, 1.9, 0.8);
        leafBall(cr, 0, 0, s.range(7, 10), 0x173A22, 0x4A7A44);
        cairo_restore(cr);
    }
    return canvas.take("windswept pine", 48, 135);
}

Picture gorse()
{
    Canvas canvas(64, 40);
    cairo_t* cr = canvas.cr();
    Scatter s(13, kScatterOffset);
    for (int k = 0; k < 14; ++k) {
        const double x = s.range(12, 52);
        const double y = s.range(16, 30);
        leafBall(cr, x, y, s.range(8, 11), 0x2A4A1A, 0x5A8034);
    }
    // Yellow flowers, a pale one every third.
    // clang-format off
    speckle(cr, s, { .count = 50, .left = 8, .right = 56, .top = 8, .bottom = 34, .rMin = 0.8, .rMax = 1.6,
        .colour = 0xF0D030, .accent = 0xFFF080, .period = 3, .alpha = 0.9 });
    // clang-format on
    return canvas.take("gorse", 32, 39);
}

Picture ball()
{
    Canvas canvas(8, 8);
    cairo_t* cr = canvas.cr();
    setRadialGradient(cr, 3, 2.8, 0.3, 4, 4, 4, { { 0, 1, 1, 1 }, { 1, 0.72, 0.74, 0.76 } });
    cairo_arc(cr, 4, 4, 3.8, 0, 2 * kPi);
    cairo_fill(cr);
    return canvas.take("ball", 4, 7);
}

Picture shadow()
{
    Canvas canvas(8, 8);
    cairo_t* cr = canvas.cr();
    cairo_save(cr);
    cairo_translate(cr, 4, 6.5);
    cairo_scale(cr, 3.8, 1.5);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    setColour(cr, 0x101810);
    cairo_fill(cr);
    return canvas.take("shadow", 4, 7);
}

}  // namespace

std::vector<Picture> drawFlagScenery()
{
    return { flag(), broadleaf(), conifer(), windsweptPine(), gorse(), ball(), shadow() };
}

Picture drawTitle()
{
    const int32_t w = 176;
    const int32_t h = 112;
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    const double r = 14;
    roundedBox(cr, w, h, r);
    cairo_save(cr);
    cairo_clip(cr);
    // Sky, far hills, a green with the flag.
    setLinearGradient(cr, 0, 0, 0, h, { { 0, 0.28, 0.55, 0.85 }, { 0.6, 0.72, 0.86, 0.96 } });
    cairo_paint(cr);
    setColour(cr, 0x5E8A6A);
    cairo_move_to(cr, 0, 72);
    cairo_curve_to(cr, 40, 56, 70, 62, 100, 66);
    cairo_curve_to(cr, 130, 70, 150, 54, 176, 62);
    cairo_line_to(cr, 176, 112);
    cairo_line_to(cr, 0, 112);
    cairo_fill(cr);
    setLinearGradient(cr, 0, 70, 0, h, { { 0, 0.42, 0.74, 0.3 }, { 1, 0.2, 0.5, 0.16 } });
    cairo_move_to(cr, 0, 86);
    cairo_curve_to(cr, 50, 74, 110, 76, 176, 84);
    cairo_line_to(cr, 176, 112);
    cairo_line_to(cr, 0, 112);
    cairo_fill(cr);
    setColour(cr, 0x7CD064);
    cairo_save(cr);
    cairo_translate(cr, 132, 92);
    cairo_scale(cr, 30, 8);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_fill(cr);
    setColour(cr, 0xF4F4F4);
    cairo_rectangle(cr, 138, 58, 1.6, 34);
    cairo_fill(cr);
    setColour(cr, 0xE02020);
    cairo_move_to(cr, 139.6, 58);
    cairo_curve_to(cr, 146, 56, 150, 62, 158, 60);
    cairo_line_to(cr, 158, 68);
    cairo_curve_to(cr, 150, 70, 146, 64, 139.6, 66);
    cairo_close_path(cr);
    cairo_fill(cr);
    setColour(cr, 0xFFFFFF);
    cairo_arc(cr, 60, 98, 3, 0, 2 * kPi);
    cairo_fill(cr);
    // The name, white with a dark edge.
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_ITALIC, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 25);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, "Tarnby Golf", &extents);
    cairo_move_to(cr, (w - extents.width) / 2 - extents.x_bearing, 42);
    cairo_text_path(cr, "Tarnby Golf");
    setColour(cr, 0x0B2E4A);
    cairo_set_line_width(cr, 4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColour(cr, 0xFFFFFF);
    cairo_fill(cr);
    cairo_restore(cr);
    roundedBox(cr, w, h, r);
    setColour(cr, 0xFFFFFF, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    return canvas.take("title", 0, 0, true);
}

}  // namespace tarnby::art
