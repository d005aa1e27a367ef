// Icons of the touch-screen key bars (32 x 32, white on a dark outline so they
// read on the translucent teal tiles) and the two button pictures.
#include <cmath>
#include <functional>
#include <initializer_list>

#include "golf-assets/art.h"

namespace tarnby::art {

namespace {

constexpr int32_t kIcon = 32;

struct Point {
    double x, y;
};

// A closed outline through `corners`, added to the current path.
void polygon(cairo_t* cr, std::initializer_list<Point> corners)
{
    const Point* p = corners.begin();
    cairo_move_to(cr, p->x, p->y);
    while (++p != corners.end()) {
        cairo_line_to(cr, p->x, p->y);
    }
    cairo_close_path(cr);
}

// Builds a path with `shape`, then paints it as a dark outline under a white
// face with a faint shading toward the bottom.
Picture icon(const std::string& name, const std::function<void(cairo_t*)>& shape, bool strokeOnly = false)
{
    Canvas canvas(kIcon, kIcon);
    cairo_t* cr = canvas.cr();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Soft drop shadow.
    cairo_save(cr);
    cairo_translate(cr, 1, 1.5);
    shape(cr);
    setColour(cr, 0x000000, 0.35);
    cairo_set_line_width(cr, strokeOnly ? 6.5 : 4);
    cairo_stroke_preserve(cr);
    if (!strokeOnly) {
        cairo_fill(cr);
    }
    cairo_new_path(cr);
    cairo_restore(cr);
    shape(cr);
    setColour(cr, 0x103840);
    cairo_set_line_width(cr, strokeOnly ? 5.5 : 3);
    cairo_stroke_preserve(cr);
    setLinearGradient(cr, 0, 2, 0, 30, { { 0, 1, 1, 1 }, { 1, 0.82, 0.9, 0.92 } });
    if (strokeOnly) {
        cairo_set_line_width(cr, 2.5);
        cairo_stroke(cr);
    } else {
        cairo_fill(cr);
    }
    return canvas.take(name, 0, 0);
}

// A broad arrow pointing right, turned by `angle` (radians, clockwise on screen).
std::function<void(cairo_t*)> arrow(double angle)
{
    return [angle](cairo_t* cr) {
        cairo_save(cr);
        cairo_translate(cr, 16, 16);
        cairo_rotate(cr, angle);
        polygon(cr, { { -11, -4.5 }, { 1, -4.5 }, { 1, -11 }, { 12, 0 }, { 1, 11 }, { 1, 4.5 }, { -11, 4.5 } });
        cairo_restore(cr);
    };
}

void swingShape(cairo_t* cr)
{
    // A club head sweeping through an arc, with the ball it meets.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 16, 6, 18, kPi * 0.28, kPi * 0.78);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 24.5, 24, 3.6, 0, 2 * kPi);
}

void backShape(cairo_t* cr)
{
    // A U-turn arrow pointing back to the left.
    cairo_new_sub_path(cr);
    cairo_arc(cr, 17, 16, 8.5, -kPi / 2, kPi / 2);
    cairo_move_to(cr, 17, 24.5);
    cairo_line_to(cr, 9, 24.5);
    cairo_move_to(cr, 10, 7.5);
    cairo_line_to(cr, 17, 7.5);
    cairo_move_to(cr, 4, 7.5);
    cairo_line_to(cr, 10, 2.5);
    cairo_move_to(cr, 4, 7.5);
    cairo_line_to(cr, 10, 12.5);
    cairo_move_to(cr, 4, 7.5);
    cairo_line_to(cr, 10, 7.5);
}

void closeShape(cairo_t* cr)
{
    cairo_move_to(cr, 8, 8);
    cairo_line_to(cr, 24, 24);
    cairo_move_to(cr, 24, 8);
    cairo_line_to(cr, 8, 24);
}

void clubShape(cairo_t* cr)
{
    // An iron: a thin shaft and a wedge-shaped head.
    polygon(cr, { { 22, 3 }, { 24.5, 4 }, { 15.5, 22 }, { 13, 21 } });
    polygon(cr, { { 12.5, 20 }, { 17.5, 22.5 }, { 15, 28.5 }, { 5, 28.5 }, { 5, 25.5 } });
}

void mapShape(cairo_t* cr)
{
    // A folded map seen from above with a flag on it.
    polygon(cr, { { 3, 9 }, { 11, 6 }, { 21, 9 }, { 29, 6 }, { 29, 25 }, { 21, 28 }, { 11, 25 }, { 3, 28 } });
}

Picture mapIcon()
{
    // The folded map with its fold lines and a small flag on it.
    Canvas canvas(kIcon, kIcon);
    cairo_t* cr = canvas.cr();
    mapShape(cr);
    setColour(cr, 0x103840);
    cairo_set_line_width(cr, 3);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
    setColour(cr, 0xF4FAFA);
    cairo_fill(cr);
    setColour(cr, 0x9AB8BC);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 11, 6.5);
    cairo_line_to(cr, 11, 25);
    cairo_move_to(cr, 21, 9);
    cairo_line_to(cr, 21, 27.5);
    cairo_stroke(cr);
    setColour(cr, 0x5CB448);
    cairo_arc(cr, 16, 19, 4.5, 0, 2 * kPi);
    cairo_fill(cr);
    setColour(cr, 0x202020);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 16, 19);
    cairo_line_to(cr, 16, 10);
    cairo_stroke(cr);
    setColour(cr, 0xE02828);
    polygon(cr, { { 16.5, 10 }, { 22, 12 }, { 16.5, 14 } });
    cairo_fill(cr);
    return canvas.take("overhead", 0, 0);
}

std::function<void(cairo_t*)> magnifier(bool plus)
{
    return [plus](cairo_t* cr) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, 13, 13, 8.5, 0, 2 * kPi);
        cairo_move_to(cr, 19.5, 19.5);
        cairo_line_to(cr, 27.5, 27.5);
        cairo_move_to(cr, 9, 13);
        cairo_line_to(cr, 17, 13);
        if (plus) {
            cairo_move_to(cr, 13, 9);
            cairo_line_to(cr, 13, 17);
        }
    };
}

Picture button(const std::string& name, int32_t width, int32_t height)
{
    Canvas canvas(width, height);
    cairo_t* cr = canvas.cr();
    const double r = height * 0.42;
    roundedBox(cr, width, height, r, 0.5);
    setLinearGradient(cr, 0, 0, 0, height,
        { { 0, 0.16, 0.62, 0.62 }, { 0.5, 0.0, 0.45, 0.47 }, { 1, 0.0, 0.32, 0.36 } });
    cairo_fill_preserve(cr);
    setColour(cr, 0x06282C);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // A glossy highlight over the upper half.
    cairo_save(cr);
    cairo_rectangle(cr, 0, 0, width, height * 0.48);
    cairo_clip(cr);
    roundedBox(cr, width, height, r, 2);
    setColour(cr, 0xFFFFFF, 0.18);
    cairo_fill(cr);
    cairo_restore(cr);
    return canvas.take(name, 0, 0);
}

}  // namespace

std::vector<Picture> drawIcons()
{
    std::vector<Picture> icons;
    icons.push_back(icon("right", arrow(0)));
    icons.push_back(icon("left", arrow(kPi)));
    icons.push_back(icon("up", arrow(-kPi / 2)));
    icons.push_back(icon("down", arrow(kPi / 2)));
    icons.push_back(icon("swing", swingShape, true));
    icons.push_back(icon("back", backShape, true));
    icons.push_back(icon("close", closeShape, true));
    icons.push_back(icon("club", clubShape));
    icons.push_back(mapIcon());
    icons.push_back(icon("zoom out", magnifier(false), true));
    icons.push_back(icon("zoom in", magnifier(true), true));
    icons.push_back(button("button", 60, 26));
    icons.push_back(button("wide button", 150, 26));
    return icons;
}

}  // namespace tarnby::art
