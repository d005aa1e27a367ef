// The shape-file reader: hole drawings and small vector shapes, stored as
// uncompressed SWF files, turned into the crossings of a polygon sprite.
//
// File layout (integers little-endian; bit fields most significant bit first,
// starting on a byte boundary wherever a byte or a RECT is read):
//
// | part                 | contents                                                        |
// |----------------------|-----------------------------------------------------------------|
// | signature            | "FWS" and a version byte                                        |
// | file length          | u32 (not used)                                                  |
// | frame                | RECT: 5-bit width n, then xMin, xMax, yMin, yMax as signed n bits (twips) |
// | frame rate, count    | u16 each (not used)                                             |
// | tags                 | u16 header: code << 6 | length; length 63 = a u32 length follows |
//
// Tags read: 2 DefineShape (RGB colours), 22 DefineShape2 (RGB), 32 DefineShape3
// (RGBA colours); 0 ends the file; every other tag is skipped by its length.
//
// | shape tag body       | contents                                                        |
// |----------------------|-----------------------------------------------------------------|
// | id, bounds           | u16, RECT (not used)                                            |
// | fill styles          | u8 count (255: u16 count follows); per style a type byte: 0x00 solid + colour; 0x10/0x12
// gradient: MATRIX, u8 n, n x (ratio u8, colour); 0x40-0x43 bitmap: u16 id, MATRIX | | line styles          | u8 count
// (255: u16 follows); per style u16 width, colour        | | bit widths           | 4 bits fill-index width, 4 bits
// line-index width                | | records              | until the end record (below) |
//
// Shape records (bit fields):
// | record               | bits                                                            |
// |----------------------|-----------------------------------------------------------------|
// | style change / end   | 0, 5 flags (0 = end); 1: move-to (5-bit n, x, y signed n bits, from the frame's corner); 2:
// fill 0 index; 4: fill 1 index; 8: line index; 16: new fill and line styles and bit widths | | straight edge        |
// 1, 1, 4-bit n-2, general flag; general: dx, dy; else vertical flag and dx or dy (signed n bits) | | curved edge | 1,
// 0, 4-bit n-2, control dx, dy, anchor dx, dy (signed n bits, each from the previous point) |
//
// MATRIX: scale flag (5-bit n, two n-bit values), rotate flag (the same), then
// 5-bit n and two n-bit translate values. Colours are R, G, B bytes, and an
// alpha byte in DefineShape3.
//
// The frame is scaled so that its width fills the target's width (both axes)
// and centred on the target; fill 0 of a style change is the region on the left
// of the edge's direction, fill 1 on its right (the map seen from above, y down).
//
// Budget: a file of at most kMaxFileBytes (16 MB) is read whole, once; a larger
// one is refused. Every byte is read once, each fill-style count is at most
// 65535 (one table of as many entries), a curve is split at most 16 levels
// deep and all curves of a file together into at most kMaxCurvePieces edges
// (beyond that a curve is drawn as its chord), and the drawing holds at most
// its crossing capacity, so time and memory grow linearly with the file.
#pragma once

#include <cstdint>

#include "fixed/fixed.h"
#include "runtime/array.h"
#include "runtime/byte_reader.h"
#include "runtime/string.h"
#include "runtime/v.h"
#include "vector/vpolyn.h"

namespace tarnby {

class Vswf : public V {
public:
    // The largest shape file read, and the most edges all curves of one file
    // may be split into.
    static constexpr int32_t kMaxFileBytes = 16 << 20;
    static constexpr int32_t kMaxCurvePieces = 1 << 22;

    Vswf();

    // Squared distance in whole pixels from P to its foot on the segment AB, or
    // 0x7FFFFFFF when the foot lies outside it (or AB is a point).
    static int32_t chordDistanceSq(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by);

    // Clears `target` to width x height pixels (room for edgeCapacity crossings,
    // fillCount fills) and draws the data file `name` into it, turned by `angle`
    // about its centre. A missing file prints "Could not open " and leaves the
    // drawing empty; so does a file that is not a shape file. Gives true when
    // the file was read.
    bool load(const Ref<Vpolyn>& target, const Ref<String>& name, int32_t width, int32_t height, int32_t edgeCapacity,
        int32_t fillCount, int32_t angle);
    // The same from bytes already in memory; `name` names them in messages.
    bool loadBytes(const Ref<Vpolyn>& target, const ByteArray& bytes, int32_t width, int32_t height,
        int32_t edgeCapacity, int32_t fillCount, int32_t angle, const char* name = "shape data");
    // Whether the last file read was drawn whole: false when it was refused,
    // ended before its end tag or held more crossings than the drawing (a line
    // has said which; what was read is drawn all the same).
    bool readWhole() const { return m_whole; }

    // --- Exposed for tests -------------------------------------------------
    int32_t fillMapLength() const { return m_fillMap.length(); }
    int32_t fillMapEntry(int32_t i) const { return i >= 0 && i < m_fillMap.length() ? m_fillMap[i] : 0; }
    // Edges the curves of the last file were split into beyond one each.
    int32_t curvePiecesUsed() const { return kMaxCurvePieces - m_curvePiecesLeft; }

private:
    // Reads the open input into the target; 1 when read, 0 when rejected.
    int32_t open(int32_t angle, const char* name);
    int32_t readByte();
    int32_t readU8();
    int32_t readU16();
    int32_t readU32();
    uint32_t readBits(int32_t n);
    int32_t readSBits(int32_t n);
    uint32_t readColour(int32_t version);
    void readMatrix();
    void readRect();
    int32_t readTagHeader();
    void alignToByte()
    {
        m_bitBuffer = 0;
        m_bitsLeft = 0;
    }
    void readTags(int32_t nested);
    void readShape(int32_t version);
    int32_t readShapeRecord(int32_t version);
    void readStyles(int32_t version);
    void readDelta(int32_t n);
    void moveBy(int32_t dx, int32_t dy);
    void lineTo(int32_t dx, int32_t dy);
    void curveTo(Fixed x0, Fixed y0, Fixed cx, Fixed cy, Fixed x1, Fixed y1, int32_t depth);
    int32_t mapFill(uint32_t index) const;
    void begin(const Ref<Vpolyn>& target, int32_t width, int32_t height, int32_t edgeCapacity, int32_t fillCount);
    void end();

    int32_t m_bitBuffer = 0;
    int32_t m_bitsLeft = 0;
    IntArray m_fillMap;
    Ref<Vpolyn> m_target;
    int32_t m_bytePosition = 0;
    int32_t m_fill0 = 0;
    int32_t m_fill1 = 0;
    int32_t m_numFillBits = 0;
    int32_t m_numLineBits = 0;
    int32_t m_tagEnd = 0;
    Fixed m_curX = 0;
    Fixed m_curY = 0;
    int32_t m_rect[4] = { 0, 0, 0, 0 };
    Fixed m_tx = 0;
    Fixed m_ty = 0;
    Fixed m_a = 0;
    Fixed m_b = 0;
    Fixed m_d = 0;
    Fixed m_c = 0;
    int32_t m_penX = 0;
    int32_t m_penY = 0;
    int32_t m_originX = 0;
    int32_t m_originY = 0;
    // The file's bytes, and edges curves may still be split into.
    ByteReader m_reader;
    int32_t m_curvePiecesLeft = 0;
    bool m_endOfFile = false;
    bool m_whole = false;
};

}  // namespace tarnby
