// Data-file access in the data folder.
#include "runtime/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <vector>

namespace tarnby {

namespace {

std::string& folderStorage()
{
    static std::string folder = "./";
    return folder;
}

}  // namespace

const std::string& dataFolder() { return folderStorage(); }

void setDataFolder(const std::string& folder)
{
    std::string f = folder.empty() ? std::string("./") : folder;
    if (f.back() != '/') {
        f.push_back('/');
    }
    folderStorage() = f;
}

std::string dataPath(const char* name)
{
    if (!name) {
        return {};
    }
    if (name[0] == '/') {
        ++name;
    }
    std::string path = dataFolder() + name;
    if (path.size() + 1 > static_cast<size_t>(kMaxPath)) {
        return {};
    }
    return path;
}

Ref<InputStream> InputStream::openPath(const std::string& path)
{
    if (path.empty()) {
        return nullptr;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return nullptr;
    }
    return Ref<InputStream>(new InputStream(file));
}

Ref<InputStream> InputStream::open(const char* name) { return openPath(dataPath(name)); }

Ref<InputStream> InputStream::open(const Ref<String>& name) { return name ? open(name->chars()) : nullptr; }

InputStream::~InputStream() { close(); }

int32_t InputStream::read()
{
    if (!m_file) {
        return -1;
    }
    int c = std::fgetc(m_file);
    return c == EOF ? -1 : c;
}

int32_t InputStream::read(const ByteArray& array, int32_t offset, int32_t count)
{
    if (!m_file || offset < 0 || count <= 0 || offset > array.length() || count > array.length() - offset) {
        return -1;
    }
    size_t n = std::fread(array.data() + offset, 1, static_cast<size_t>(count), m_file);
    return n == 0 ? -1 : static_cast<int32_t>(n);
}

void InputStream::close()
{
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
}

bool readFile(const Ref<String>& name, const ByteArray& array)
{
    Ref<InputStream> in = InputStream::open(name);
    if (!in) {
        return false;
    }
    if (array.length() == 0) {
        return true;
    }
    return in->read(array, 0, array.length()) == array.length();
}

bool writeFile(const Ref<String>& name, const ByteArray& array)
{
    std::string path = name ? dataPath(name->chars()) : std::string();
    if (path.empty()) {
        return false;
    }
    return writeWholeFile(path, array.data(), static_cast<size_t>(array.length()));
}

bool writeWholeFile(const std::string& path, const uint8_t* bytes, size_t length)
{
    std::string temporary = path + ".tmp";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool ok = length == 0 || std::fwrite(bytes, 1, length, file) == length;
    ok = std::fflush(file) == 0 && ok;
    ok = ::fsync(::fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok) {
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        return false;
    }
    const size_t slash = path.find_last_of('/');
    return syncFolder(slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1));
}

bool syncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    const bool ok = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return ok;
}

bool removeStaleTemporary(const std::string& path) { return std::remove((path + ".tmp").c_str()) == 0; }

FileRead readBoundedFile(const std::string& path, int32_t limit, ByteArray& bytes)
{
    bytes = ByteArray();
    limit = limit < 0 ? 0 : limit;
    std::FILE* file = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!file) {
        return FileRead::Missing;
    }
    // Read in pieces rather than trusting a size from the file system: a
    // folder, a pipe or a file that grows meanwhile reads as what it gives.
    constexpr size_t kPiece = 64 << 10;
    std::vector<uint8_t> held;
    bool failed = false;
    while (held.size() <= static_cast<size_t>(limit)) {
        const size_t at = held.size();
        held.resize(at + kPiece);
        const size_t n = std::fread(held.data() + at, 1, kPiece, file);
        held.resize(at + n);
        if (n < kPiece) {
            failed = std::ferror(file) != 0;
            break;
        }
    }
    std::fclose(file);
    if (failed) {
        return FileRead::Missing;
    }
    if (held.size() > static_cast<size_t>(limit)) {
        return FileRead::TooLarge;
    }
    if (!held.empty()) {
        bytes = ByteArray(static_cast<int32_t>(held.size()));
        std::memcpy(bytes.data(), held.data(), held.size());
    }
    return FileRead::Read;
}

ByteArray readWholeFile(const std::string& path, int32_t limit)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return {};
    }
    ByteArray result;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > 0 && size <= limit && std::fseek(file, 0, SEEK_SET) == 0) {
            ByteArray bytes(static_cast<int32_t>(size));
            if (std::fread(bytes.data(), 1, static_cast<size_t>(size), file) == static_cast<size_t>(size)) {
                result = bytes;
            }
        }
    }
    std::fclose(file);
    return result;
}

}  // namespace tarnby
