#pragma once

#include <filesystem>
#include <optional>

#include "app/AtomicFile.h"

// The application folder (`AppDir`): the folder of the executable unless overridden. It holds
// the settings file, the tuning files, the error log and the day store folders "Data",
// "SEI" and "SEIR". The GUI and the CLI resolve it the same way, so they share one store and
// one settings file.
namespace vornal {

// The environment variable that overrides the executable's folder.
inline constexpr const char* kAppDirVariable = "VORNAL_APP_DIR";

// The folder of the running executable (from /proc/self/exe); the current folder when that
// cannot be read.
std::filesystem::path ExecutableDir();

// The application folder: `commandLineDir` (the CLI's --app-dir) when given and not empty,
// else the environment variable VORNAL_APP_DIR when set and not empty, else the executable's
// folder. The result is absolute and has no trailing separator.
std::filesystem::path ResolveAppDir(const std::optional<std::filesystem::path>& commandLineDir = std::nullopt);

// Creates the application folder if it is missing, then "SEI", "SEIR" and "Data" in it,
// each only if it does not exist yet. Fails, naming the folder, when one cannot be created
// or when the name is taken by something that is not a folder.
Status EnsureAppFolders(const std::filesystem::path& appDir);

// The day store: the per-date race, runner, payout and master files.
std::filesystem::path DataDir(const std::filesystem::path& appDir);
// The per-horse history files.
std::filesystem::path SeiDir(const std::filesystem::path& appDir);
// The per-day history files.
std::filesystem::path SeirDir(const std::filesystem::path& appDir);
// "vornal.ini", the one settings file of the GUI and the CLI.
std::filesystem::path SettingsFile(const std::filesystem::path& appDir);
// "ErrorLog.txt".
std::filesystem::path ErrorLogFile(const std::filesystem::path& appDir);

} // namespace vornal
