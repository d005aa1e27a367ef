// Shared helpers for the tests: a scratch folder per test, data files, the build folder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarnby::test {

// A fresh empty folder under the build tree for one test's files (one per
// process, so parallel tests never share it), made the data folder of the
// runtime while the object lives.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& name);
    ~ScratchFolder();
    const std::string& path() const { return m_path; }
    std::string file(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
    std::string m_oldFolder;
};

// Writes bytes to a file (a test's own data files); true when all were written.
bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// The folder where the build puts programs and generated data, and the
// checkout's top folder (both end in '/'). Only test_support.cpp knows where
// they are, so no other test object depends on the build's place.
std::string binFolder();
std::string sourceFolder();

// What a program of the build said (standard output and error together) and
// its exit status (-1 when it did not exit normally).
struct ProgramRun {
    int status = -1;
    std::string output;
};
// Runs `program` from binFolder() with `arguments` (shell words) and waits for it.
ProgramRun runProgram(const std::string& program, const std::string& arguments);

// The ways a test damages a data file: removed, emptied, cut to half its
// length, or every byte replaced by garbage (the length kept).
enum class Damage { Missing, Empty, CutShort, Garbage };
inline constexpr Damage kDamages[] = { Damage::Missing, Damage::Empty, Damage::CutShort, Damage::Garbage };
const char* damageName(Damage how);
// Damages the file at `path` in place; false when it is not a file of more
// than 16 bytes (a generated file that is missing) or cannot be rewritten.
bool damageFile(const std::string& path, Damage how);

// The lines of a text file (a log, a script), without their line ends.
std::vector<std::string> readLines(const std::string& path);

}  // namespace tarnby::test
