// The runtime: reference counts, arrays with shared counts, strings and the
// string pool, the random source, angles, diagnostics, data files and their
// stamp, the bounded byte reader (packed numbers through the writers' encoder,
// their edges, little-endian words, reads that ask for more than is left) and
// the worker pool.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include "runtime/array.h"
#include "runtime/byte_reader.h"
#include "runtime/data_stamp.h"
#include "runtime/files.h"
#include "runtime/object.h"
#include "runtime/random.h"
#include "runtime/string.h"
#include "runtime/stringbuffer.h"
#include "runtime/v.h"
#include "runtime/worker_pool.h"
#include "support/test_support.h"
#include "writer-support/packed_number.h"

namespace tarnby {
namespace {

// The order in which objects are destroyed.
std::vector<int> g_destroyed;

class Probe : public Object {
public:
    explicit Probe(int id) : m_id(id) {}
    ~Probe() override { g_destroyed.push_back(m_id); }

private:
    int m_id;
};

TEST(ObjectTest, HandlesCountCopiesAndArraysReleaseLastToFirst)
{
    g_destroyed.clear();
    Probe* raw = new Probe(1);
    EXPECT_EQ(raw->refCount(), 0) << "objects start with no owner";
    {
        Ref<Probe> a(raw);
        Ref<Probe> b = a;
        EXPECT_EQ(raw->refCount(), 2);
        Ref<Probe> c = std::move(b);
        EXPECT_EQ(raw->refCount(), 2) << "a move hands the count over";
        EXPECT_FALSE(b);  // NOLINT(bugprone-use-after-move): a moved-from handle is empty
        Ref<Probe>& alias = a;
        a = alias;  // self-assignment keeps the object
        c = nullptr;
        EXPECT_EQ(raw->refCount(), 1);
        EXPECT_TRUE(g_destroyed.empty());
    }
    EXPECT_EQ(g_destroyed, std::vector<int> { 1 });
    {
        RefArray<Probe> array(3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(array[i]) << "elements start null";
            array[i] = make<Probe>(i + 2);
        }
        RefArray<Probe> shared = array;
        EXPECT_EQ(array.shareCount(), 2);
        array = RefArray<Probe>();
        EXPECT_EQ(g_destroyed.size(), 1u) << "the second handle still holds the elements";
    }
    EXPECT_EQ(g_destroyed, (std::vector<int> { 1, 4, 3, 2 }));
}

TEST(ArrayTest, EmptyHandleAndAccounting)
{
    IntArray empty = allocInt(0);
    IntArray copy = empty;  // copying and dropping the empty handle does nothing
    EXPECT_EQ(empty.data(), nullptr);
    EXPECT_EQ((std::vector<int32_t> { empty.length(), empty.shareCount(), copy.shareCount() }),
        (std::vector<int32_t> { 0, 0, 0 }));
    const int64_t before = avail();
    ByteArray bytes = allocByte(100);
    IntArray ints = allocInt(10);
    ShortArray shorts = allocShort(5);
    EXPECT_EQ(avail(), before - 100 - 40 - 10);
    for (int32_t i = 0; i < bytes.length(); ++i) {
        ASSERT_EQ(bytes[i], 0) << "byte arrays are zero-filled, index " << i;
    }
    deleteByte(bytes);
    deleteInt(ints);
    EXPECT_EQ(avail(), before - 10) << "deletion gives back what allocation took";
    EXPECT_TRUE(bytes.empty());
    shorts = ShortArray();
    EXPECT_EQ(avail(), before) << "dropping the last handle gives the storage back too";

    {
        IntArray shared = allocInt(1000);
        IntArray holder = shared;
        deleteInt(shared);
        EXPECT_EQ(avail(), before - 4000) << "a storage still held elsewhere stays charged";
        IntArray unaccounted(50);
        unaccounted.accountStorage();
        unaccounted.accountStorage();
        EXPECT_EQ(avail(), before - 4200) << "storage is charged once";
    }
    EXPECT_EQ(avail(), before) << "handles going out of scope give everything back";

    // More than 2 GiB charged at once must not wrap the counter.
    account(3000LL * (1 << 20));
    EXPECT_EQ(avail(), before - 3000LL * (1 << 20));
    account(-3000LL * (1 << 20));
    EXPECT_EQ(avail(), before);
}

TEST(StringTest, PoolByteRangesAndBuffersGrowingByTenPastTheirLength)
{
    Ref<String> a = String::intern("Tarnby Classic");
    char other[] = "Tarnby Classic";
    EXPECT_EQ(a.get(), String::intern(other).get()) << "the pool gives one object per text";
    EXPECT_FALSE(a->ownsChars());
    EXPECT_GE(a->refCount(), 2) << "the pool keeps its own count, so it never reaches 0";
    EXPECT_NE(String::intern("Rivaru Reruz").get(), a.get());

    ByteArray bytes(5);
    std::copy_n("hello", 5, bytes.begin());
    EXPECT_STREQ(String::fromBytes(bytes, 1, 3)->chars(), "ell");
    EXPECT_STREQ(String::fromBytes(bytes, 2, 3)->chars(), "llo") << "a range may end at the array's end";
    for (auto [offset, count] : { std::pair { 4, 9 }, { 6, 0 }, { 1, -1 }, { -1, 2 } }) {
        EXPECT_STREQ(String::fromBytes(bytes, offset, count)->chars(), "")
            << "a range outside the array gives an empty string: " << offset << ", " << count;
    }

    StringBuffer buffer;
    EXPECT_EQ(buffer.capacity(), 10);
    buffer.append("0123456789");
    EXPECT_EQ(buffer.capacity(), 10) << "exactly full does not grow";
    buffer.appendChar('a');
    EXPECT_EQ(buffer.capacity(), 21) << "one more character: length + 1 + 10";
    buffer.append("bcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ((std::vector<int32_t> { buffer.length(), buffer.capacity() }), (std::vector<int32_t> { 36, 46 }))
        << "a string: length + n + 10";
    buffer.append(-305);
    EXPECT_STREQ(buffer.toString()->chars(), "0123456789abcdefghijklmnopqrstuvwxyz-305");
    StringBuffer fromString(String::intern("Par "));
    fromString.append(4);
    EXPECT_STREQ(fromString.chars(), "Par 4");
}

TEST(RandomTest, SequenceIsTheLaggedFibonacciOfTheTable)
{
    // Replay the generator by hand from the table for tick 5: (5 & 31) + 54
    // warm-up calls, then compare the next values.
    uint8_t table[54];
    for (int i = 0; i < 54; ++i) {
        table[i] = static_cast<uint8_t>(74 + 21 * i);
    }
    int j = 23, k = 54;
    auto next = [&] {
        j = j == 0 ? 53 : j - 1;
        k = k == 0 ? 53 : k - 1;
        table[k] = static_cast<uint8_t>(table[k] + table[j]);
        return table[k] * 128;
    };
    for (int i = 0; i < 59; ++i) {
        next();
    }
    reseedRandom(5);
    for (int i = 0; i < 500; ++i) {
        ASSERT_EQ(random(), next()) << "call " << i;
    }
    reseedRandom(37);  // only the low five bits of the tick matter
    const int32_t a = random();
    reseedRandom(5);
    EXPECT_EQ(a, random());
}

TEST(AngleTest, Atan2QuadrantsAndEdges)
{
    EXPECT_EQ(V::atan2(0, 0), 4096) << "d is taken as 1, r = 0";
    EXPECT_EQ(V::atan2(0, -1), 16384) << "half a turn";
    EXPECT_EQ(V::atan2(0, 0x8000), 4096 - 5119 + 1023) << "r = ONE: both multiplies short-cut";
    EXPECT_EQ(V::atan2(0x8000, 0), 8192) << "a quarter turn";
    for (int32_t y : { 1, 100, 0x8000, 0x123456 }) {
        for (int32_t x : { -0x40000, -7, 0, 3, 0x8000 }) {
            EXPECT_EQ(V::atan2(-y, x), -V::atan2(y, x)) << "y " << y << " x " << x;
        }
    }
    EXPECT_EQ(V::atan2(0x8000, 0x8000), 4096) << "the diagonals are exact";
    EXPECT_EQ(V::atan2(0x8000, -0x8000), 12288);
    EXPECT_EQ(V::atan2(0x8000, 0x10000), 2427) << "26.6 degrees (true 2418) from the cubic fit";
}

TEST(LogTest, ThreeFormats)
{
    testing::internal::CaptureStdout();
    V::log("score", 4, -1);
    V::log("hole", 18);
    V::log("Could not open x");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "score 4 -1\nhole 18\nCould not open x\n");
}

TEST(FilesTest, NamesPathsReadsAndWritesThatReplaceTheWholeFileOrNothing)
{
    test::ScratchFolder folder("files");
    std::ofstream(folder.file("data.bin"), std::ios::binary) << "abcdef";
    Ref<InputStream> plain = InputStream::open("data.bin");
    Ref<InputStream> slashed = InputStream::open(String::intern("/data.bin"));
    ASSERT_TRUE(plain);
    ASSERT_TRUE(slashed) << "a leading slash is ignored";
    EXPECT_EQ(slashed->read(), 'a');

    ByteArray block(4);
    EXPECT_EQ(plain->read(block, 1, 3), 3);
    EXPECT_EQ(block[1], 'a');
    EXPECT_EQ(plain->read(block, 2, 3), -1) << "a request past the array's end reads nothing";
    EXPECT_EQ(plain->read(block, 0, 4), 3) << "short read at the end of the file";
    EXPECT_EQ(plain->read(), -1);
    EXPECT_EQ(plain->read(), -1) << "stays at the end";
    plain->close();
    plain->close();
    EXPECT_EQ(plain->read(), -1);

    ByteArray four(4), ten(10);
    EXPECT_TRUE(readFile(String::intern("data.bin"), four)) << "a longer file fills the array";
    EXPECT_FALSE(readFile(String::intern("data.bin"), ten)) << "a shorter file is a failure";
    EXPECT_EQ(ten[5], 'f') << "but keeps what was read";
    EXPECT_FALSE(readFile(String::intern("missing.bin"), four));
    EXPECT_FALSE(InputStream::open("missing.bin"));

    std::string longName(300, 'x');
    EXPECT_TRUE(dataPath(longName.c_str()).empty()) << "paths over the limit are missing files";
    EXPECT_FALSE(InputStream::open(longName.c_str()));

    // A write replaces the whole file or nothing.
    ByteArray save(40);
    for (int i = 0; i < 40; ++i) {
        save[i] = static_cast<uint8_t>(i * 3);
    }
    ASSERT_TRUE(writeFile(String::intern("tarnbygolf"), save));
    ByteArray back(40);
    ASSERT_TRUE(readFile(String::intern("tarnbygolf"), back));
    EXPECT_TRUE(std::equal(back.begin(), back.end(), save.begin()));
    EXPECT_FALSE(std::filesystem::exists(folder.file("tarnbygolf.tmp"))) << "no temporary file is left behind";

    // A folder that does not exist: failure is reported and nothing is written.
    EXPECT_FALSE(writeFile(String::intern("no-such-folder/tarnbygolf"), save));

    // A failed write leaves the old file whole: a folder in the way of the
    // temporary file makes the write fail before anything is replaced.
    std::filesystem::create_directory(folder.file("tarnbygolf.tmp"));
    ByteArray other(40);
    EXPECT_FALSE(writeFile(String::intern("tarnbygolf"), other));
    ASSERT_TRUE(readFile(String::intern("tarnbygolf"), back));
    EXPECT_EQ(back[39], save[39]);

    // What a kill during a save leaves: the old file whole and a temporary
    // beside it, which the next reader removes.
    std::filesystem::remove(folder.file("tarnbygolf.tmp"));
    std::ofstream(folder.file("tarnbygolf.tmp")) << "half a save";
    EXPECT_TRUE(removeStaleTemporary(folder.file("tarnbygolf")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("tarnbygolf.tmp")));
    EXPECT_FALSE(removeStaleTemporary(folder.file("tarnbygolf")));
    EXPECT_TRUE(std::filesystem::exists(folder.file("tarnbygolf")));
}

TEST(DataStampTest, AnUnfinishedOrMixedGenerationIsNamed)
{
    test::ScratchFolder folder("stamp");
    const std::string dir = folder.path();
    auto put = [&](const std::string& name, const std::string& text) { std::ofstream(dir + name) << text; };
    put("golf0.bin", "first segment");
    put("golf1.bin", "second segment");
    put("help.txt", "Aim with left and right.");
    put("golf-old.bin", "not made by this generation");
    EXPECT_EQ(checkDataStamp(dir), "Data files incomplete: " + dir
                                       + "golf-assets.stamp is missing: the data generation did not finish, build the "
                                         "game again");
    ASSERT_TRUE(writeDataStamp(dir, { "golf0.bin", "golf1.bin", "help.txt" }, { "golf2.bin" }));
    EXPECT_EQ(checkDataStamp(dir), "") << "a file the stamp does not name is none of its business";

    // Each way a listed file can differ from its generation, named precisely.
    const std::string rebuild = ": the data generation did not finish, build the game again";
    struct Case {
        const char* name;
        const char* text;  // nullptr: the file is removed
        std::string line;
    } cases[] = {
        { "golf1.bin", "second segmenT",
            "Data file " + dir + "golf1.bin is not the one generated with the others" + rebuild },
        { "golf1.bin", "second segment, longer",
            "Data file " + dir + "golf1.bin is not the one generated with the others" + rebuild },
        { "help.txt", "Aim", "Data file " + dir + "help.txt is cut short: 3 of 24 bytes" + rebuild },
        { "help.txt", "", "Data file " + dir + "help.txt is empty" + rebuild },
        { "help.txt", nullptr, "Data file missing: " + dir + "help.txt" + rebuild },
        // A segment the reader would take on after the last: a mixed bundle.
        { "golf2.bin", "a segment of another bundle",
            "Data file " + dir
                + "golf2.bin is left from another generation (the game would read it with the others): build "
                  "the game again" },
    };
    for (const Case& c : cases) {
        ByteArray before = readWholeFile(dir + c.name);
        if (c.text) {
            put(c.name, c.text);
        } else {
            std::filesystem::remove(dir + c.name);
        }
        EXPECT_EQ(checkDataStamp(dir), c.line) << c.name << " " << (c.text ? c.text : "removed");
        std::filesystem::remove(dir + c.name);
        if (!before.empty()) {
            ASSERT_TRUE(test::writeBytes(dir + c.name, std::vector<uint8_t>(before.begin(), before.end())));
        }
        ASSERT_EQ(checkDataStamp(dir), "") << "put back as it was";
    }

    // A stamp that cannot be trusted: damaged, an old layout, cut short even
    // at a line's end, naming a file outside the folder or one twice.
    const ByteArray good = readWholeFile(dir + "golf-assets.stamp");
    const std::string stamp(reinterpret_cast<const char*>(good.data()), static_cast<size_t>(good.length()));
    const size_t lastLine = stamp.rfind("end 4\n");
    ASSERT_NE(lastLine, std::string::npos) << stamp;
    const std::string body = stamp.substr(0, lastLine);
    const std::string golf0 = body.substr(body.find('\n') + 1, body.find("golf0.bin\n") - body.find('\n') + 9);
    const std::string cutShort = " (cut short: its last line is not the \"end\" line that counts the others)";
    struct Damaged {
        std::string text;
        std::string why;
    } damaged[] = {
        { "", " (empty)" },
        { "generated\n", " (its first line is not \"tarnby-data 2\")" },
        { "tarnby-data 1\n" + stamp.substr(stamp.find('\n') + 1), " (its first line is not \"tarnby-data 2\")" },
        { body, cutShort },
        { stamp.substr(0, stamp.size() - 1), cutShort },
        { "tarnby-data 2\nend 0\n", " (it lists no files)" },
        { body + "end 5\n", cutShort },
        { "tarnby-data 2\n13 0000000000000000 ../golf0.bin\nend 1\n", " (line 2)" },
        { "tarnby-data 2\n13 00000000000000zz golf0.bin\nend 1\n", " (line 2)" },
        { "tarnby-data 2\n" + golf0 + golf0 + "end 2\n", " (line 3)" },
        { "tarnby-data 2\nabsent\nend 1\n", " (line 2)" },
    };
    for (const Damaged& d : damaged) {
        put("golf-assets.stamp", d.text);
        EXPECT_EQ(checkDataStamp(dir),
            "Data files incomplete: " + dir + "golf-assets.stamp is damaged" + d.why + rebuild)
            << d.text;
    }
    std::ofstream(dir + "golf-assets.stamp") << std::string(70000, '\n');
    EXPECT_NE(checkDataStamp(dir).find("is damaged (longer than 65536 bytes)"), std::string::npos);

    // The generator's side: a generation starting over has no stamp, and only
    // plain names of files that are there, each once, can be stamped.
    EXPECT_TRUE(clearDataStamp(dir));
    EXPECT_NE(checkDataStamp(dir).find("is missing"), std::string::npos);
    EXPECT_FALSE(writeDataStamp(dir, { "help.txt", "nothing.wav" })) << "a file that is not there cannot be stamped";
    EXPECT_FALSE(writeDataStamp(dir, { "help.txt", "help.txt" }));
    EXPECT_FALSE(writeDataStamp(dir, { "../stamp/help.txt" }));
    EXPECT_FALSE(writeDataStamp(dir, { "help.txt" }, { "help.txt" }));
    EXPECT_FALSE(writeDataStamp(dir, {}, { "golf0.bin" })) << "a generation of no files";
    EXPECT_FALSE(std::filesystem::exists(dir + "golf-assets.stamp"));
}

TEST(ByteReaderTest, PackedNumbersRoundTripAndTellTheEndFromALargeValue)
{
    const std::vector<uint32_t> values = { 0, 1, 127, 128, 300, 16383, 16384, 0x1FFFFF, 0x200000, 0x0FFFFFFF,
        0x10000000, 0x7FFFFFFE, 0x7FFFFFFF };
    std::vector<uint8_t> encoded;
    for (uint32_t v : values) {
        appendPackedNumber(encoded, v);
    }
    ByteReader in(encoded.data(), encoded.size());
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
    ByteReader big(large.data(), large.size());
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
    ByteArray array(9);
    std::copy(raw.begin(), raw.end(), array.begin());
    ByteReader blocks(array);
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

// Counts how often each band ran and on which threads.
struct Tally {
    std::vector<std::atomic<int32_t>> runs;
    std::atomic<int32_t> otherThreads { 0 };
    std::thread::id caller = std::this_thread::get_id();

    explicit Tally(int32_t bands) : runs(static_cast<size_t>(bands)) {}

    static void job(void* context, int32_t band)
    {
        Tally& t = *static_cast<Tally*>(context);
        t.runs[static_cast<size_t>(band)].fetch_add(1, std::memory_order_relaxed);
        if (std::this_thread::get_id() != t.caller) {
            t.otherThreads.fetch_add(1, std::memory_order_relaxed);
        }
    }
};

TEST(WorkerPoolTest, EveryBandOfEveryRunRunsOnceWhateverTheThreadsAndTheCountsAreClamped)
{
    // Runs of a few sizes, then many short runs back to back: a worker that
    // wakes late for one run must neither take a band of the next one twice
    // nor miss one.
    for (int32_t threads : { 1, 2, 3, 8 }) {
        WorkerPool pool(threads);
        ASSERT_EQ(pool.threads(), threads);
        const int32_t sizes[] = { 1, 2, 3, 7, 64, 240 };
        for (int32_t run = 0; run < 200; ++run) {
            const int32_t bands = run < 6 ? sizes[run] : 1 + run % 13;
            Tally tally(bands);
            pool.run(&Tally::job, &tally, bands);
            for (int32_t b = 0; b < bands; ++b) {
                ASSERT_EQ(tally.runs[static_cast<size_t>(b)].load(), 1)
                    << "band " << b << " of " << bands << " in run " << run << " with " << threads << " threads";
            }
            if (threads == 1) {
                ASSERT_EQ(tally.otherThreads.load(), 0) << "a pool of one runs everything on the caller";
            }
        }
    }

    // No bands, no calls; no job, nothing to do and nothing to crash.
    WorkerPool pool(2);
    Tally none(1);
    pool.run(&Tally::job, &none, 0);
    pool.run(&Tally::job, &none, -5);
    pool.run(nullptr, &none, 4);
    EXPECT_EQ(none.runs[0].load(), 0);
    // At least the caller, at most the limit; the preferred count follows the
    // setting, and 0 goes back to the hardware's.
    EXPECT_EQ((std::vector<int32_t> { WorkerPool(0).threads(), WorkerPool(-3).threads(), WorkerPool(99).threads() }),
        (std::vector<int32_t> { 1, 1, WorkerPool::kMaxThreads }));
    const int32_t hardware = WorkerPool::preferredThreads();
    EXPECT_TRUE(hardware >= 1 && hardware <= WorkerPool::kMaxThreads) << hardware;
    for (auto [setting, threads] : { std::pair { 1, 1 }, { 50, WorkerPool::kMaxThreads }, { 0, hardware } }) {
        WorkerPool::setPreferredThreads(setting);
        EXPECT_EQ(WorkerPool::preferredThreads(), threads) << setting;
    }
}

}  // namespace
}  // namespace tarnby
