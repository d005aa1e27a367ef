// The game's pictures, drawn with Cairo: one function per group of the "golf"
// picture bundle, each giving RGBA pictures with their hot spots.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace tarnby::art {

struct Picture {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    bool photo = false;         // stored as 'j' (textures, title) rather than 'r'
    std::vector<uint8_t> rgba;  // straight (not premultiplied) RGBA, rows packed
};

// A Cairo canvas of the picture's size, cleared to transparent.
class Canvas {
public:
    Canvas(int32_t width, int32_t height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return m_cr; }
    // The drawing so far as a picture.
    Picture take(const std::string& name, int32_t anchorX, int32_t anchorY, bool photo = false) const;

private:
    cairo_surface_t* m_surface;
    cairo_t* m_cr;
};

constexpr double kPi = 3.14159265358979323846;

void setColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);

// One colour of a gradient: where it stands (0..1) and its red, green, blue.
struct GradientStop {
    double offset, r, g, b;
};
GradientStop gradientStop(double offset, uint32_t rgb);

// Makes a gradient the source, along the line from (x0, y0) to (x1, y1).
void setLinearGradient(cairo_t* cr, double x0, double y0, double x1, double y1,
    std::initializer_list<GradientStop> stops);
// Makes a gradient the source, from the circle at (x0, y0) of radius r0 out
// to the one at (x1, y1) of radius r1.
void setRadialGradient(cairo_t* cr, double x0, double y0, double r0, double x1, double y1, double r1,
    std::initializer_list<GradientStop> stops);

// A new path round a width x height box with corners of radius r, drawn
// `inset` inside the box's edges.
void roundedBox(cairo_t* cr, double width, double height, double r, double inset = 0);

// A small deterministic random source for scattering details. Each group of
// pictures mixes its own `offset` into the seed, so the same seed scatters
// differently in different groups.
class Scatter {
public:
    Scatter(uint32_t seed, uint32_t offset) : m_state(seed * 2654435761u + offset) {}
    // Uniform in [0, 1).
    double next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return ((m_state >> 8) & 0xFFFFFF) / static_cast<double>(0x1000000);
    }
    double range(double a, double b) { return a + (b - a) * next(); }

private:
    uint32_t m_state;
};

// Indices 1..11: seamless 64 x 64 ground textures, in surface-code order.
std::vector<Picture> drawTextures();
// Indices 12..24: the eleven icons and the two button pictures.
std::vector<Picture> drawIcons();
// Index 0: the title picture.
Picture drawTitle();
// Index 25: the flag; 26..29: scenery; 30, 31: ball and shadow.
std::vector<Picture> drawFlagScenery();
// 23 frames of the golfer (false: the male player, true: the female player).
std::vector<Picture> drawGolfer(bool female);

// All 78 pictures of the bundle in index order.
std::vector<Picture> drawAll();

// A labelled contact sheet of pictures, magnified `zoom` times, as a PNG.
bool writeContactSheet(const std::vector<Picture>& pictures, const std::string& path, int32_t zoom);

}  // namespace tarnby::art
