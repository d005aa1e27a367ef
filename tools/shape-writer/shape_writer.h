// Writes hole drawings and small vector shapes as shape files for the game's
// shape reader (src/vector/vswf.h documents the file layout).
//
// A drawing is a planar map: regions of solid colour separated by boundary
// paths. Each path is a chain of straight and quadratic-curve segments and
// carries the region on its left and the region on its right, so that every
// boundary is written once, with the fills of both of its sides. Coordinates
// are drawing units (for a hole file: yards, 512 x 512, x to the east = right
// on the map, y to the south = down on the map); "left" and "right" are as seen
// by someone walking along the path on the map.
//
// Use:
//     ShapeWriter w(512, 512);                  // a hole file
//     int32_t rough = w.fill(0xFF008000);        // 0xAARRGGBB
//     int32_t water = w.fill(0xFF000040);
//     w.addRectangle(0, 0, 512, 512, rough);     // the background, nothing outside
//     w.moveTo(100, 100, water, rough);          // water on the left of this path
//     w.lineTo(100, 200);                        // ... going south: water lies east
//     w.curveTo(150, 250, 200, 200);             // control point, then end point
//     w.lineTo(200, 100);
//     w.lineTo(100, 100);
//     w.save(path);
//
// Every point is rounded to the file's resolution (twipsPerUnit per unit,
// 16 by default: a 512-unit drawing is then 8192 file units wide and the game's
// reader maps it exactly onto its 512 x 512 pixels). Paths must not cross one
// another, and each region must be closed by its boundaries, for the reader to
// see the intended fills everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby {

struct ShapePoint {
    double x = 0;
    double y = 0;
};

class ShapeWriter {
public:
    // "Nothing on this side": the background of the drawing.
    static constexpr int32_t kNoFill = 0;

    // Which shape tag the drawing is written as: DefineShape (colours without
    // alpha, the alpha byte of a fill colour is dropped), DefineShape2, or
    // DefineShape3 (colours with alpha).
    enum class Tag { Shape = 2, Shape2 = 22, Shape3 = 32 };

    ShapeWriter(double width, double height, int32_t twipsPerUnit = 16);

    void setTag(Tag tag) { m_tag = tag; }

    // The fill index of a colour (0xAARRGGBB) for the path calls: 1, 2, ... in
    // the order colours are first seen; equal colours share one index.
    int32_t fill(uint32_t colour);
    int32_t fillCount() const { return static_cast<int32_t>(m_colours.size()); }

    // Starts a boundary path at (x, y) with leftFill on its left and rightFill on
    // its right (fill indices, or kNoFill).
    void moveTo(double x, double y, int32_t leftFill, int32_t rightFill);
    // A straight segment from the current point.
    void lineTo(double x, double y);
    // A quadratic curve from the current point through control point (cx, cy)
    // to (x, y).
    void curveTo(double cx, double cy, double x, double y);

    // A closed ring of straight segments with `inside` within it and `outside`
    // around it; the points may go either way round (the writer finds which side
    // is inside). Use it for a region whose whole boundary borders one region.
    void addPolygon(const std::vector<ShapePoint>& ring, int32_t inside, int32_t outside = kNoFill);
    void addRectangle(double left, double top, double right, double bottom, int32_t inside, int32_t outside = kNoFill);

    // The whole file: header, background colour, the shape, show frame, end.
    std::vector<uint8_t> bytes() const;
    // Writes bytes() to a file; false when it could not be written completely.
    bool save(const std::string& path) const;

    int32_t pathCount() const { return static_cast<int32_t>(m_paths.size()); }

private:
    struct Segment {
        bool curved = false;
        ShapePoint control;
        ShapePoint to;
    };
    struct Path {
        int32_t leftFill = kNoFill;
        int32_t rightFill = kNoFill;
        ShapePoint start;
        std::vector<Segment> segments;
    };

    std::vector<uint8_t> shapeBody() const;

    double m_width;
    double m_height;
    int32_t m_twipsPerUnit;
    Tag m_tag = Tag::Shape;
    std::vector<uint32_t> m_colours;
    std::vector<Path> m_paths;
};

}  // namespace tarnby
