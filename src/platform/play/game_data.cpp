// The data folder at start-up and its generation stamp.
#include "platform/play/game_data.h"

#include <filesystem>

#include "platform/headless/executable_folder.h"
#include "runtime/data_stamp.h"
#include "runtime/files.h"

namespace tarnby {

std::string useDataFolder(const std::string& folder)
{
    setDataFolder(folder.empty() ? executableFolder() : folder);
    std::error_code error;
    if (!folder.empty() && !std::filesystem::exists(dataFolder() + kDataStampName, error)) {
        return {};
    }
    return checkDataStamp(dataFolder());
}

}  // namespace tarnby
