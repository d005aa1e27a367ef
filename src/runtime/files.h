// Data files: every file of the game lives in the folder of the executable and
// is opened by its bare name ("help.txt", "golf0.bin"; a leading "/" is ignored).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/array.h"
#include "runtime/object.h"
#include "runtime/string.h"

namespace tarnby {

// Longest path, terminating NUL included; longer paths count as missing files.
constexpr int32_t kMaxPath = 260;

// The folder data names are relative to, with a trailing "/" ("./" until set).
// The platform sets it at start-up to the executable's folder, where the game's
// data files sit; tests and tools may point it elsewhere. An empty folder means
// "./"; a missing trailing "/" is added.
const std::string& dataFolder();
void setDataFolder(const std::string& folder);

// The full path of a data name, or an empty string when it would be too long.
std::string dataPath(const char* name);

class InputStream : public Object {
public:
    // Opens a data file for reading, or gives null when it cannot be opened.
    static Ref<InputStream> open(const Ref<String>& name);
    static Ref<InputStream> open(const char* name);
    // Opens a file by its own path (tools and inspectors).
    static Ref<InputStream> openPath(const std::string& path);

    ~InputStream() override;

    // Next byte as 0..255, or -1 at the end or once closed.
    int32_t read();
    // Up to `count` bytes into `array` at `offset` in one request: the number
    // read, or -1 when nothing could be read. A request outside the array reads nothing.
    int32_t read(const ByteArray& array, int32_t offset, int32_t count);
    void close();
    bool isOpen() const { return m_file != nullptr; }

private:
    explicit InputStream(std::FILE* file) : m_file(file) {}
    std::FILE* m_file;
};

// Reads exactly the array's length from the start of a data file: false when the
// file is missing or shorter (the array then holds what was read).
bool readFile(const Ref<String>& name, const ByteArray& array);

// Replaces a data file with the array's bytes. The bytes go to a temporary file
// in the same folder that is flushed and then renamed over the old one, so a
// crash or a full disk never leaves a half-written file: the result is true only
// when every byte reached the disk and the new file took the old one's place
// (the folder is flushed after the rename, so the new name survives a power cut).
bool writeFile(const Ref<String>& name, const ByteArray& array);
// The same for a file at any path (tools and inspectors).
bool writeWholeFile(const std::string& path, const uint8_t* bytes, size_t length);

// The same for a whole file of unknown length (tools and inspectors); gives an
// empty array when the file is missing or larger than `limit` bytes.
ByteArray readWholeFile(const std::string& path, int32_t limit = 64 << 20);

// What became of reading a whole file with readBoundedFile.
enum class FileRead { Read, Missing, TooLarge };

// Reads the whole file at `path` into `bytes` when it holds at most `limit`
// bytes (an empty file is Read, with an empty array). A missing or unreadable
// file is Missing and a longer one TooLarge, both with an empty array; never
// more than `limit` + 64 KB is held while finding out.
FileRead readBoundedFile(const std::string& path, int32_t limit, ByteArray& bytes);

// Removes the temporary file a writer killed mid-way left beside `path`; the
// file at `path` itself is whole (old or new) and stays. True when one was there.
bool removeStaleTemporary(const std::string& path);

// Flushes a folder's entries (names created, renamed or removed) to the disk.
bool syncFolder(const std::string& folder);

}  // namespace tarnby
