// Writing and checking the record of a complete data generation.
#include "runtime/data_stamp.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "runtime/files.h"

namespace tarnby {

namespace {

constexpr const char* kFirstLine = "tarnby-data 1";
constexpr int32_t kStampLimit = 64 << 10;
constexpr size_t kMostFiles = 1000;

// Size and 64-bit FNV-1a checksum of a file; false when it cannot be read.
bool measure(const std::string& path, uint64_t& size, uint64_t& sum)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    static thread_local std::vector<unsigned char> piece(64 << 10);
    size = 0;
    sum = 0xCBF29CE484222325ULL;
    for (;;) {
        const size_t n = std::fread(piece.data(), 1, piece.size(), file);
        for (size_t i = 0; i < n; ++i) {
            sum = (sum ^ piece[i]) * 0x100000001B3ULL;
        }
        size += n;
        if (n < piece.size()) {
            break;
        }
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

}  // namespace

bool clearDataStamp(const std::string& folder)
{
    const std::string path = folder + kDataStampName;
    std::remove(path.c_str());
    syncFolder(folder);
    std::FILE* left = std::fopen(path.c_str(), "rb");
    if (left) {
        std::fclose(left);
        return false;
    }
    return true;
}

bool writeDataStamp(const std::string& folder, const std::vector<std::string>& names)
{
    std::string text = std::string(kFirstLine) + "\n";
    for (const std::string& name : names) {
        uint64_t size = 0, sum = 0;
        if (name.empty() || name.find_first_of(" \n/") != std::string::npos || !measure(folder + name, size, sum)) {
            return false;
        }
        char line[64];
        (void)std::snprintf(line, sizeof line, "%" PRIu64 " %016" PRIx64 " ", size, sum);
        text += line + name + "\n";
    }
    return writeWholeFile(folder + kDataStampName, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string checkDataStamp(const std::string& folder)
{
    const std::string stampPath = folder + kDataStampName;
    ByteArray stamp = readWholeFile(stampPath, kStampLimit);
    const std::string rebuild = ": the data generation did not finish, build the game again";
    if (stamp.empty()) {
        return std::string("Data files incomplete: ") + stampPath + " is missing" + rebuild;
    }
    std::string text(reinterpret_cast<const char*>(stamp.data()), static_cast<size_t>(stamp.length()));
    size_t at = text.find('\n');
    if (at == std::string::npos || text.compare(0, at, kFirstLine) != 0) {
        return std::string("Data files incomplete: ") + stampPath + " is damaged" + rebuild;
    }
    size_t files = 0;
    for (size_t start = at + 1; start < text.size(); start = at + 1) {
        at = text.find('\n', start);
        if (at == std::string::npos || ++files > kMostFiles) {
            return std::string("Data files incomplete: ") + stampPath + " is damaged" + rebuild;
        }
        const std::string line = text.substr(start, at - start);
        char name[256];
        unsigned long long size = 0, sum = 0;
        if (line.size() >= 200 || std::sscanf(line.c_str(), "%llu %16llx %255s", &size, &sum, name) != 3) {
            return std::string("Data files incomplete: ") + stampPath + " is damaged" + rebuild;
        }
        uint64_t haveSize = 0, haveSum = 0;
        if (!measure(folder + name, haveSize, haveSum)) {
            return std::string("Data file missing: ") + folder + name + rebuild;
        }
        if (haveSize != size || haveSum != sum) {
            return std::string("Data file ") + folder + name + " is not the one generated with the others" + rebuild;
        }
    }
    return {};
}

}  // namespace tarnby
