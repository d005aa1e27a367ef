// Accounting allocators for the typed arrays.
#include "runtime/array.h"

namespace tarnby {

namespace {
int64_t g_avail = 0;
}

int64_t avail() { return g_avail; }

void account(int64_t bytes) { g_avail -= bytes; }

ByteArray allocByte(int32_t n)
{
    ByteArray array(n);
    array.accountStorage();
    return array;
}

ShortArray allocShort(int32_t n)
{
    ShortArray array(n);
    array.accountStorage();
    return array;
}

IntArray allocInt(int32_t n)
{
    IntArray array(n);
    array.accountStorage();
    return array;
}

// The storage is given back when its last handle goes, which may be this one.
void deleteByte(ByteArray& array) { array = ByteArray(); }

void deleteInt(IntArray& array) { array = IntArray(); }

}  // namespace tarnby
