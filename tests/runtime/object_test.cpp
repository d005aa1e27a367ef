// Reference counts, arrays with shared counts, and the string pool.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"
#include "runtime/stringbuffer.h"

namespace tarnby {
namespace {

// Records the order in which objects are destroyed.
std::vector<int>* g_destroyed = nullptr;

class Probe : public Object {
public:
    explicit Probe(int id) : m_id(id) {}
    ~Probe() override
    {
        if (g_destroyed) {
            g_destroyed->push_back(m_id);
        }
    }

private:
    int m_id;
};

class ObjectTest : public ::testing::Test {
protected:
    void SetUp() override { g_destroyed = &m_destroyed; }
    void TearDown() override { g_destroyed = nullptr; }
    std::vector<int> m_destroyed;
};

TEST_F(ObjectTest, HandlesCountCopiesAndArraysReleaseLastToFirst)
{
    Probe* raw = new Probe(1);
    EXPECT_EQ(raw->refCount(), 0) << "objects start with no owner";
    {
        Ref<Probe> a(raw);
        Ref<Probe> b = a;
        EXPECT_EQ(raw->refCount(), 2);
        Ref<Probe> c = std::move(b);
        EXPECT_EQ(raw->refCount(), 2) << "a move hands the count over";
        EXPECT_FALSE(b);
        Ref<Probe>& alias = a;
        a = alias;  // self-assignment keeps the object
        c = nullptr;
        EXPECT_EQ(raw->refCount(), 1);
        EXPECT_TRUE(m_destroyed.empty());
    }
    EXPECT_EQ(m_destroyed, std::vector<int> { 1 });
    {
        RefArray<Probe> array(3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FALSE(array[i]) << "elements start null";
            array[i] = make<Probe>(i + 2);
        }
        RefArray<Probe> shared = array;
        EXPECT_EQ(array.shareCount(), 2);
        array = RefArray<Probe>();
        EXPECT_EQ(m_destroyed.size(), 1u) << "the second handle still holds the elements";
    }
    EXPECT_EQ(m_destroyed, (std::vector<int> { 1, 4, 3, 2 }));
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

TEST(StringTest, PoolGivesOneObjectPerText)
{
    Ref<String> a = String::intern("Tarnby Classic");
    char other[] = "Tarnby Classic";
    Ref<String> b = String::intern(other);
    EXPECT_EQ(a.get(), b.get());
    EXPECT_FALSE(a->ownsChars());
    EXPECT_GE(a->refCount(), 3) << "the pool keeps its own count, so it never reaches 0";
    EXPECT_NE(String::intern("Rivaru Reruz").get(), a.get());
}

TEST(StringTest, ConversionsAndSuffix)
{
    EXPECT_STREQ(String::fromInt(-2147483647 - 1)->chars(), "-2147483648");
    EXPECT_STREQ(String::fromInt(0)->chars(), "0");
    ByteArray bytes(5);
    std::copy_n("hello", 5, bytes.begin());
    EXPECT_STREQ(String::fromBytes(bytes, 1, 3)->chars(), "ell");
    EXPECT_STREQ(String::fromBytes(bytes, 2, 3)->chars(), "llo") << "a range may end at the array's end";
    for (auto [offset, count] : { std::pair { 4, 9 }, { 6, 0 }, { 1, -1 }, { -1, 2 } }) {
        EXPECT_STREQ(String::fromBytes(bytes, offset, count)->chars(), "")
            << "a range outside the array gives an empty string: " << offset << ", " << count;
    }
    EXPECT_STREQ(String::intern("1 1W-250")->suffixFrom2()->chars(), "1W-250");
    EXPECT_EQ(String::parseInt(*String::intern("  -42x")), -42);
    EXPECT_EQ(String::parseInt(*String::intern("par")), 0);
}

TEST(StringBufferTest, GrowsByTenPastItsLength)
{
    StringBuffer buffer;
    EXPECT_EQ(buffer.capacity(), 10);
    buffer.append("0123456789");
    EXPECT_EQ(buffer.capacity(), 10) << "exactly full does not grow";
    buffer.appendChar('a');
    EXPECT_EQ(buffer.capacity(), 21) << "one more character: length + 1 + 10";
    buffer.append("bcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(buffer.length(), 36);
    EXPECT_EQ(buffer.capacity(), 46) << "a string: length + n + 10";
    buffer.append(-305);
    EXPECT_STREQ(buffer.toString()->chars(), "0123456789abcdefghijklmnopqrstuvwxyz-305");

    StringBuffer fromString(String::intern("Par "));
    fromString.append(4);
    EXPECT_STREQ(fromString.chars(), "Par 4");
}

}  // namespace
}  // namespace tarnby
