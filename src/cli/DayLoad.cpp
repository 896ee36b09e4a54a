#include "cli/DayLoad.h"

#include <ostream>

#include "cli/StoreCommands.h"

#include "raceday/RaceDayJson.h"
#include "raceday/RaceDayLoader.h"
#include "results/DayTotalsJson.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal::cli {

std::optional<std::string> DayNameOption(const CliContext& context)
{
    const std::optional<std::string> date = context.Option("--date");
    if (!date) {
        return std::nullopt;
    }
    std::string dayName = ParseDayName(ToCp932(*date));
    if (dayName.empty()) {
        // A date of the right shape that the calendar lacks is told apart from a text that
        // is no date at all.
        const std::string cp932 = ToCp932(*date);
        const bool dateShaped = (cp932.size() == 8 && IsAllDigits(cp932)) ||
                                (cp932.size() == 14 && IsAllDigits(DayDigits(cp932)) &&
                                 DayNameFromDigits(DayDigits(cp932)) == cp932);
        context.err << "vornal-cli: \"" << *date
                    << (dateShaped ? "\" is not a possible date\n"
                                   : "\" is not a date; give it as 2026年01月05日 or 20260105\n");
        return std::nullopt;
    }
    return dayName;
}

const RaceDay* LoadDayForCli(CliContext& context, DaySession& session, const std::string& dayName)
{
    // A load writes the day's blank odds file when it has none: while another writer holds
    // the folder, the command says that it waits instead of hanging without a word.
    ChooseStoreWait(context, session);
    const LoadResult result = session.LoadDay(dayName);
    if (!result.Ok()) {
        context.err << "vornal-cli: " << ToUtf8(result.message) << "\n";
        return nullptr;
    }
    for (const LoadWarning& warning : session.Warnings()) {
        context.err << "vornal-cli: 警告: " << ToUtf8(warning.text) << "\n";
    }
    for (const std::string& message : session.PipelineMessages()) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
    }
    return session.Day();
}

int PrintDayJson(CliContext& context, const std::string& out, const JsonWriter& json)
{
    if (json.NonFiniteCount() > 0) {
        context.err << "vornal-cli: " << json.NonFiniteCount()
                    << " values were not finite numbers; nothing is printed\n";
        return kExitFailure;
    }
    context.out << out << "\n";
    return kExitOk;
}

int PrintSessionDayJson(CliContext& context, const DaySession& session, const std::string& dayName)
{
    if (session.Day() == nullptr) {
        return kExitFailure;
    }
    std::string out;
    JsonWriter json(out);
    WriteDayJson(json, *session.Day(), dayName, [&session](JsonWriter& writer) {
        writer.Key("DayTotals");
        WriteDayTotalsJson(writer, session.Totals());
        WriteLoadWarningsJson(writer, session.Warnings());
    });
    return PrintDayJson(context, out, json);
}

} // namespace vornal::cli
