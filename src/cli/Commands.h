#pragma once

#include <span>
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
};

// Every command of vornal-cli, in the order "help" lists them.
std::span<const Command> AllCommands();

int RunHelp(CliContext& context);

// What every command but "help" does first: when the application folder exists, renames the
// store files an earlier version named by their CP932 bytes, listing each rename on the
// error stream and in "ErrorLog.txt".
void StartUp(CliContext& context);

} // namespace vornal::cli
