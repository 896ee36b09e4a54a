#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vornal::cli {

// What a command gets: the application folder, its own arguments (after the command name)
// and the streams to write to. Output on the terminal is UTF-8.
struct CliContext
{
    std::filesystem::path appDir;
    std::vector<std::string> args;
    std::ostream& out;
    std::ostream& err;

    // The value of "--name VALUE" among the arguments, if given.
    std::optional<std::string> Option(const std::string& name) const;
    // True when "--name" stands among the arguments.
    bool Flag(const std::string& name) const;
    // For a command that only reads the application folder: false, after saying
    // "アプリケーションフォルダがありません: …", when it is not there; an empty answer
    // would read as "nothing stored".
    bool RequireAppFolder() const;
};

// Exit codes of vornal-cli.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

} // namespace vornal::cli
