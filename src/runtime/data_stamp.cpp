// Writing and checking the record of a complete data generation.
#include "runtime/data_stamp.h"

#include <cinttypes>
#include <cstdio>
#include <set>

#include "runtime/files.h"

namespace tarnby {

namespace {

constexpr const char* kFirstLine = "tarnby-data 2";
constexpr int32_t kStampLimit = 64 << 10;
constexpr size_t kMostLines = 1000;
constexpr size_t kLongestName = 255;

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

// A file name of the folder itself: nothing that leads elsewhere or splits a line.
bool plainName(const std::string& name)
{
    if (name.empty() || name.size() > kLongestName || name == "." || name == "..") {
        return false;
    }
    for (char c : name) {
        if (c == '/' || static_cast<unsigned char>(c) <= ' ' || c == 0x7F) {
            return false;
        }
    }
    return true;
}

// A number written in `base` (10 or 16, lower-case digits) that fits 64 bits.
bool parseNumber(const std::string& text, uint64_t base, uint64_t& value)
{
    if (text.empty() || text.size() > (base == 16 ? 16u : 19u)) {
        return false;
    }
    value = 0;
    for (char c : text) {
        uint64_t digit = base;
        if (c >= '0' && c <= '9') {
            digit = static_cast<uint64_t>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<uint64_t>(c - 'a' + 10);
        }
        if (digit >= base) {
            return false;
        }
        value = value * base + digit;
    }
    return true;
}

// The words of a line split at single spaces.
std::vector<std::string> words(const std::string& line)
{
    std::vector<std::string> out(1);
    for (char c : line) {
        if (c == ' ') {
            out.emplace_back();
        } else {
            out.back().push_back(c);
        }
    }
    return out;
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

bool writeDataStamp(const std::string& folder, const std::vector<std::string>& names,
    const std::vector<std::string>& absent)
{
    std::string text = std::string(kFirstLine) + "\n";
    std::set<std::string> seen;
    for (const std::string& name : names) {
        uint64_t size = 0, sum = 0;
        if (!plainName(name) || !seen.insert(name).second || !measure(folder + name, size, sum)) {
            return false;
        }
        char line[64];
        (void)std::snprintf(line, sizeof line, "%" PRIu64 " %016" PRIx64 " ", size, sum);
        text += line + name + "\n";
    }
    for (const std::string& name : absent) {
        if (!plainName(name) || !seen.insert(name).second) {
            return false;
        }
        text += "absent " + name + "\n";
    }
    if (names.empty() || names.size() + absent.size() > kMostLines) {
        return false;
    }
    text += "end " + std::to_string(names.size() + absent.size()) + "\n";
    return writeWholeFile(folder + kDataStampName, reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

std::string checkDataStamp(const std::string& folder)
{
    const std::string stampPath = folder + kDataStampName;
    const std::string rebuild = ": the data generation did not finish, build the game again";
    ByteArray stamp;
    const FileRead read = readBoundedFile(stampPath, kStampLimit, stamp);
    if (read == FileRead::Missing) {
        return std::string("Data files incomplete: ") + stampPath + " is missing" + rebuild;
    }
    const std::string damaged = std::string("Data files incomplete: ") + stampPath + " is damaged";
    if (read == FileRead::TooLarge) {
        return damaged + " (longer than " + std::to_string(kStampLimit) + " bytes)" + rebuild;
    }
    if (stamp.empty()) {
        return damaged + " (empty)" + rebuild;
    }
    const std::string text(reinterpret_cast<const char*>(stamp.data()), static_cast<size_t>(stamp.length()));
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
        if (lines.size() > kMostLines + 1) {
            return damaged + " (more than " + std::to_string(kMostLines) + " files)" + rebuild;
        }
        lines.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    if (lines.empty() || lines.front() != kFirstLine) {
        return damaged + " (its first line is not \"" + kFirstLine + "\")" + rebuild;
    }
    // The last line counts the lines between: a stamp cut at a line's end lacks it.
    const std::vector<std::string> last = words(lines.back());
    uint64_t count = 0;
    if (start != text.size() || lines.size() < 2 || last.size() != 2 || last[0] != "end"
        || !parseNumber(last[1], 10, count) || count != lines.size() - 2) {
        return damaged + " (cut short: its last line is not the \"end\" line that counts the others)" + rebuild;
    }
    if (count == 0) {
        return damaged + " (it lists no files)" + rebuild;
    }
    std::set<std::string> seen;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        const std::vector<std::string> w = words(lines[i]);
        const std::string& name = w.back();
        const std::string lineNumber = " (line " + std::to_string(i + 1) + ")";
        uint64_t size = 0, sum = 0;
        const bool absent = w.size() == 2 && w[0] == "absent";
        if (!(absent
                || (w.size() == 3 && parseNumber(w[0], 10, size) && w[1].size() == 16 && parseNumber(w[1], 16, sum)))
            || !plainName(name) || !seen.insert(name).second) {
            return damaged + lineNumber + rebuild;
        }
        const std::string path = folder + name;
        uint64_t haveSize = 0, haveSum = 0;
        const bool there = measure(path, haveSize, haveSum);
        if (absent) {
            if (there) {
                return "Data file " + path
                       + " is left from another generation (the game would read it with the others): build the game "
                         "again";
            }
            continue;
        }
        if (!there) {
            return "Data file missing: " + path + rebuild;
        }
        if (haveSize == 0 && size > 0) {
            return "Data file " + path + " is empty" + rebuild;
        }
        if (haveSize < size) {
            return "Data file " + path + " is cut short: " + std::to_string(haveSize) + " of " + std::to_string(size)
                   + " bytes" + rebuild;
        }
        if (haveSize != size || haveSum != sum) {
            return "Data file " + path + " is not the one generated with the others" + rebuild;
        }
    }
    return {};
}

}  // namespace tarnby
