#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>
#include <string_view>

#include "cli/CliContext.h"

namespace vornal::cli {

using CommandFn = int (*)(CliContext&);

struct Command
{
    std::string_view name;
    std::string_view usage;
    std::string_view summary;
    CommandFn run;
    // What the command takes: options with a value ("--date"), options alone ("--json"),
    // and how many plain words (an action, a number) may stand among them. Vectors, not
    // initializer lists: the array behind a list member lives only as long as the braces
    // that made it, and a build that ends it early reads the options of another command.
    std::vector<std::string_view> valued = {};
    std::vector<std::string_view> flags = {};
    int words = 0;
};

// The first argument `command` does not take, or nothing: an unknown option, an option
// without its value, or a word too many.
std::optional<std::string> UnknownArgument(const Command& command, const std::vector<std::string>& args);

// Every command of vornal-cli, in the order "help" lists them.
std::span<const Command> AllCommands();

int RunHelp(CliContext& context);

// What every command but "help" does first: when the application folder exists, renames the
// store files an earlier version named by their CP932 bytes, listing each rename on the
// error stream and in "ErrorLog.txt".
void StartUp(CliContext& context);

} // namespace vornal::cli
