#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/Status.h"
#include "store/BridgeLink.h"
#include "store/JvLink.h"

// Which link to the data service the faces use: the replay feed folder, or a bridge program
// (BridgeLink) started from a command line. The settings file keeps the choice in section
// "JVLink": "Bridge" holds the bridge command line (split by SplitCommandLine's rule) and
// wins when it is not blank; otherwise "Feed" names the replay feed folder. "CallSeconds"
// and "LongCallSeconds" are the bridge's deadlines. As every string of the file, a value that
// starts and ends with a double quote loses that pair when read, so a command line that
// starts and ends with a quoted word is written inside one more pair:
//   Bridge=""C:\Program Files\vornal-jvlink.exe" "D:\feed
namespace vornal {

struct LinkChoice
{
    std::filesystem::path feedFolder;
    std::vector<std::string> bridgeCommand; // empty: the replay link on feedFolder
    BridgeDeadlines deadlines;
    // Settings that read as their defaults, each naming section and key (CP932).
    std::vector<std::string> warnings;

    bool IsBridge() const { return !bridgeCommand.empty(); }
};

// The choice of the settings file; `defaultFeed` when it names neither.
Result<LinkChoice> ReadLinkChoice(const Settings& settings, const std::filesystem::path& defaultFeed);
// A bridge command line (UTF-8, as typed) as a choice; a failure names the fault.
Result<LinkChoice> BridgeLinkChoice(std::string_view commandLine);
// Writes the choice back ("JVLink"/"Bridge" and "Feed"); false when the file cannot be
// written.
bool WriteLinkChoice(const Settings& settings, const LinkChoice& choice);

// The link of a choice, not yet initialised.
std::unique_ptr<JvLink> MakeJvLink(const LinkChoice& choice);

// Why the last call of `link` failed outside the component's codes, when `link` is a
// bridge ("bridge: JVRead: the bridge exited; ..."); empty otherwise (CP932).
std::string LinkFailure(const JvLink& link);

} // namespace vornal
