// The data folder, script, shots' folder, log and time limit of a run of the game.
#include "platform/play/play_session.h"

#include <cstdio>
#include <filesystem>

#include "platform/play/game_data.h"

namespace tarnby {

int PlaySession::complain(const std::string& message, int status)
{
    std::printf("tarnby-golf: %s\n", message.c_str());
    std::fflush(stdout);
    return status;
}

int PlaySession::prepare(int32_t width, int32_t height)
{
    // The game's data sits beside the program unless --data names another folder.
    if (const std::string problem = useDataFolder(m_options.dataFolder); !problem.empty()) {
        return complain(problem, 1);
    }
    std::string error;
    if (!m_options.scriptPath.empty() && !m_script.load(m_options.scriptPath, width, height, error)) {
        // A script that is there but wrong is a usage error; one that cannot be read, a failure.
        return complain(error, error.rfind("cannot read", 0) == 0 ? 1 : 2);
    }
    if (m_script.takesShots()) {
        if (m_options.framesFolder.empty()) {
            return complain("the script takes shots: give --frames DIR for them", 2);
        }
        std::error_code made;
        std::filesystem::create_directories(m_options.framesFolder, made);
        if (made || !std::filesystem::is_directory(m_options.framesFolder, made)) {
            return complain("cannot make the frames folder " + m_options.framesFolder, 1);
        }
    }
    if (!m_options.logPath.empty() && !m_log.open(m_options.logPath)) {
        return complain("cannot write the log " + m_options.logPath, 1);
    }
    m_log.steps = m_options.logSteps;
    return 0;
}

void PlaySession::attachLog(Golf& game)
{
    if (!m_options.logPath.empty()) {
        game.setLog(&m_log);
    }
}

int64_t PlaySession::limit(bool endless) const
{
    if (m_options.maxMs >= 0) {
        return m_options.maxMs;
    }
    if (endless && m_options.scriptPath.empty()) {
        return -1;
    }
    return static_cast<int64_t>(m_script.endTime()) + 2000;
}

std::string PlaySession::shotPath(const std::string& name) const
{
    return (std::filesystem::path(m_options.framesFolder) / (name + ".png")).string();
}

bool PlaySession::finish(Golf* game)
{
    if (game != nullptr) {
        game->setLog(nullptr);
    }
    if (!m_log.close()) {
        complain("could not write the whole log " + m_options.logPath, 1);
        return false;
    }
    return true;
}

}  // namespace tarnby
