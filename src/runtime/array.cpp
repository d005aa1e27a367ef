// Accounting allocators for the typed arrays.
#include "runtime/array.h"

namespace tarnby {

namespace {
int32_t g_avail = 0;
}

int32_t avail() { return g_avail; }

void account(int32_t bytes) { g_avail -= bytes; }

ByteArray allocByte(int32_t n)
{
    account(n);
    return ByteArray(n);
}

ShortArray allocShort(int32_t n)
{
    account(2 * n);
    return ShortArray(n);
}

IntArray allocInt(int32_t n)
{
    account(4 * n);
    return IntArray(n);
}

void deleteByte(ByteArray& array)
{
    g_avail += array.length();
    array = ByteArray();
}

void deleteInt(IntArray& array)
{
    g_avail += 4 * array.length();
    array = IntArray();
}

}  // namespace tarnby
