#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/Settings.h"
#include "betting/UserRuleSet.h"

// The betting methods (買い目) that choose each race's bets: the built-in rule tables
// No.1 and No.2, the user-defined method with a user rule set (ﾕｰｻﾞｰ指定), and the three
// developer methods 買い目１ (スペシャル出目), 買い目2 and 買い目3 of the developer view.
//
// A method is a plain value given to SelectBets, so a backtest runs any method over many
// days without touching the settings file; ReadSelectedBetMethod and ReadPipelineBetMethod
// turn the settings into one the way the menus do.
namespace vornal {

enum class BetMethodKind { No1, No2, User, Developer1, Developer2, Developer3 };

struct BetMethod
{
    BetMethodKind kind = BetMethodKind::No1;
    // The rule set of the user-defined method; nothing when no set is chosen or the chosen
    // one does not exist (the method then bets no race). Ignored by the other kinds.
    std::optional<UserRuleSet> userSet;
};

// The marker file whose presence in the application folder switches on the developer view.
inline constexpr const char* kDeveloperMarkerFile = "OnlyMrZentaroqCanSee.key";
bool IsDeveloperView(const std::filesystem::path& appDir);

// A method read from the settings, with the problems met reading "UserSet.usd" (lines
// skipped, an unreadable file), CP932, for the error log or the terminal.
struct BetMethodChoice
{
    BetMethod method;
    std::vector<std::string> problems;
};

// The method of the "買い目" menu: "kaime"/"No" 1 No.1, 2 No.2, 3 the user-defined method
// (anything else No.1). For the user method the set is the line "UserSetting"/"SetID"
// (zero-based) of "UserSet.usd"; a missing or empty file, a SetID naming no line or a line
// that cannot be read leaves `userSet` empty.
BetMethodChoice ReadSelectedBetMethod(const std::filesystem::path& appDir, const Settings& settings);

// The method the day pipeline runs: in the developer view with "kaihatu"/"priority" set,
// the developer method "kaihatu"/"No" (1..3, anything else 買い目１); otherwise the method
// of the "買い目" menu. Without the marker file the priority key is not read at all.
BetMethodChoice ReadPipelineBetMethod(const std::filesystem::path& appDir, const Settings& settings);

// The developer method 1..3 (anything else 買い目１).
BetMethodKind DeveloperMethod(int number);

// BetKindSuffix of a method, part of the hit-judgement file names: "_No01", "_No02",
// "_" + the trimmed set name, "_SP01", "_SP02", "_SP03". The user method without a set has
// the empty suffix, so its empty day is never filed under another method's name.
std::string BetKindSuffixOf(const BetMethod& method);

// The menu caption of a method kind (CP932): "No.1", "No.2", "ﾕｰｻﾞｰ指定",
// "買い目１（スペシャル出目）", "買い目2", "買い目3".
std::string BetMethodCaption(BetMethodKind kind);

// The name a method kind goes by on the command line and in season runs: no1, no2, user,
// sp1, sp2, sp3; and the kind of such a name, nothing for any other text.
std::string_view BetMethodName(BetMethodKind kind);
std::optional<BetMethodKind> BetMethodOfName(std::string_view name);

// The method mark of the printed race sheet (CP932): "【買い目1】", "【買い目2】",
// "【開発/買い目1】"; empty for the other methods.
std::string BetMethodSheetMark(BetMethodKind kind);

// The method label of the "買い目指定" panel (CP932): "No1", "No2", "ﾕｰｻﾞｰ指定:" + the
// trimmed set name for the user method with a set, empty otherwise (also for the developer
// methods, which the label does not name).
std::string BetMethodLabel(const BetMethod& method);

// The user method without a set: the message the day shows, and no race is bet.
const std::string& NoUserSetMessage();

} // namespace vornal
