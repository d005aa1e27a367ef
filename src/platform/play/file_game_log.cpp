// The game's event log written to a file.
#include "platform/play/file_game_log.h"

namespace tarnby {

FileGameLog::~FileGameLog() { close(); }

bool FileGameLog::open(const std::string& path)
{
    close();
    m_failed = false;
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr;
}

void FileGameLog::write(const std::string& line)
{
    if (!m_file) {
        return;
    }
    if (std::fputs(line.c_str(), m_file) < 0 || std::fputc('\n', m_file) == EOF) {
        m_failed = true;
    }
}

bool FileGameLog::close()
{
    if (!m_file) {
        return !m_failed;
    }
    if (std::fclose(m_file) != 0) {
        m_failed = true;
    }
    m_file = nullptr;
    return !m_failed;
}

}  // namespace tarnby
