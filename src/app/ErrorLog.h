#pragma once

#include <filesystem>
#include <string>

#include "app/AtomicFile.h"
#include "app/Clock.h"

// "ErrorLog.txt" in the application folder: CP932 text, CR LF line ends. Each start of the
// program begins it afresh; later errors are added line by line.
namespace vornal {

// Replaces any earlier log with exactly two lines: "ソフト起動：" followed by `now` as
// "yyyy/mm/dd hh:nn:ss", and the application folder's path.
Status RestartErrorLog(const std::filesystem::path& appDir, const LocalDateTime& now);

// Adds `line` (CP932) at the end of the log, keeping every earlier line; starts the log when
// it does not exist. A log that exists but cannot be read is not replaced.
Status AppendErrorLine(const std::filesystem::path& appDir, const std::string& line);

} // namespace vornal
