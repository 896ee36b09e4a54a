#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/AppDir.h"
#include "cli/Commands.h"

#ifndef VORNAL_VERSION
#define VORNAL_VERSION "0.0.0"
#endif

namespace {

// Commands that only read the application folder and take no options of their own to
// check first (backtest and report check the folder after their options).
bool ReadsTheFolder(std::string_view command)
{
    return command == "dates" || command == "usersets";
}

} // namespace

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
            if (ReadsTheFolder(command.name) && !context.RequireAppFolder()) {
                return kExitFailure;
            }
            // A path the system cannot take (a name too long, a loop of links) is said as
            // such, whichever command meets it.
            try {
                if (command.name != "help") {
                    StartUp(context);
                }
                return command.run(context);
            } catch (const std::filesystem::filesystem_error& error) {
                std::cerr << "vornal-cli: " << error.path1().string() << ": " << error.code().message() << "\n";
                return kExitFailure;
            }
        }
    }
    std::cerr << "vornal-cli: unknown command \"" << args[0] << "\" (see vornal-cli help)\n";
    return kExitUsage;
}
