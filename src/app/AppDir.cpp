#include "app/AppDir.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace vornal {
namespace {

std::filesystem::path Normalised(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::path out = std::filesystem::absolute(folder, ec);
    if (ec) {
        out = folder;
    }
    out = out.lexically_normal();
    // "/a/b/" and "/a/b" must name the folder alike in paths built from it and in the log.
    if (!out.has_filename() && out.has_relative_path()) {
        out = out.parent_path();
    }
    return out;
}

Status EnsureFolder(const std::filesystem::path& folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    std::error_code statusError;
    if (std::filesystem::is_directory(folder, statusError)) {
        return Status::Success();
    }
    // A name too long or a loop of links fails both calls; the first error says why.
    const std::string cause = ec            ? ec.message()
                              : statusError ? statusError.message()
                                            : std::string(std::strerror(ENOTDIR));
    return Status::Failure("cannot create the folder " + PathText(folder) + ": " + cause);
}

} // namespace

std::filesystem::path ExecutableDir()
{
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || !exe.has_parent_path()) {
        return Normalised(std::filesystem::current_path(ec));
    }
    return Normalised(exe.parent_path());
}

std::filesystem::path ResolveAppDir(const std::optional<std::filesystem::path>& commandLineDir)
{
    if (commandLineDir && !commandLineDir->empty()) {
        return Normalised(*commandLineDir);
    }
    const char* fromEnvironment = std::getenv(kAppDirVariable);
    if (fromEnvironment != nullptr && *fromEnvironment != '\0') {
        return Normalised(fromEnvironment);
    }
    return ExecutableDir();
}

Status EnsureAppFolders(const std::filesystem::path& appDir)
{
    for (const auto& folder : {appDir, SeiDir(appDir), SeirDir(appDir), DataDir(appDir)}) {
        if (Status result = EnsureFolder(folder); !result) {
            return result;
        }
    }
    return Status::Success();
}

std::filesystem::path DataDir(const std::filesystem::path& appDir)
{
    return appDir / "Data";
}

std::filesystem::path SeiDir(const std::filesystem::path& appDir)
{
    return appDir / "SEI";
}

std::filesystem::path SeirDir(const std::filesystem::path& appDir)
{
    return appDir / "SEIR";
}

std::filesystem::path SettingsFile(const std::filesystem::path& appDir)
{
    return appDir / "vornal.ini";
}

std::filesystem::path ErrorLogFile(const std::filesystem::path& appDir)
{
    return appDir / "ErrorLog.txt";
}

} // namespace vornal
