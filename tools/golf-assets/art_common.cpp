// Cairo canvases, picture conversion, the bundle's picture order and sheets.
#include <algorithm>
#include <cstdio>

#include "golf-assets/art.h"

namespace tarnby::art {

Canvas::Canvas(int32_t width, int32_t height)
    : m_surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), m_cr(cairo_create(m_surface))
{
    cairo_set_operator(m_cr, CAIRO_OPERATOR_CLEAR);
    cairo_paint(m_cr);
    cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
}

Canvas::~Canvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

Picture Canvas::take(const std::string& name, int32_t anchorX, int32_t anchorY, bool photo) const
{
    cairo_surface_flush(m_surface);
    Picture picture;
    picture.name = name;
    picture.width = cairo_image_surface_get_width(m_surface);
    picture.height = cairo_image_surface_get_height(m_surface);
    picture.anchorX = anchorX;
    picture.anchorY = anchorY;
    picture.photo = photo;
    picture.rgba.resize(static_cast<size_t>(picture.width) * picture.height * 4);
    const int32_t stride = cairo_image_surface_get_stride(m_surface);
    const uint8_t* data = cairo_image_surface_get_data(m_surface);
    for (int32_t y = 0; y < picture.height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            uint8_t* out = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const uint32_t v = (p >> (16 - 8 * c)) & 0xFF;
                out[c] = static_cast<uint8_t>(a == 0 ? 0 : std::min<uint32_t>(255, (v * 255 + a / 2) / a));
            }
            out[3] = static_cast<uint8_t>(a);
        }
    }
    return picture;
}

void setColour(cairo_t* cr, uint32_t rgb, double alpha)
{
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha);
}

GradientStop gradientStop(double offset, uint32_t rgb)
{
    return { offset, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0 };
}

namespace {

// Hands the gradient to the context, which keeps it as long as it is in use.
void setGradient(cairo_t* cr, cairo_pattern_t* gradient, std::initializer_list<GradientStop> stops)
{
    for (const auto& stop : stops) {
        cairo_pattern_add_color_stop_rgb(gradient, stop.offset, stop.r, stop.g, stop.b);
    }
    cairo_set_source(cr, gradient);
    cairo_pattern_destroy(gradient);
}

}  // namespace

void setLinearGradient(cairo_t* cr, double x0, double y0, double x1, double y1,
    std::initializer_list<GradientStop> stops)
{
    setGradient(cr, cairo_pattern_create_linear(x0, y0, x1, y1), stops);
}

void setRadialGradient(cairo_t* cr, double x0, double y0, double r0, double x1, double y1, double r1,
    std::initializer_list<GradientStop> stops)
{
    setGradient(cr, cairo_pattern_create_radial(x0, y0, r0, x1, y1, r1), stops);
}

void roundedBox(cairo_t* cr, double width, double height, double r, double inset)
{
    cairo_new_path(cr);
    cairo_arc(cr, width - r - inset, r + inset, r, -kPi / 2, 0);
    cairo_arc(cr, width - r - inset, height - r - inset, r, 0, kPi / 2);
    cairo_arc(cr, r + inset, height - r - inset, r, kPi / 2, kPi);
    cairo_arc(cr, r + inset, r + inset, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

std::vector<Picture> drawAll()
{
    std::vector<Picture> all;
    all.push_back(drawTitle());
    for (auto& picture : drawTextures()) {
        all.push_back(std::move(picture));
    }
    for (auto& picture : drawIcons()) {
        all.push_back(std::move(picture));
    }
    for (auto& picture : drawFlagScenery()) {
        all.push_back(std::move(picture));
    }
    for (auto& picture : drawGolfer(false)) {
        all.push_back(std::move(picture));
    }
    for (auto& picture : drawGolfer(true)) {
        all.push_back(std::move(picture));
    }
    return all;
}

bool writeContactSheet(const std::vector<Picture>& pictures, const std::string& path, int32_t zoom)
{
    const int32_t columns = 10;
    int32_t cellW = 0;
    int32_t cellH = 0;
    for (const auto& p : pictures) {
        cellW = std::max(cellW, p.width * zoom);
        cellH = std::max(cellH, p.height * zoom);
    }
    cellW = std::min(cellW, 220) + 8;
    cellH = std::min(cellH, 220) + 22;
    const int32_t rows = (static_cast<int32_t>(pictures.size()) + columns - 1) / columns;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, columns * cellW, rows * cellH);
    cairo_t* cr = cairo_create(sheet);
    for (size_t k = 0; k < pictures.size(); ++k) {
        const auto& p = pictures[k];
        const size_t rowsAbove = k / columns;  // whole rows of cells above this one
        const double x0 = static_cast<double>((k % columns) * cellW);
        const double y0 = static_cast<double>(rowsAbove * cellH);
        // A checkered backdrop shows what is transparent.
        for (int32_t cy = 0; cy < cellH; cy += 8) {
            for (int32_t cx = 0; cx < cellW; cx += 8) {
                setColour(cr, ((cx + cy) / 8) % 2 ? 0x6A8A9A : 0x5A7A8A);
                cairo_rectangle(cr, x0 + cx, y0 + cy, 8, 8);
                cairo_fill(cr);
            }
        }
        cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, p.width, p.height);
        const int32_t stride = cairo_image_surface_get_stride(image);
        uint8_t* data = cairo_image_surface_get_data(image);
        for (int32_t y = 0; y < p.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
            for (int32_t x = 0; x < p.width; ++x) {
                const uint8_t* in = &p.rgba[(static_cast<size_t>(y) * p.width + x) * 4];
                const uint32_t a = in[3];
                row[x] = (a << 24) | ((in[0] * a / 255) << 16) | ((in[1] * a / 255) << 8) | (in[2] * a / 255);
            }
        }
        cairo_surface_mark_dirty(image);
        const double z = std::min<double>(zoom, std::min(212.0 / p.width, 212.0 / p.height));
        cairo_save(cr);
        cairo_translate(cr, x0 + 4, y0 + 18);
        cairo_scale(cr, z, z);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
        cairo_paint(cr);
        cairo_restore(cr);
        // The hot spot as a small red cross.
        setColour(cr, 0xFF2020);
        const double hx = x0 + 4 + (p.anchorX + 0.5) * z;
        const double hy = y0 + 18 + (p.anchorY + 0.5) * z;
        cairo_set_line_width(cr, 1);
        cairo_move_to(cr, hx - 3, hy);
        cairo_line_to(cr, hx + 3, hy);
        cairo_move_to(cr, hx, hy - 3);
        cairo_line_to(cr, hx, hy + 3);
        cairo_stroke(cr);
        cairo_surface_destroy(image);
        char label[96];
        std::snprintf(label, sizeof label, "%zu %s %dx%d", k, p.name.c_str(), p.width, p.height);
        setColour(cr, 0xFFFFFF);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 11);
        cairo_move_to(cr, x0 + 3, y0 + 13);
        cairo_show_text(cr, label);
    }
    const bool ok = cairo_surface_write_to_png(sheet, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    cairo_surface_destroy(sheet);
    return ok;
}

}  // namespace tarnby::art
