#include "app/cli/ConfigRead.h"

#include "config/core/ConfigStore.h"

#include <filesystem>

namespace velmora::cli {

bool ReadConfig(const Invocation& invocation, LoadedConfig& config)
{
    std::error_code error;
    if (!std::filesystem::exists(invocation.paths.config, error) && !error) {
        config = LoadedConfig{ZeroedRecord<AppSettings>(), {}, {}, false};
        return true;
    }
    config = LoadConfig(invocation.paths.config);
    if (config.invalid) {
        Fail(invocation.io,
             std::string(kInvalidConfigMessage) + " (" + invocation.paths.config + ")");
        return false;
    }
    return true;
}

} // namespace velmora::cli
