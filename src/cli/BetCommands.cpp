#include "cli/BetCommands.h"

#include <algorithm>
#include <ostream>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "app/Settings.h"
#include "betting/BetMethod.h"
#include "betting/UserSetFile.h"
#include "raceday/JsonWriter.h"
#include "results/DayTotalsJson.h"
#include "results/HitJudgement.h"
#include "season/SeasonRun.h"
#include "cli/StoreCommands.h"
#include "session/DaySession.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal::cli {
namespace {

constexpr std::string_view kUserSetUsage =
    "vornal-cli userset save --fields \"NAME,...\" [--yes] [--no-wait] | userset delete --name NAME [--yes] [--no-wait]";
constexpr std::string_view kBacktestUsage = "vornal-cli backtest [--from DAY] [--to DAY] --method "
                                            "no1|no2|user|sp1|sp2|sp3 [--set NAME] [--json] [--write-ksr] "
                                            "[--threads N]";

} // namespace

void PrintProblems(CliContext& context, const std::vector<std::string>& problems)
{
    for (const std::string& problem : problems) {
        context.err << "vornal-cli: " << ToUtf8(problem) << "\n";
    }
}

std::optional<BetMethodKind> MethodKind(const std::string& text)
{
    return BetMethodOfName(text);
}

void PrintTotalsLine(CliContext& context, const std::string& label, const BetTypeTotals& totals)
{
    context.out << fmt::sprintf("%s\t%d点\t%d点\t%lld円\t%lld円\t%s\n", label, totals.Points, totals.Hits,
                                totals.Staked(), totals.Returned, ToUtf8(totals.RateText()));
}

BetMethod ChosenMethod(CliContext& context, BetMethodKind kind)
{
    BetMethod method;
    method.kind = kind;
    if (kind == BetMethodKind::User) {
        const UserSetFile sets = LoadUserSets(context.appDir);
        PrintProblems(context, sets.problems);
        if (const std::optional<std::string> name = context.Option("--set")) {
            if (const UserRuleSet* set = sets.SetAt(sets.FindSet(ToCp932(*name)))) {
                method.userSet = *set;
            }
        } else if (const UserRuleSet* set =
                       sets.SetAt(kUserBettingSetId.Read(Settings(SettingsFile(context.appDir))))) {
            // The set the settings choose, as the day pipeline takes it.
            method.userSet = *set;
        }
    }
    return method;
}

std::optional<int> ThreadCount(const CliContext& context)
{
    const std::optional<std::string> text = context.Option("--threads");
    if (!text) {
        return 0;
    }
    const std::optional<int> count = ParseInt(*text);
    if (!count || *count < 1 || *count > 256) {
        return std::nullopt;
    }
    return count;
}

std::optional<std::string> DayBound(const CliContext& context, const std::string& option)
{
    const std::optional<std::string> text = context.Option(option);
    if (!text) {
        return std::nullopt;
    }
    return ParseDayName(ToCp932(*text));
}

int RunUserSets(CliContext& context)
{
    const UserSetFile sets = LoadUserSets(context.appDir);
    for (int line : sets.SetLines()) {
        context.out << line << "\t" << ToUtf8(TrimRight(sets.SetAt(line)->name)) << "\t"
                    << ToUtf8(sets.lines[static_cast<std::size_t>(line)]) << "\n";
    }
    PrintProblems(context, sets.problems);
    return sets.readable ? kExitOk : kExitFailure;
}

int RunUserSet(CliContext& context)
{
    const std::string action = context.args.empty() ? std::string() : context.args[0];
    const bool yes = context.Flag("--yes");
    UserSetFile sets = LoadUserSets(context.appDir);
    PrintProblems(context, sets.problems);
    // The session writes the file under the one-writer lock, read again there.
    DaySession session(context.appDir);
    ChooseStoreWait(context, session);
    std::string question;
    auto answer = [&](const std::string& text) {
        question = text;
        return yes;
    };
    UserSetResult result;
    if (action == "save" && context.Option("--fields")) {
        const std::optional<UserRuleSet> set =
            UserRuleSetFromFields(SplitCommaText(ToCp932(*context.Option("--fields"))));
        if (!set) {
            context.err << "vornal-cli: --fields must hold the 37 comma-separated fields of a rule set\nusage: "
                        << kUserSetUsage << "\n";
            return kExitUsage;
        }
        result = session.SaveUserSet(sets, *set, answer);
    } else if (action == "delete" && context.Option("--name")) {
        result = session.DeleteUserSet(sets, sets.FindSet(ToCp932(*context.Option("--name"))), answer);
    } else {
        context.err << "usage: " << kUserSetUsage << "\n";
        return kExitUsage;
    }
    if (!question.empty()) {
        context.out << ToUtf8(question) << (yes ? " yes\n" : " no (--yes answers yes)\n");
    }
    if (!result.message.empty()) {
        (result.Written() ? context.out : context.err) << ToUtf8(result.message) << "\n";
    }
    return result.Written() ? kExitOk : kExitFailure;
}

int RunBacktest(CliContext& context)
{
    const std::optional<BetMethodKind> kind = MethodKind(context.Option("--method").value_or(""));
    const std::optional<std::string> from = DayBound(context, "--from");
    const std::optional<std::string> to = DayBound(context, "--to");
    const std::optional<int> threads = ThreadCount(context);
    if (!kind || (from && from->empty()) || (to && to->empty()) || !threads) {
        context.err << "vornal-cli: --method is required; --from and --to take a date as 2026年01月05日 or 20260105; "
                       "--threads a count of 1 or more\n"
                    << "usage: " << kBacktestUsage << "\n";
        return kExitUsage;
    }
    if (!context.RequireAppFolder()) {
        return kExitFailure;
    }
    const BetMethod method = ChosenMethod(context, *kind);

    SeasonRunOptions options;
    options.from = from;
    options.to = to;
    options.threads = *threads;
    options.hitFiles = context.Flag("--write-ksr") ? DaySession::HitFiles::Always : DaySession::HitFiles::Never;
    const SeasonRun run = RunSeason(context.appDir, {SeasonMethod{*context.Option("--method"), method}}, options);

    const bool asJson = context.Flag("--json");
    std::string out;
    JsonWriter json(out);
    if (asJson) {
        json.BeginObject();
        json.Key("method");
        json.Utf8(*context.Option("--method"));
        json.Key("BetKindSuffix");
        json.Cp932(BetKindSuffixOf(method));
        json.Key("days");
        json.BeginArray();
    }
    DayTotals totals;
    std::vector<std::string> failed;
    int unwritten = 0;
    for (const SeasonDay& day : run.days) {
        if (!day.loaded) {
            context.err << "vornal-cli: " << ToUtf8(day.dayName) << ": " << ToUtf8(day.loadMessage) << "\n";
            failed.push_back(day.dayName);
            continue;
        }
        const SeasonMethodDay& judged = day.methods.front();
        PrintProblems(context, judged.messages);
        unwritten += judged.hitFilesFailed ? 1 : 0;
        totals += judged.totals;
        if (asJson) {
            json.BeginObject();
            json.Key("date");
            json.Cp932(day.dayName);
            json.Key("DayTotals");
            WriteDayTotalsJson(json, judged.totals);
            json.EndObject();
            continue;
        }
        for (BetType type : kBetTypes) {
            context.out << ToUtf8(BetTypeName(type)) << "\t" << ToUtf8(judged.hitLines[static_cast<std::size_t>(type)])
                        << "\n";
        }
    }
    if (asJson) {
        json.EndArray();
        json.Key("totals");
        WriteDayTotalsJson(json, totals);
        json.EndObject();
        context.out << out << "\n";
    } else {
        context.out << "合計\t買い点数\t的中点数\t買い金額\t回収金額\t回収率\n";
        for (BetType type : kBetTypes) {
            PrintTotalsLine(context, ToUtf8(BetTypeName(type)), totals[type]);
        }
    }
    if (!failed.empty()) {
        context.err << "vornal-cli: " << failed.size() << " days could not be loaded and are not in the totals\n";
        return kExitFailure;
    }
    if (unwritten > 0) {
        context.err << "vornal-cli: the hit-judgement files of " << unwritten << " days could not be written\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace vornal::cli
