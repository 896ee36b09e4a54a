#pragma once

#include "cli/CliContext.h"

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

} // namespace vornal::cli
