// The game's pictures, drawn with Cairo: one function per group of the "golf"
// picture bundle, each giving RGBA pictures with their hot spots.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::art {

struct Picture {
    std::string name;
    int32_t width = 0;
    int32_t height = 0;
    int32_t anchorX = 0;
    int32_t anchorY = 0;
    bool photo = false;          // stored as 'j' (textures, title) rather than 'r'
    std::vector<uint8_t> rgba;   // straight (not premultiplied) RGBA, rows packed
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

void setColour(cairo_t* cr, uint32_t rgb, double alpha = 1.0);

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
