#include <iostream>
#include <string>
#include <vector>

#include "app/AppDir.h"
#include "cli/Commands.h"

#ifndef VORNAL_VERSION
#define VORNAL_VERSION "0.0.0"
#endif

int main(int argc, char** argv)
{
    using namespace vornal::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::optional<std::string> appDirOption;
    if (args.size() >= 2 && args[0] == "--app-dir") {
        appDirOption = args[1];
        args.erase(args.begin(), args.begin() + 2);
    }
    if (!args.empty() && args[0] == "--version") {
        std::cout << "vornal-cli " << VORNAL_VERSION << "\n";
        return kExitOk;
    }
    if (args.empty()) {
        args.emplace_back("help");
    }
    for (const Command& command : AllCommands()) {
        if (command.name == args[0]) {
            CliContext context{vornal::ResolveAppDir(appDirOption), {args.begin() + 1, args.end()}, std::cout,
                               std::cerr};
            if (const std::optional<std::string> unknown = UnknownArgument(command, context.args)) {
                std::cerr << "vornal-cli: " << command.name << " does not take \"" << *unknown
                          << "\" (or it lacks its value)\nusage: vornal-cli " << command.usage << "\n";
                return kExitUsage;
            }
            if (command.name != "help") {
                StartUp(context);
            }
            return command.run(context);
        }
    }
    std::cerr << "vornal-cli: unknown command \"" << args[0] << "\" (see vornal-cli help)\n";
    return kExitUsage;
}
