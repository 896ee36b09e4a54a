#include "cli/CliContext.h"

#include <ostream>
#include <system_error>

#include "app/AtomicFile.h"
#include "text/Encoding.h"

namespace vornal::cli {

std::optional<std::string> CliContext::Option(const std::string& name) const
{
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == name) {
            return args[i + 1];
        }
    }
    return std::nullopt;
}

bool CliContext::Flag(const std::string& name) const
{
    for (const std::string& arg : args) {
        if (arg == name) {
            return true;
        }
    }
    return false;
}

bool CliContext::RequireAppFolder() const
{
    std::error_code error;
    if (std::filesystem::is_directory(appDir, error)) {
        return true;
    }
    err << "vornal-cli: " << ToUtf8(Sjis("アプリケーションフォルダがありません: ") + PathText(appDir)) << "\n";
    return false;
}

} // namespace vornal::cli
