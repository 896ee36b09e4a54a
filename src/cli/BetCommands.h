#pragma once

#include <optional>
#include <string>
#include <vector>

#include "betting/BetMethod.h"
#include "cli/CliContext.h"
#include "results/HitJudgement.h"

namespace vornal::cli {

// "usersets": the user rule sets of "UserSet.usd", one line each (line number, name, the
// stored fields); lines that cannot be used on the error stream.
int RunUserSets(CliContext& context);

// "userset save --fields TEXT [--yes]" (the 37 comma-separated fields as the file stores
// them) and "userset delete --name NAME [--yes]": the settings window's "設定登録" and
// "設定削除" with its checks and messages; --yes answers its question (overwrite, delete).
int RunUserSet(CliContext& context);

// "backtest [--from DAY] [--to DAY] --method no1|no2|user|sp1|sp2|sp3 [--set NAME] [--json]
// [--write-ksr]": loads every stored day of the range with the method (the settings stay as
// they are), prints each day's hit-file lines per bet type and the totals of the range.
int RunBacktest(CliContext& context);

// What the commands that run betting methods share.
// Messages (CP932) on the error stream, each as "vornal-cli: " and the message.
void PrintProblems(CliContext& context, const std::vector<std::string>& problems);
// The method of a "--method" name: no1, no2, user, sp1, sp2, sp3.
std::optional<BetMethodKind> MethodKind(const std::string& text);
// The method of `kind`; the user method takes the set "--set NAME" names, or the one the
// settings choose (the problems of "UserSet.usd" go to the error stream).
BetMethod ChosenMethod(CliContext& context, BetMethodKind kind);
// "--threads N": 0 (every core) when absent, nothing when not a count of 1..256.
std::optional<int> ThreadCount(const CliContext& context);
// The day of "--from" or "--to": nothing when absent, the empty text when malformed.
std::optional<std::string> DayBound(const CliContext& context, const std::string& option);
// One totals line: `label` (UTF-8), then "%d点" points, "%d点" hits, "%lld円" staked,
// "%lld円" returned and the rate text, TAB-separated.
void PrintTotalsLine(CliContext& context, const std::string& label, const BetTypeTotals& totals);

} // namespace vornal::cli
