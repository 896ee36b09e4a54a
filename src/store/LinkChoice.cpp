#include "store/LinkChoice.h"

#include "app/SettingKeys.h"
#include "store/ReplayLink.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal {

Result<LinkChoice> BridgeLinkChoice(std::string_view commandLine)
{
    std::optional<std::vector<std::string>> words = SplitCommandLine(commandLine);
    if (!words) {
        return Result<LinkChoice>::Failure(
            Sjis("ブリッジのコマンドラインが読めません（空、または引用符が閉じていません）：") + ToCp932(commandLine));
    }
    LinkChoice choice;
    choice.bridgeCommand = std::move(*words);
    return Result<LinkChoice>::Success(std::move(choice));
}

Result<LinkChoice> ReadLinkChoice(const Settings& settings, const std::filesystem::path& defaultFeed)
{
    Result<LinkChoice> result = Result<LinkChoice>::Success({});
    // The settings file is CP932; programs and folders are named in the file system's UTF-8.
    const std::string command = ToUtf8(kLinkBridgeCommand.Read(settings));
    if (!TrimView(command).empty()) {
        result = BridgeLinkChoice(command);
        if (!result) {
            return result;
        }
    }
    const std::string feed = ToUtf8(kLinkFeedFolder.Read(settings));
    result.value.feedFolder = TrimView(feed).empty() ? defaultFeed : std::filesystem::path(feed);
    const CheckedInteger call = ReadLinkSeconds(settings, kLinkCallSeconds);
    const CheckedInteger longCall = ReadLinkSeconds(settings, kLinkLongCallSeconds);
    result.value.deadlines.call = std::chrono::seconds(call.value);
    result.value.deadlines.longCall = std::chrono::seconds(longCall.value);
    for (const CheckedInteger* checked : {&call, &longCall}) {
        if (!checked->warning.empty()) {
            result.value.warnings.push_back(checked->warning);
        }
    }
    return result;
}

bool WriteLinkChoice(const Settings& settings, const LinkChoice& choice)
{
    std::string command;
    for (const std::string& word : choice.bridgeCommand) {
        std::string quoted;
        for (const char c : word) {
            if (c == '"' || c == '\\') {
                quoted.push_back('\\');
            }
            quoted.push_back(c);
        }
        command += (command.empty() ? "\"" : " \"") + quoted + "\"";
    }
    // Every string of the file loses one pair of enclosing quotes when read: this pair.
    return kLinkBridgeCommand.Write(settings, ToCp932(command.empty() ? command : "\"" + command + "\"")) &&
           kLinkFeedFolder.Write(settings, ToCp932(choice.feedFolder.string()));
}

std::unique_ptr<JvLink> MakeJvLink(const LinkChoice& choice)
{
    if (choice.IsBridge()) {
        return std::make_unique<BridgeLink>(choice.bridgeCommand, choice.deadlines);
    }
    return std::make_unique<ReplayLink>(choice.feedFolder);
}

std::string LinkFailure(const JvLink& link)
{
    const auto* bridge = dynamic_cast<const BridgeLink*>(&link);
    if (bridge == nullptr || bridge->LastFailure().empty()) {
        return {};
    }
    return "bridge: " + bridge->LastFailure();
}

} // namespace vornal
