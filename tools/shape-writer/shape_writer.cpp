// Shape-file output: a planar map of filled regions as one shape definition.
#include "shape-writer/shape_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "runtime/files.h"
#include "shape-writer/swf_bit_writer.h"

namespace tarnby {

namespace {

// Edge records hold their deltas in at most 17 bits (a 4-bit count + 2).
constexpr int32_t kMaxEdgeBits = 17;

int64_t toTwips(double v, int32_t twipsPerUnit) { return std::llround(v * twipsPerUnit); }

// Writes the shape records of the paths, tracking the pen in whole file units
// so that a path that ends where it started closes exactly.
class RecordWriter {
public:
    RecordWriter(SwfBitWriter& out, int32_t fillBits, int32_t twipsPerUnit)
        : m_out(out), m_fillBits(fillBits), m_twipsPerUnit(twipsPerUnit)
    {
    }

    void moveTo(ShapePoint p, int32_t leftFill, int32_t rightFill)
    {
        m_x = toTwips(p.x, m_twipsPerUnit);
        m_y = toTwips(p.y, m_twipsPerUnit);
        int32_t n = std::max(SwfBitWriter::signedBits(m_x), SwfBitWriter::signedBits(m_y));
        m_out.bits(0, 1);          // style change
        m_out.bits(1 | 2 | 4, 5);  // move-to, fill 0, fill 1
        m_out.bits(static_cast<uint32_t>(n), 5);
        m_out.sbits(static_cast<int32_t>(m_x), n);
        m_out.sbits(static_cast<int32_t>(m_y), n);
        m_out.bits(static_cast<uint32_t>(leftFill), m_fillBits);
        m_out.bits(static_cast<uint32_t>(rightFill), m_fillBits);
    }

    void lineTo(ShapePoint p) { line(toTwips(p.x, m_twipsPerUnit) - m_x, toTwips(p.y, m_twipsPerUnit) - m_y); }

    void curveTo(ShapePoint c, ShapePoint p)
    {
        ShapePoint start { static_cast<double>(m_x) / m_twipsPerUnit, static_cast<double>(m_y) / m_twipsPerUnit };
        curve(start, c, p, 0);
    }

    void end()
    {
        m_out.bits(0, 6);
        m_out.align();
    }

private:
    void line(int64_t dx, int64_t dy)
    {
        if (dx == 0 && dy == 0) {
            return;
        }
        int32_t n = std::max({ SwfBitWriter::signedBits(dx), SwfBitWriter::signedBits(dy), 2 });
        if (n > kMaxEdgeBits) {
            line(dx / 2, dy / 2);
            line(dx - dx / 2, dy - dy / 2);
            return;
        }
        m_out.bits(1, 1);  // edge
        m_out.bits(1, 1);  // straight
        m_out.bits(static_cast<uint32_t>(n - 2), 4);
        if (dx != 0 && dy != 0) {
            m_out.bits(1, 1);  // general line
            m_out.sbits(static_cast<int32_t>(dx), n);
            m_out.sbits(static_cast<int32_t>(dy), n);
        } else if (dy == 0) {
            m_out.bits(0, 1);
            m_out.bits(0, 1);  // horizontal
            m_out.sbits(static_cast<int32_t>(dx), n);
        } else {
            m_out.bits(0, 1);
            m_out.bits(1, 1);  // vertical
            m_out.sbits(static_cast<int32_t>(dy), n);
        }
        m_x += dx;
        m_y += dy;
    }

    void curve(ShapePoint p0, ShapePoint c, ShapePoint p1, int32_t depth)
    {
        int64_t cx = toTwips(c.x, m_twipsPerUnit);
        int64_t cy = toTwips(c.y, m_twipsPerUnit);
        int64_t ex = toTwips(p1.x, m_twipsPerUnit);
        int64_t ey = toTwips(p1.y, m_twipsPerUnit);
        int64_t d[4] = { cx - m_x, cy - m_y, ex - cx, ey - cy };
        int32_t n = 2;
        for (int64_t v : d) {
            n = std::max(n, SwfBitWriter::signedBits(v));
        }
        if (n > kMaxEdgeBits && depth < 24) {
            // Too long for one record: split at the middle (de Casteljau).
            ShapePoint a { (p0.x + c.x) / 2, (p0.y + c.y) / 2 };
            ShapePoint b { (c.x + p1.x) / 2, (c.y + p1.y) / 2 };
            ShapePoint m { (a.x + b.x) / 2, (a.y + b.y) / 2 };
            curve(p0, a, m, depth + 1);
            curve(m, b, p1, depth + 1);
            return;
        }
        if (n > kMaxEdgeBits) {
            line(ex - m_x, ey - m_y);
            return;
        }
        m_out.bits(1, 1);  // edge
        m_out.bits(0, 1);  // curved
        m_out.bits(static_cast<uint32_t>(n - 2), 4);
        for (int64_t v : d) {
            m_out.sbits(static_cast<int32_t>(v), n);
        }
        m_x = ex;
        m_y = ey;
    }

    SwfBitWriter& m_out;
    int32_t m_fillBits;
    int32_t m_twipsPerUnit;
    int64_t m_x = 0;
    int64_t m_y = 0;
};

}  // namespace

ShapeWriter::ShapeWriter(double width, double height, int32_t twipsPerUnit)
    : m_width(width), m_height(height), m_twipsPerUnit(twipsPerUnit > 0 ? twipsPerUnit : 16)
{
}

int32_t ShapeWriter::fill(uint32_t colour)
{
    auto found = std::find(m_colours.begin(), m_colours.end(), colour);
    if (found != m_colours.end()) {
        return static_cast<int32_t>(found - m_colours.begin()) + 1;
    }
    m_colours.push_back(colour);
    return static_cast<int32_t>(m_colours.size());
}

void ShapeWriter::moveTo(double x, double y, int32_t leftFill, int32_t rightFill)
{
    Path path;
    path.leftFill = leftFill;
    path.rightFill = rightFill;
    path.start = { x, y };
    m_paths.push_back(path);
}

void ShapeWriter::lineTo(double x, double y)
{
    if (m_paths.empty()) {
        moveTo(x, y, kNoFill, kNoFill);
        return;
    }
    m_paths.back().segments.push_back({ false, {}, { x, y } });
}

void ShapeWriter::curveTo(double cx, double cy, double x, double y)
{
    if (m_paths.empty()) {
        moveTo(x, y, kNoFill, kNoFill);
        return;
    }
    m_paths.back().segments.push_back({ true, { cx, cy }, { x, y } });
}

void ShapeWriter::addPolygon(const std::vector<ShapePoint>& ring, int32_t inside, int32_t outside)
{
    if (ring.size() < 3) {
        return;
    }
    // Twice the signed area with y pointing down: positive when the ring turns
    // clockwise on the map, and then the inside lies on the walker's right.
    double area = 0;
    for (size_t i = 0; i < ring.size(); ++i) {
        const ShapePoint& a = ring[i];
        const ShapePoint& b = ring[(i + 1) % ring.size()];
        area += a.x * b.y - b.x * a.y;
    }
    if (area > 0) {
        moveTo(ring[0].x, ring[0].y, outside, inside);
    } else {
        moveTo(ring[0].x, ring[0].y, inside, outside);
    }
    for (size_t i = 1; i < ring.size(); ++i) {
        lineTo(ring[i].x, ring[i].y);
    }
    lineTo(ring[0].x, ring[0].y);
}

void ShapeWriter::addRectangle(double left, double top, double right, double bottom, int32_t inside, int32_t outside)
{
    addPolygon({ { left, top }, { right, top }, { right, bottom }, { left, bottom } }, inside, outside);
}

std::vector<uint8_t> ShapeWriter::shapeBody() const
{
    SwfBitWriter out;
    out.u16(1);  // shape id

    // Bounds of every point, control points included.
    int64_t xMin = std::numeric_limits<int64_t>::max();
    int64_t yMin = xMin;
    int64_t xMax = std::numeric_limits<int64_t>::min();
    int64_t yMax = xMax;
    auto extend = [&](ShapePoint p) {
        int64_t x = toTwips(p.x, m_twipsPerUnit);
        int64_t y = toTwips(p.y, m_twipsPerUnit);
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
    };
    for (const Path& path : m_paths) {
        extend(path.start);
        for (const Segment& s : path.segments) {
            if (s.curved) {
                extend(s.control);
            }
            extend(s.to);
        }
    }
    if (m_paths.empty()) {
        xMin = xMax = yMin = yMax = 0;
    }
    out.rect(static_cast<int32_t>(xMin), static_cast<int32_t>(xMax), static_cast<int32_t>(yMin),
        static_cast<int32_t>(yMax));

    // Fill styles: solid colours, RGB or RGBA by tag.
    size_t count = m_colours.size();
    if (count < 255) {
        out.u8(static_cast<uint32_t>(count));
    } else {
        out.u8(255);
        out.u16(static_cast<uint32_t>(count));
    }
    for (uint32_t colour : m_colours) {
        out.u8(0x00);
        out.u8((colour >> 16) & 0xFF);
        out.u8((colour >> 8) & 0xFF);
        out.u8(colour & 0xFF);
        if (m_tag == Tag::Shape3) {
            out.u8(colour >> 24);
        }
    }
    out.u8(0);  // no line styles

    int32_t fillBits = SwfBitWriter::unsignedBits(static_cast<uint32_t>(count));
    out.bits(static_cast<uint32_t>(fillBits), 4);
    out.bits(0, 4);
    RecordWriter records(out, fillBits, m_twipsPerUnit);
    for (const Path& path : m_paths) {
        records.moveTo(path.start, path.leftFill, path.rightFill);
        for (const Segment& s : path.segments) {
            if (s.curved) {
                records.curveTo(s.control, s.to);
            } else {
                records.lineTo(s.to);
            }
        }
    }
    records.end();
    return out.data();
}

std::vector<uint8_t> ShapeWriter::bytes() const
{
    SwfBitWriter out;
    out.text("FWS");
    out.u8(6);   // format version
    out.u32(0);  // file length, patched below
    out.rect(0, static_cast<int32_t>(toTwips(m_width, m_twipsPerUnit)), 0,
        static_cast<int32_t>(toTwips(m_height, m_twipsPerUnit)));
    out.u16(12 << 8);                  // frame rate 12.0 (8.8)
    out.u16(1);                        // one frame
    out.tag(9, { 0xFF, 0xFF, 0xFF });  // background colour: a tag the reader skips
    out.tag(static_cast<int32_t>(m_tag), shapeBody(), true);
    out.tag(1, {});  // show frame
    out.tag(0, {});  // end
    std::vector<uint8_t>& data = out.data();
    uint32_t length = static_cast<uint32_t>(data.size());
    for (int32_t i = 0; i < 4; ++i) {
        data[4 + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    return data;
}

bool ShapeWriter::save(const std::string& path) const
{
    std::vector<uint8_t> data = bytes();
    return writeWholeFile(path, data.data(), data.size());
}

}  // namespace tarnby
