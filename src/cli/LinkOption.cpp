#include "cli/LinkOption.h"

#include <ostream>

#include "app/AppDir.h"
#include "store/LinkChoice.h"
#include "text/Encoding.h"
#include "vocab/JvResultMessage.h"

namespace vornal::cli {
namespace {

// The choice of the options, else of the settings file; nothing after a usage message.
std::optional<LinkChoice> ChosenLink(CliContext& context, std::string_view usage)
{
    const std::optional<std::string> feed = context.Option("--feed");
    const std::optional<std::string> bridge = context.Option("--bridge");
    const Result<LinkChoice> saved = ReadLinkChoice(Settings(SettingsFile(context.appDir)), {});
    // The deadlines are the settings file's whichever link is chosen.
    for (const std::string& warning : saved.value.warnings) {
        context.err << "vornal-cli: " << ToUtf8(warning) << "\n";
    }
    if (feed && bridge) {
        context.err << "vornal-cli: --feed and --bridge exclude each other\nusage: " << usage << "\n";
        return std::nullopt;
    }
    if (bridge) {
        Result<LinkChoice> choice = BridgeLinkChoice(*bridge);
        if (!choice) {
            context.err << "vornal-cli: " << ToUtf8(choice.message()) << "\nusage: " << usage << "\n";
            return std::nullopt;
        }
        // The deadlines stay those of the settings file.
        choice.value.deadlines = saved.value.deadlines;
        return choice.value;
    }
    LinkChoice choice = saved.value;
    if (feed) {
        choice.bridgeCommand.clear();
        choice.feedFolder = *feed;
    } else if (!saved) {
        context.err << "vornal-cli: " << ToUtf8(saved.message()) << "\n";
        return std::nullopt;
    }
    if (!choice.IsBridge() && (choice.feedFolder.empty() || !std::filesystem::is_directory(choice.feedFolder))) {
        context.err << "vornal-cli: --feed DIR must name a feed folder (or --bridge \"COMMAND ARG...\" a bridge)\n"
                    << "usage: " << usage << "\n";
        return std::nullopt;
    }
    return choice;
}

} // namespace

std::unique_ptr<JvLink> OpenLink(CliContext& context, std::string_view usage, int& exitCode)
{
    const std::optional<LinkChoice> choice = ChosenLink(context, usage);
    if (!choice) {
        exitCode = kExitUsage;
        return nullptr;
    }
    std::unique_ptr<JvLink> link = MakeJvLink(*choice);
    if (const int result = link->JVInit(kJvSoftwareId); result != 0) {
        context.err << ToUtf8(Sjis("JVInitエラー：") + JvResultMessage("JVInit", result)) << "\n";
        ReportLinkFailure(context, *link);
        exitCode = kExitFailure;
        return nullptr;
    }
    // An old component is worth a warning; the run goes on.
    if (const std::string notice = JvVersionNotice(link->Version()); !notice.empty()) {
        context.err << ToUtf8(notice) << "\n";
    }
    return link;
}

void ReportLinkFailure(CliContext& context, const JvLink& link)
{
    if (const std::string failure = LinkFailure(link); !failure.empty()) {
        context.err << "vornal-cli: " << ToUtf8(failure) << "\n";
    }
}

} // namespace vornal::cli
