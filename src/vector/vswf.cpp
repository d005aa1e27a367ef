// The shape-file reader: bytes, bit fields, styles and shape records.
#include "vector/vswf.h"

#include <cstring>
#include <string>

#include "runtime/files.h"

namespace tarnby {

namespace {

constexpr int32_t kFirstFillMap = 16;
// Curves halve their control polygon at each level; a curve of the largest
// possible size is flat long before this depth.
constexpr int32_t kMaxCurveDepth = 16;

int32_t wrapMul(int32_t a, int32_t b)
{
    return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

}  // namespace

Vswf::Vswf() : m_fillMap(allocInt(kFirstFillMap)) {}

int32_t Vswf::chordDistanceSq(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by)
{
    if ((px == ax && py == ay) || (px == bx && py == by)) {
        return 0;
    }
    int64_t ex = static_cast<int64_t>(bx) - ax;
    int64_t ey = static_cast<int64_t>(by) - ay;
    if (ex == 0 && ey == 0) {
        return 0x7FFFFFFF;
    }
    // Exact 64-bit products: the foot's parameter t along AB in 1/32768.
    int64_t t = ((ey * (static_cast<int64_t>(py) - ay) + ex * (static_cast<int64_t>(px) - ax)) * 32768)
                / (ex * ex + ey * ey);
    if (t < 0 || t > 32767) {
        return 0x7FFFFFFF;
    }
    int64_t fx = ((t * ey) >> 15) - py + ay;
    int64_t fy = ((t * ex) >> 15) - px + ax;
    int64_t d = fx * fx + fy * fy;
    return d > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(d);
}

void Vswf::begin(const Ref<Vpolyn>& target, int32_t width, int32_t height, int32_t edgeCapacity, int32_t fillCount)
{
    m_target = target;
    if (m_target) {
        m_target->init(width, height, edgeCapacity, fillCount);
    }
    m_bytePosition = 0;
    m_curvePiecesLeft = kMaxCurvePieces;
    m_endOfFile = false;
    m_whole = false;
    alignToByte();
}

void Vswf::end()
{
    if (m_target) {
        m_target->finish();
    }
    m_reader = ByteReader();
}

bool Vswf::load(const Ref<Vpolyn>& target, const Ref<String>& name, int32_t width, int32_t height, int32_t edgeCapacity,
    int32_t fillCount, int32_t angle)
{
    begin(target, width, height, edgeCapacity, fillCount);
    const std::string label = name ? name->chars() : "";
    ByteArray bytes;
    const FileRead read = readBoundedFile(dataPath(("/" + label).c_str()), kMaxFileBytes, bytes);
    int32_t opened = 0;
    if (read == FileRead::Missing) {
        V::log("Could not open ");
    } else if (read == FileRead::TooLarge) {
        V::log(
            ("Shape file " + label + " is larger than " + std::to_string(kMaxFileBytes) + " bytes: not read").c_str());
    } else if (m_target) {
        m_reader = ByteReader(bytes);
        opened = open(angle, label.c_str());
    }
    end();
    return opened != 0;
}

bool Vswf::loadBytes(const Ref<Vpolyn>& target, const ByteArray& bytes, int32_t width, int32_t height,
    int32_t edgeCapacity, int32_t fillCount, int32_t angle, const char* name)
{
    begin(target, width, height, edgeCapacity, fillCount);
    int32_t opened = 0;
    if (bytes.length() > kMaxFileBytes) {
        const std::string message = std::string("Shape file ") + (name ? name : "") + " is larger than "
                                    + std::to_string(kMaxFileBytes) + " bytes: not read";
        V::log(message.c_str());
    } else if (m_target) {
        m_reader = ByteReader(bytes);
        opened = open(angle, name ? name : "");
    }
    end();
    return opened != 0;
}

int32_t Vswf::open(int32_t angle, const char* name)
{
    int32_t signature[3];
    for (int32_t& byte : signature) {
        byte = readU8();
    }
    readU8();  // version
    if (signature[0] != 'F' || signature[1] != 'W' || signature[2] != 'S') {
        const std::string message = std::string("Not a shape file: ") + name
                                    + (m_reader.size() == 0 ? " is empty" : " has no FWS signature");
        V::log(message.c_str());
        return 0;
    }
    readU32();  // file length
    readRect();
    int32_t frameWidth = wrapSub(m_rect[1], m_rect[0]);
    int32_t frameHeight = wrapSub(m_rect[3], m_rect[2]);
    if (frameWidth <= 0) {
        V::log(
            (std::string("Shape file ") + name + " has an empty frame, width " + std::to_string(frameWidth)).c_str());
        return 0;
    }
    m_originX = m_penX = wrapSub(0, frameWidth) >> 1;
    m_originY = m_penY = wrapSub(0, frameHeight) >> 1;
    int64_t width = static_cast<int64_t>(m_target->drawingWidth()) << 15;
    int64_t height = static_cast<int64_t>(m_target->drawingHeight()) << 15;
    m_tx = static_cast<Fixed>(width >> 1);
    m_ty = static_cast<Fixed>(height >> 1);
    Fixed scale = static_cast<Fixed>(width / frameWidth);
    if (angle == 0) {
        m_a = m_d = scale;
        m_b = m_c = 0;
    } else {
        Fixed cs = fcos(angle);
        Fixed sn = fsin(angle);
        m_a = fmul(cs, scale);
        m_b = fmul(-sn, scale);
        m_d = fmul(cs, scale);
        m_c = fmul(sn, scale);
    }
    moveBy(0, 0);
    readU16();  // frame rate
    readU16();  // frame count
    readTags(0);
    // Everything up to the cut (or up to the last crossing the drawing holds)
    // is drawn; the rest of the drawing is lost.
    if (m_endOfFile) {
        V::log(
            (std::string("Shape file ") + name + " ends early, before its end tag: drawn as far as it goes").c_str());
    } else if (m_target->crossingsDropped()) {
        const std::string message = std::string("Shape file ") + name + " has more than "
                                    + std::to_string(Vpolyn::kMaxCrossings) + " crossings: drawn as far as they go";
        V::log(message.c_str());
    }
    m_whole = !m_endOfFile && !m_target->crossingsDropped();
    return 1;
}

int32_t Vswf::readByte()
{
    m_bytePosition = wrapAdd(m_bytePosition, 1);
    const int32_t b = m_reader.readByte();
    if (b < 0) {
        m_endOfFile = true;
    }
    return b;
}

int32_t Vswf::readU8()
{
    alignToByte();
    return readByte();
}

int32_t Vswf::readU16()
{
    alignToByte();
    m_bytePosition = wrapAdd(m_bytePosition, 2);
    // An end of file in either byte reads as -1 (which ends the tag loop).
    const int32_t v = m_reader.readU16();
    if (v < 0) {
        m_endOfFile = true;
    }
    return v;
}

int32_t Vswf::readU32()
{
    alignToByte();
    m_bytePosition = wrapAdd(m_bytePosition, 4);
    uint32_t v = 0;
    if (!m_reader.readU32(v)) {
        m_endOfFile = true;
    }
    return static_cast<int32_t>(v);
}

uint32_t Vswf::readBits(int32_t n)
{
    uint32_t result = 0;
    for (int32_t i = 0; i < n; ++i) {
        if (m_bitsLeft == 0) {
            m_bitBuffer = readByte();
            m_bitsLeft = 8;
        }
        --m_bitsLeft;
        result = (result << 1) | ((static_cast<uint32_t>(m_bitBuffer) >> m_bitsLeft) & 1);
    }
    return result;
}

int32_t Vswf::readSBits(int32_t n)
{
    uint32_t v = readBits(n);
    if (n > 0 && n < 32 && ((v >> (n - 1)) & 1)) {
        v |= ~((1u << n) - 1);
    }
    return static_cast<int32_t>(v);
}

uint32_t Vswf::readColour(int32_t version)
{
    uint32_t r = static_cast<uint32_t>(readU8()) & 0xFF;
    uint32_t g = static_cast<uint32_t>(readU8()) & 0xFF;
    uint32_t b = static_cast<uint32_t>(readU8()) & 0xFF;
    uint32_t a = version == 3 ? static_cast<uint32_t>(readU8()) & 0xFF : 0;
    return (a << 24) | (r << 16) | (g << 8) | b;
}

void Vswf::readMatrix()
{
    alignToByte();
    if (readBits(1)) {
        int32_t n = static_cast<int32_t>(readBits(5));
        readBits(n);
        readBits(n);
    }
    if (readBits(1)) {
        int32_t n = static_cast<int32_t>(readBits(5));
        readBits(n);
        readBits(n);
    }
    int32_t n = static_cast<int32_t>(readBits(5));
    readBits(n);
    readBits(n);
}

void Vswf::readRect()
{
    alignToByte();
    int32_t n = static_cast<int32_t>(readBits(5));
    for (int32_t& v : m_rect) {
        v = readSBits(n);
    }
}

int32_t Vswf::readTagHeader()
{
    int32_t v = readU16();
    int32_t length = v & 63;
    if (length == 63) {
        length = readU32();
    }
    m_tagEnd = wrapAdd(m_bytePosition, length);
    return v >> 6;
}

void Vswf::readTags(int32_t nested)
{
    if (nested != 0) {
        readU16();  // sprite id
        readU16();  // frame count
    }
    while (!m_endOfFile) {
        int32_t code = readTagHeader();
        if (code == 0 || code == -1 || m_endOfFile) {
            break;
        }
        if (code == 2) {
            readShape(0);
        } else if (code == 22) {
            readShape(2);
        } else if (code == 32) {
            readShape(3);
        } else {
            while (m_bytePosition < m_tagEnd && !m_endOfFile) {
                readByte();
            }
        }
    }
}

void Vswf::readShape(int32_t version)
{
    m_penX = m_originX;
    m_penY = m_originY;
    moveBy(0, 0);
    m_fill0 = m_fill1 = 0;
    readU16();   // shape id
    readRect();  // bounds
    readStyles(version);
    m_numFillBits = static_cast<int32_t>(readBits(4));
    m_numLineBits = static_cast<int32_t>(readBits(4));
    // A truncated shape ends with the file: an end of file reads as all ones,
    // which would otherwise look like edges for ever.
    while (!m_endOfFile && readShapeRecord(version) == 0) {}
}

void Vswf::readStyles(int32_t version)
{
    int32_t count = readU8();
    if (count == 255) {
        count = readU16();
    }
    if (count < 0) {
        return;
    }
    if (count >= m_fillMap.length()) {
        deleteInt(m_fillMap);
        m_fillMap = allocInt(count + 1);
    }
    for (int32_t i = 1; i <= count && !m_endOfFile; ++i) {
        int32_t type = readU8();
        if (type & 0x10) {
            readMatrix();  // gradient: read past it, no fill of ours
            int32_t n = readU8();
            for (int32_t k = 0; k < n && !m_endOfFile; ++k) {
                readU8();
                readColour(version);
            }
        } else if (type & 0x40) {
            readU16();  // bitmap: read past it
            readMatrix();
        } else {
            m_fillMap[i] = m_target->addColour(readColour(version));
        }
    }
    int32_t lines = readU8();
    if (lines == 255) {
        lines = readU16();
    }
    for (int32_t i = 0; i < lines && !m_endOfFile; ++i) {
        readU16();            // width
        readColour(version);  // outlines are not drawn
    }
}

int32_t Vswf::mapFill(uint32_t index) const
{
    return index < static_cast<uint32_t>(m_fillMap.length()) ? m_fillMap[static_cast<int32_t>(index)] : 0;
}

int32_t Vswf::readShapeRecord(int32_t version)
{
    if (readBits(1)) {
        uint32_t straight = readBits(1);
        int32_t n = static_cast<int32_t>(readBits(4)) + 2;
        if (straight == 0) {
            Fixed x0 = m_curX, y0 = m_curY;
            readDelta(n);
            Fixed cx = m_curX, cy = m_curY;
            readDelta(n);
            curveTo(x0, y0, cx, cy, m_curX, m_curY, 0);
            return 0;
        }
        if (readBits(1)) {
            int32_t dx = readSBits(n);
            int32_t dy = readSBits(n);
            lineTo(dx, dy);
        } else if (readBits(1) == 0) {
            lineTo(readSBits(n), 0);
        } else {
            lineTo(0, readSBits(n));
        }
        return 0;
    }
    int32_t flags = static_cast<int32_t>(readBits(5));
    if (flags == 0) {
        return 1;
    }
    if (flags & 1) {
        // Move-to is absolute: from the frame's corner, wherever the pen was.
        m_penX = m_originX;
        m_penY = m_originY;
        readDelta(static_cast<int32_t>(readBits(5)));
    }
    if (flags & 2) {
        m_fill0 = mapFill(readBits(m_numFillBits));
    }
    if (flags & 4) {
        m_fill1 = mapFill(readBits(m_numFillBits));
    }
    if (flags & 8) {
        readBits(m_numLineBits);
    }
    if (flags & 16) {
        readStyles(version);
        m_numFillBits = static_cast<int32_t>(readBits(4));
        m_numLineBits = static_cast<int32_t>(readBits(4));
    }
    return 0;
}

void Vswf::readDelta(int32_t n)
{
    int32_t dx = readSBits(n);
    int32_t dy = readSBits(n);
    moveBy(dx, dy);
}

void Vswf::moveBy(int32_t dx, int32_t dy)
{
    m_penX = wrapAdd(m_penX, dx);
    m_penY = wrapAdd(m_penY, dy);
    m_curX = wrapAdd(wrapAdd(wrapMul(m_a, m_penX), wrapMul(m_b, m_penY)), m_tx);
    m_curY = wrapAdd(wrapAdd(wrapMul(m_c, m_penX), wrapMul(m_d, m_penY)), m_ty);
}

void Vswf::lineTo(int32_t dx, int32_t dy)
{
    Fixed x0 = m_curX;
    Fixed y0 = m_curY;
    moveBy(dx, dy);
    m_target->addEdge(x0, y0, m_curX, m_curY, m_fill0, m_fill1);
}

void Vswf::curveTo(Fixed x0, Fixed y0, Fixed cx, Fixed cy, Fixed x1, Fixed y1, int32_t depth)
{
    int32_t r0 = y0 >> 15;
    int32_t r1 = y1 >> 15;
    int32_t rc = cy >> 15;
    int32_t rowSpan = r0 > r1 ? r0 - r1 : r1 - r0;
    // Each split costs a piece of the file's budget, so no file of curves can
    // multiply into more edges than that budget, whatever its size.
    if ((rowSpan <= 1 && (rc == r0 || rc == r1)) || depth >= kMaxCurveDepth || m_curvePiecesLeft <= 0) {
        m_target->addEdge(x0, y0, x1, y1, m_fill0, m_fill1);
        return;
    }
    // Midpoints through 64 bits, so that far-off points cannot overflow.
    auto mid = [](Fixed a, Fixed b) { return static_cast<Fixed>((static_cast<int64_t>(a) + b) >> 1); };
    Fixed mx0 = mid(x0, cx), my0 = mid(y0, cy);
    Fixed mx1 = mid(cx, x1), my1 = mid(cy, y1);
    Fixed mx = mid(mx0, mx1), my = mid(my0, my1);
    if (chordDistanceSq(mx >> 15, my >> 15, x0 >> 15, y0 >> 15, x1 >> 15, y1 >> 15) != 0) {
        --m_curvePiecesLeft;
        curveTo(x0, y0, mx0, my0, mx, my, depth + 1);
        curveTo(mx, my, mx1, my1, x1, y1, depth + 1);
    } else {
        m_target->addEdge(x0, y0, x1, y1, m_fill0, m_fill1);
    }
}

}  // namespace tarnby
