// The bounded byte reader: packed numbers through the writers' encoder, their
// edges (31 bits, overlong runs, an end inside a number), little-endian words,
// and reads that ask for more than is left.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "runtime/byte_reader.h"
#include "writer-support/packed_number.h"

namespace tarnby {
namespace {

ByteArray bytesOf(const std::vector<uint8_t>& v)
{
    ByteArray out(static_cast<int32_t>(v.size()));
    for (size_t i = 0; i < v.size(); ++i) {
        out[static_cast<int32_t>(i)] = v[i];
    }
    return out;
}

TEST(ByteReaderTest, PackedNumbersRoundTripAndTellTheEndFromALargeValue)
{
    const std::vector<uint32_t> values = { 0, 1, 127, 128, 300, 16383, 16384, 0x1FFFFF, 0x200000, 0x0FFFFFFF,
        0x10000000, 0x7FFFFFFE, 0x7FFFFFFF };
    std::vector<uint8_t> encoded;
    for (uint32_t v : values) {
        appendPackedNumber(encoded, v);
    }
    ByteReader in(bytesOf(encoded));
    for (uint32_t v : values) {
        EXPECT_EQ(in.readPacked(), static_cast<int32_t>(v)) << "value " << v;
    }
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.overrun()) << "every number was whole";
    EXPECT_EQ(in.readPacked(), ByteReader::kEnd);
    EXPECT_TRUE(in.overrun());

    // Beyond 31 bits is too large, never -1 or a wrapped small number; the
    // whole number is used up so the next one reads correctly.
    std::vector<uint8_t> large;
    for (uint32_t v : { 0x80000000u, 0xFFFFFFFFu }) {
        appendPackedNumber(large, v);
    }
    large.insert(large.end(), { 0x90, 0x80, 0x80, 0x80, 0x80, 0x05 });        // 2^60 + 5 would wrap to 5 in 32 bits
    large.insert(large.end(), { 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x07 });  // leading zero groups: 7
    appendPackedNumber(large, 9);
    ByteReader big(bytesOf(large));
    EXPECT_EQ(big.readPacked(), ByteReader::kTooLarge) << "2^31";
    EXPECT_EQ(big.readPacked(), ByteReader::kTooLarge) << "0xFFFFFFFF is not an end of file";
    EXPECT_EQ(big.readPacked(), ByteReader::kTooLarge) << "an overlong number does not wrap around";
    EXPECT_EQ(big.readPacked(), 7) << "zero groups in front change nothing";
    EXPECT_EQ(big.readPacked(), 9);
    EXPECT_FALSE(big.overrun());

    // The bytes end inside a number: the end, whatever the groups so far held.
    for (const std::vector<uint8_t>& cut : { std::vector<uint8_t> { 0x81 }, { 0xFF, 0xFF }, {} }) {
        ByteReader in2(cut.data(), cut.size());
        EXPECT_EQ(in2.readPacked(), ByteReader::kEnd) << cut.size() << " bytes";
        EXPECT_TRUE(in2.atEnd() && in2.overrun());
    }
}

TEST(ByteReaderTest, WordsAndBlocksNeverReadPastTheEnd)
{
    const std::vector<uint8_t> raw = { 0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0xFF, 0xFE, 0xAB };
    ByteReader in(raw.data(), raw.size());
    EXPECT_EQ(in.size(), 9);
    EXPECT_EQ(in.readU16(), 0x1234) << "low byte first";
    uint32_t word = 0;
    EXPECT_TRUE(in.readU32(word));
    EXPECT_EQ(word, 0x12345678u);
    EXPECT_EQ(in.readU16(), 0xFEFF) << "a word is unsigned";
    EXPECT_EQ(in.position(), 8);
    EXPECT_FALSE(in.readU32(word)) << "one byte left for a 32-bit word";
    EXPECT_EQ(word, 0u);
    EXPECT_TRUE(in.atEnd() && in.overrun()) << "a short word uses up what was left";
    EXPECT_EQ(in.readByte(), ByteReader::kEnd);
    EXPECT_EQ(in.position(), 9) << "the position never passes the end";

    ByteReader odd(raw.data(), 1);
    EXPECT_EQ(odd.readU16(), ByteReader::kEnd);

    // A block larger than what is left allocates nothing and reads nothing.
    ByteReader blocks(bytesOf(raw));
    ASSERT_TRUE(blocks.skip(2));
    const int64_t before = avail();
    EXPECT_TRUE(blocks.readBytes(8).empty());
    EXPECT_TRUE(blocks.readBytes(0x7FFFFFFF).empty());
    EXPECT_EQ(avail(), before) << "no memory taken for a count beyond the data";
    EXPECT_EQ(blocks.position(), 2);
    ByteArray four = blocks.readBytes(4);
    ASSERT_EQ(four.length(), 4);
    EXPECT_EQ(four[0], 0x78);
    EXPECT_EQ(four[3], 0x12);
    EXPECT_EQ(before - avail(), 4) << "the block read is charged to the memory counter";
    uint8_t out[8] = {};
    EXPECT_EQ(blocks.readInto(out, 8), 3) << "readInto copies what is left";
    EXPECT_EQ(out[2], 0xAB);
    EXPECT_FALSE(blocks.skip(1));
    EXPECT_FALSE(ByteReader(raw.data(), raw.size()).skip(-1)) << "a negative skip is refused";

    ByteReader none(nullptr, 100);
    EXPECT_EQ(none.size(), 0) << "no bytes at all, whatever size was claimed";
    EXPECT_EQ(none.readByte(), ByteReader::kEnd);
}

}  // namespace
}  // namespace tarnby
