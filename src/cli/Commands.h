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

} // namespace vornal::cli
