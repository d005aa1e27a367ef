// Ground textures: seamless 64 x 64 tiles, one per surface code. Each is a
// periodic noise field painted in the ground's colours, with wrapped Cairo
// strokes for blades, ripples, grains and flowers on top.
#include <cmath>
#include <functional>

#include "golf-assets/art.h"

namespace tarnby::art {

namespace {

constexpr int32_t kSize = 64;
// The tiles are drawn with this shorter pi, kept apart from kPi so they stay as they are.
constexpr double kTilePi = 3.14159265358979;

// Mixed into every seed of the textures' random sources.
constexpr uint32_t kScatterOffset = 12345u;

double hash(int32_t x, int32_t y, uint32_t seed)
{
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFF) / 65535.0;
}

// Value noise whose lattice wraps every `period` cells across the tile.
double periodicNoise(double x, double y, int32_t period, uint32_t seed)
{
    const double cell = static_cast<double>(kSize) / period;
    const double gx = x / cell;
    const double gy = y / cell;
    const auto ix = static_cast<int32_t>(std::floor(gx));
    const auto iy = static_cast<int32_t>(std::floor(gy));
    double fx = gx - ix;
    double fy = gy - iy;
    fx = fx * fx * (3 - 2 * fx);
    fy = fy * fy * (3 - 2 * fy);
    auto at = [&](int32_t i, int32_t j) {
        return hash(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const double a = at(ix, iy);
    const double b = at(ix + 1, iy);
    const double c = at(ix, iy + 1);
    const double d = at(ix + 1, iy + 1);
    return (a + (b - a) * fx) + ((c + (d - c) * fx) - (a + (b - a) * fx)) * fy;
}

struct Tone {
    uint32_t dark;
    uint32_t light;
};

double channel(uint32_t rgb, int shift) { return ((rgb >> shift) & 0xFF) / 255.0; }

// Fills the tile with a mix of two colours driven by noise; `grain` adds
// per-pixel speckle, `stripes` mown bands (0 for none).
void paintBase(cairo_t* cr, Tone tone, uint32_t seed, double grain, int32_t stripes = 0, double stripeDepth = 0)
{
    cairo_surface_t* target = cairo_get_target(cr);
    cairo_surface_flush(target);
    uint8_t* data = cairo_image_surface_get_data(target);
    const int32_t stride = cairo_image_surface_get_stride(target);
    for (int32_t y = 0; y < kSize; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int32_t x = 0; x < kSize; ++x) {
            double t = 0.5 * periodicNoise(x, y, 4, seed) + 0.3 * periodicNoise(x, y, 8, seed + 1)
                       + 0.2 * periodicNoise(x, y, 16, seed + 2);
            t += grain * (hash(x, y, seed + 9) - 0.5);
            if (stripes > 0) {
                const double band = std::sin((x + 0.5) * 2 * kTilePi * stripes / kSize);
                t += stripeDepth * (band > 0 ? 1 : -1) * std::min(1.0, std::fabs(band) * 4);
            }
            t = std::clamp(t, 0.0, 1.0);
            uint32_t out = 0xFF000000;
            for (int shift = 16; shift >= 0; shift -= 8) {
                const double v = channel(tone.dark, shift)
                                 + (channel(tone.light, shift) - channel(tone.dark, shift)) * t;
                out |= static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)) << shift;
            }
            row[x] = out;
        }
    }
    cairo_surface_mark_dirty(target);
}

// Draws a detail nine times, shifted by whole tiles, so it wraps at the edges.
void wrapped(cairo_t* cr, const std::function<void(cairo_t*)>& draw)
{
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            cairo_save(cr);
            cairo_translate(cr, dx * kSize, dy * kSize);
            draw(cr);
            cairo_restore(cr);
        }
    }
}

void blades(cairo_t* cr, uint32_t seed, int32_t count, uint32_t colour, double alpha, double length, double lean)
{
    Scatter s(seed, kScatterOffset);
    cairo_set_line_width(cr, 0.8);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int32_t k = 0; k < count; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        const double l = length * s.range(0.6, 1.2);
        const double dx = lean * s.range(-1, 1);
        const double a = alpha * s.range(0.5, 1);
        wrapped(cr, [&](cairo_t* c) {
            setColour(c, colour, a);
            cairo_move_to(c, x, y);
            cairo_line_to(c, x + dx, y - l);
            cairo_stroke(c);
        });
    }
}

void dots(cairo_t* cr, uint32_t seed, int32_t count, uint32_t colour, double alpha, double radius)
{
    Scatter s(seed, kScatterOffset);
    for (int32_t k = 0; k < count; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        const double r = radius * s.range(0.5, 1.2);
        const double a = alpha * s.range(0.5, 1);
        wrapped(cr, [&](cairo_t* c) {
            setColour(c, colour, a);
            cairo_arc(c, x, y, r, 0, 2 * kTilePi);
            cairo_fill(c);
        });
    }
}

// Tufts: blades fanning out of a few centres, so rough reads as clumps of
// grass rather than an even sheet.
void tufts(cairo_t* cr, uint32_t seed, int32_t count, int32_t blades, uint32_t colour, double alpha, double length)
{
    Scatter s(seed, kScatterOffset);
    cairo_set_line_width(cr, 0.9);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int32_t k = 0; k < count; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        for (int32_t b = 0; b < blades; ++b) {
            const double lean = s.range(-1, 1);
            const double l = length * s.range(0.6, 1.2);
            const double a = alpha * s.range(0.6, 1);
            const double bx = x + s.range(-1.2, 1.2);
            wrapped(cr, [&](cairo_t* c) {
                setColour(c, colour, a);
                cairo_move_to(c, bx, y);
                cairo_curve_to(c, bx + lean * l * 0.2, y - l * 0.5, bx + lean * l * 0.6, y - l * 0.8, bx + lean * l,
                    y - l);
                cairo_stroke(c);
            });
        }
    }
}

// Soft dark patches (shade under clumps and hummocks) that break the tile's
// repeat when it is seen from afar.
void patches(cairo_t* cr, uint32_t seed, int32_t count, uint32_t colour, double alpha, double radius)
{
    Scatter s(seed, kScatterOffset);
    for (int32_t k = 0; k < count; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        const double r = radius * s.range(0.6, 1.3);
        const double a = alpha * s.range(0.6, 1);
        wrapped(cr, [&](cairo_t* c) {
            cairo_pattern_t* fade = cairo_pattern_create_radial(x, y, 0, x, y, r);
            cairo_pattern_add_color_stop_rgba(fade, 0, channel(colour, 16), channel(colour, 8), channel(colour, 0), a);
            cairo_pattern_add_color_stop_rgba(fade, 1, channel(colour, 16), channel(colour, 8), channel(colour, 0), 0);
            cairo_set_source(c, fade);
            cairo_arc(c, x, y, r, 0, 2 * kTilePi);
            cairo_fill(c);
            cairo_pattern_destroy(fade);
        });
    }
}

Picture tee()
{
    Canvas canvas(kSize, kSize);
    // Close-mown and cross-cut: a fine checker of light and dark passes.
    paintBase(canvas.cr(), { 0x4EA63C, 0x6EC252 }, 11, 0.45, 4, 0.1);
    blades(canvas.cr(), 12, 160, 0x90D870, 0.35, 1.6, 0.8);
    blades(canvas.cr(), 13, 90, 0x3A8A2C, 0.35, 1.4, 0.6);
    return canvas.take("tee", 0, 0, true);
}

Picture fairway()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0x4C9E38, 0x68B84C }, 21, 0.28, 2, 0.2);
    blades(canvas.cr(), 22, 70, 0x80CC66, 0.25, 2.0, 0.6);
    return canvas.take("fairway", 0, 0, true);
}

Picture water()
{
    Canvas canvas(kSize, kSize);
    cairo_t* cr = canvas.cr();
    paintBase(cr, { 0x1F4E8C, 0x3B74B4 }, 31, 0.08);
    Scatter s(32, kScatterOffset);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int k = 0; k < 26; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        const double w = s.range(4, 10);
        const double a = s.range(0.25, 0.6);
        const bool light = s.next() < 0.6;
        wrapped(cr, [&](cairo_t* c) {
            setColour(c, light ? 0x9CC8F0 : 0x16396A, a);
            cairo_set_line_width(c, 1.0);
            cairo_move_to(c, x - w / 2, y);
            cairo_curve_to(c, x - w / 4, y - 1.2, x + w / 4, y - 1.2, x + w / 2, y);
            cairo_stroke(c);
        });
    }
    return canvas.take("water", 0, 0, true);
}

Picture green()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0x7AD452, 0x96E66C }, 41, 0.15);
    dots(canvas.cr(), 42, 60, 0xB0F08A, 0.25, 0.6);
    return canvas.take("green", 0, 0, true);
}

Picture dunes()
{
    // The links course's marram-grass dunes: pale sand through tufts.
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0xB4A474, 0xDCCE9A }, 51, 0.3);
    patches(canvas.cr(), 50, 8, 0x8A7A4A, 0.35, 9);
    // Marram grows in tussocks with bare sand between.
    tufts(canvas.cr(), 52, 14, 9, 0x6A7A30, 0.85, 6.0);
    tufts(canvas.cr(), 53, 10, 7, 0xA8B458, 0.8, 5.0);
    return canvas.take("dunes", 0, 0, true);
}

Picture sand()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0xD6C48C, 0xEEE0B0 }, 61, 0.45);
    dots(canvas.cr(), 62, 40, 0xB09C68, 0.5, 0.6);
    dots(canvas.cr(), 63, 30, 0xFFF6D8, 0.5, 0.5);
    return canvas.take("sand", 0, 0, true);
}

Picture linksRough()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0x667A32, 0x98A650 }, 71, 0.35);
    patches(canvas.cr(), 70, 10, 0x46561E, 0.4, 8);
    blades(canvas.cr(), 72, 120, 0xC0C070, 0.45, 4.0, 2.5);
    tufts(canvas.cr(), 73, 12, 6, 0x4A5A22, 0.6, 4.0);
    tufts(canvas.cr(), 74, 8, 6, 0xD0C880, 0.55, 4.0);
    return canvas.take("links rough", 0, 0, true);
}

Picture woodland()
{
    // The parkland's woods seen from above and afar: tree crowns, each with
    // its lit side and its shadow, over dark ground and leaf litter.
    Canvas canvas(kSize, kSize);
    cairo_t* cr = canvas.cr();
    paintBase(cr, { 0x1E3618, 0x3A5626 }, 81, 0.35);
    dots(cr, 82, 40, 0x5A4A22, 0.6, 1.2);
    Scatter s(84, kScatterOffset);
    for (int k = 0; k < 13; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        const double r = s.range(5, 9);
        const bool autumn = s.next() < 0.2;
        wrapped(cr, [&](cairo_t* c) {
            setColour(c, 0x0E1E0A, 0.55);
            cairo_arc(c, x + r * 0.35, y + r * 0.35, r, 0, 2 * kTilePi);
            cairo_fill(c);
            setColour(c, autumn ? 0x5A6A22 : 0x2E5A22, 1.0);
            cairo_arc(c, x, y, r, 0, 2 * kTilePi);
            cairo_fill(c);
            setColour(c, autumn ? 0x8A9A3A : 0x4E8A34, 0.8);
            cairo_arc(c, x - r * 0.3, y - r * 0.3, r * 0.55, 0, 2 * kTilePi);
            cairo_fill(c);
        });
    }
    dots(cr, 83, 70, 0x6AA044, 0.45, 1.0);
    return canvas.take("woodland", 0, 0, true);
}

Picture parkRough()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0x2C6A24, 0x428A32 }, 91, 0.35);
    patches(canvas.cr(), 90, 9, 0x1E4A18, 0.35, 8);
    blades(canvas.cr(), 92, 110, 0x6AB04E, 0.45, 3.0, 1.5);
    tufts(canvas.cr(), 93, 12, 6, 0x25601E, 0.6, 3.5);
    dots(canvas.cr(), 94, 12, 0xE8E8C0, 0.5, 0.5);  // daisies
    return canvas.take("park rough", 0, 0, true);
}

Picture heather()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0x4A3A3E, 0x6E5462 }, 101, 0.4);
    patches(canvas.cr(), 100, 9, 0x2A1E24, 0.45, 7);
    dots(canvas.cr(), 102, 110, 0x9A5A8E, 0.7, 1.1);
    dots(canvas.cr(), 103, 60, 0x5A6A34, 0.7, 1.2);
    dots(canvas.cr(), 104, 30, 0xC07AB0, 0.5, 0.7);
    return canvas.take("heather", 0, 0, true);
}

Picture moorRough()
{
    Canvas canvas(kSize, kSize);
    paintBase(canvas.cr(), { 0x4A6A36, 0x708A4A }, 111, 0.35);
    patches(canvas.cr(), 110, 8, 0x3A4A26, 0.4, 8);
    blades(canvas.cr(), 112, 100, 0x9AAA66, 0.4, 3.0, 1.6);
    // Rock breaking through the moor: grey stones, lit on top, shadowed below.
    Scatter s(113, kScatterOffset);
    for (int k = 0; k < 6; ++k) {
        const double x = s.range(0, kSize);
        const double y = s.range(0, kSize);
        const double r = s.range(1.5, 3.5);
        wrapped(canvas.cr(), [&](cairo_t* c) {
            setColour(c, 0x2A3020, 0.6);
            cairo_arc(c, x + 0.8, y + 0.9, r, 0, 2 * kTilePi);
            cairo_fill(c);
            setColour(c, 0x86867C, 1.0);
            cairo_arc(c, x, y, r, 0, 2 * kTilePi);
            cairo_fill(c);
            setColour(c, 0xB8B8AE, 0.8);
            cairo_arc(c, x - r * 0.3, y - r * 0.3, r * 0.45, 0, 2 * kTilePi);
            cairo_fill(c);
        });
    }
    return canvas.take("moor rough", 0, 0, true);
}

}  // namespace

std::vector<Picture> drawTextures()
{
    // Surface codes 1..11.
    return { tee(), fairway(), water(), green(), dunes(), sand(), linksRough(), woodland(), parkRough(), heather(),
        moorRough() };
}

}  // namespace tarnby::art
