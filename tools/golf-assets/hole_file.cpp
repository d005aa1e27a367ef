// Shape files from traced drawings, through the shared shape-file writer.
#include "golf-assets/hole_file.h"

#include "shape-writer/shape_writer.h"

namespace tarnby::course {

namespace {

ShapeWriter tracedShape(const std::vector<uint32_t>& colours, const std::vector<Chain>& chains, double size,
    double yardsPerCell)
{
    ShapeWriter writer(size, size);
    // Fill indices follow the label order, so equal drawings give equal files.
    std::vector<int32_t> fills;
    for (uint32_t colour : colours) {
        fills.push_back(writer.fill(0xFF000000u | colour));
    }
    auto fillOf = [&](int32_t label) { return label < 0 ? ShapeWriter::kNoFill : fills[label]; };
    for (const auto& chain : chains) {
        if (chain.points.size() < 2) {
            continue;
        }
        writer.moveTo(chain.points[0].x * yardsPerCell, chain.points[0].y * yardsPerCell, fillOf(chain.left),
            fillOf(chain.right));
        for (size_t k = 1; k < chain.points.size(); ++k) {
            writer.lineTo(chain.points[k].x * yardsPerCell, chain.points[k].y * yardsPerCell);
        }
    }
    return writer;
}

}  // namespace

bool writeTracedShape(const std::vector<uint32_t>& colours, const std::vector<Chain>& chains, double size,
    double yardsPerCell, const std::string& path)
{
    return tracedShape(colours, chains, size, yardsPerCell).save(path);
}

std::vector<uint8_t> tracedShapeBytes(const std::vector<uint32_t>& colours, const std::vector<Chain>& chains,
    double size, double yardsPerCell)
{
    return tracedShape(colours, chains, size, yardsPerCell).bytes();
}

bool writeHoleFile(const HoleDrawing& drawing, const std::vector<Chain>& chains, const std::string& path)
{
    return writeTracedShape(drawing.colours, chains, kMapYards, 1.0 / kCellsPerYard, path);
}

bool writeArrow(const std::string& path)
{
    // Drawn on a 24-unit square about its centre (12, 12); the tips stay within
    // 11 units of the centre, so no rotation pushes them out of the square.
    ShapeWriter writer(24, 24);
    const int32_t arrow = writer.fill(0xFFFFF0A0);
    const std::vector<ShapePoint> ring { { 12, 1.5 }, { 19.5, 10 }, { 14.5, 10 }, { 14.5, 21.5 }, { 9.5, 21.5 },
        { 9.5, 10 }, { 4.5, 10 } };
    writer.addPolygon(ring, arrow);
    return writer.save(path);
}

}  // namespace tarnby::course
