#include "app/ErrorLog.h"

#include <optional>
#include <system_error>

#include "app/AppDir.h"
#include "text/Encoding.h"

namespace vornal {

Status RestartErrorLog(const std::filesystem::path& appDir, const LocalDateTime& now)
{
    std::string text = Sjis("ソフト起動：") + FormatDateTime(now) + "\r\n";
    text += PathText(appDir) + "\r\n";
    return WriteFileAtomic(ErrorLogFile(appDir), text);
}

Status AppendErrorLine(const std::filesystem::path& appDir, const std::string& line)
{
    const std::filesystem::path file = ErrorLogFile(appDir);
    std::string text;
    if (std::optional<std::string> old = ReadFileBytes(file)) {
        text = std::move(*old);
    } else {
        std::error_code ec;
        if (std::filesystem::symlink_status(file, ec).type() != std::filesystem::file_type::not_found) {
            return Status::Failure("cannot read " + PathText(file));
        }
    }
    // A log cut short or edited by hand may lack the final line end.
    if (!text.empty() && text.back() != '\n') {
        text += "\r\n";
    }
    text += line + "\r\n";
    return WriteFileAtomic(file, text);
}

} // namespace vornal
