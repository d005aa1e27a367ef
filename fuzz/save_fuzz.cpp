// Fuzz target: any bytes as a save file, read from memory, then the record
// used as the game uses it (its fields, a new top score, the mended round).
#include <cstddef>
#include <cstdint>

#include "golf/save_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace tarnby;
    ByteArray save(kSaveSize);
    if (!readSaveBytes(data, size, save)) {
        return 0;
    }
    int32_t sum = 0;
    for (int32_t offset = -2; offset <= kSaveSize; ++offset) {
        sum += readSaveShort(save, offset);
    }
    insertTopScore(save, sum % 70000, sum % 3);
    writeSaveShort(save, kSaveSize - 1, sum);
    return 0;
}
