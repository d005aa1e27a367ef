// Shared test helpers.
#include "support/test_support.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/files.h"

namespace tarnby::test {

ScratchFolder::ScratchFolder(const std::string& name) : m_oldFolder(dataFolder())
{
    // CTest runs test programs in parallel, often several cases of one program
    // at once: the process id keeps their folders apart.
    std::filesystem::path p = std::filesystem::path(TARNBY_BIN_DIR) / ".." / "test-scratch"
                              / (name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(p);
    std::filesystem::create_directories(p);
    m_path = std::filesystem::weakly_canonical(p).string() + "/";
    setDataFolder(m_path);
}

ScratchFolder::~ScratchFolder()
{
    setDataFolder(m_oldFolder);
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return writeWholeFile(path, bytes.data(), bytes.size());
}

std::string binFolder() { return std::string(TARNBY_BIN_DIR) + "/"; }

std::string sourceFolder() { return std::string(TARNBY_SOURCE_DIR) + "/"; }

ProgramRun runProgram(const std::string& program, const std::string& arguments)
{
    ProgramRun run;
    const std::string command = binFolder() + program + " " + arguments + " 2>&1";
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) {
        run.output += buffer;
    }
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

const char* damageName(Damage how)
{
    constexpr const char* kNames[] = { "missing", "empty", "cut short", "garbage" };
    return kNames[static_cast<int>(how)];
}

bool damageFile(const std::string& path, Damage how)
{
    ByteArray bytes = readWholeFile(path);
    if (bytes.length() <= 16) {
        return false;
    }
    std::vector<uint8_t> out(bytes.begin(), bytes.end());
    switch (how) {
    case Damage::Missing: return std::filesystem::remove(path);
    case Damage::Empty: out.clear(); break;
    case Damage::CutShort: out.resize(out.size() / 2); break;
    case Damage::Garbage: {
        uint32_t x = 12345;
        for (uint8_t& b : out) {
            x = x * 1103515245u + 12345u;
            b = static_cast<uint8_t>(x >> 24);
        }
        break;
    }
    }
    return writeBytes(path, out);
}

std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace tarnby::test
