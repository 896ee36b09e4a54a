#include "cli/PrintCommand.h"

#include <cstdlib>
#include <memory>
#include <ostream>

#include "app/Settings.h"
#include "app/AppDir.h"
#include "betting/BetMethod.h"
#include "cli/DayLoad.h"
#include "present/HitReportPages.h"
#include "present/RaceAnalysisView.h"
#include "present/RaceSheets.h"
#include "present/TablePrint.h"
#include "present/ViewRegistry.h"
#include "results/HitJudgement.h"
#include "results/HitReport.h"
#include "text/Encoding.h"
#include "text/Fields.h"

#ifdef VORNAL_CLI_PRINT
#include <QGuiApplication>

#include "render/PagePainter.h"
#endif

namespace vornal::cli {
namespace {

constexpr std::string_view kPrintUsage =
    "vornal-cli print --date DAY --sheet race|allbets|hits|table [--name TABLE] [--slot N] [--pdf FILE] [--json]\n"
    "  tables: candidates, main, laptime, lapcheck (day); pastruns, lapcard, ranking (race, --slot N)";

// The table print of one tab, or nothing (with the reason on the error stream).
std::optional<PrintDocument> TablePages(CliContext& context, DaySession& session, const std::string& name,
                                        std::optional<int> slot)
{
    const RaceDay& day = *session.Day();
    const ViewDescription* kind = FindView(name);
    if (kind == nullptr || !kind->Printed || kind->Id != name) {
        context.err << "vornal-cli: no printed table \"" << name << "\"\nusage: " << kPrintUsage << "\n";
        return std::nullopt;
    }
    const std::string_view caption = kind->Caption;
    if (kind->Scope == ViewScope::Day) {
        return PrintTable(ViewGrid(*kind, day, nullptr), *TabPrintStyle(caption, day.Races[0], {}), caption);
    }
    if (!slot) {
        context.err << "vornal-cli: --slot N is required for a race table\n";
        return std::nullopt;
    }
    std::string message;
    const TuningTables* tables = session.Tables(message);
    if (tables == nullptr) {
        context.err << "vornal-cli: " << ToUtf8(message) << "\n";
        return std::nullopt;
    }
    const RaceAnalysis view = ShowRaceAnalysis(day, *tables, *slot);
    if (view.Message) {
        context.err << "vornal-cli: " << ToUtf8(*view.Message) << "\n";
        return std::nullopt;
    }
    return PrintTable(ViewGrid(*kind, day, &view), *TabPrintStyle(caption, day.Races[*slot], view.LapPanels), caption);
}

int WritePdfFile(CliContext& context, const PrintDocument& document, const std::string& path)
{
#ifdef VORNAL_CLI_PRINT
    // Painting text needs a GUI application; without a display the offscreen platform serves.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    std::unique_ptr<QGuiApplication> application;
    if (QGuiApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "vornal-cli";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    std::string error;
    if (!WritePdf(document, path, error)) {
        context.err << "vornal-cli: " << error << "\n";
        return kExitFailure;
    }
    return kExitOk;
#else
    (void)document;
    (void)path;
    context.err << "vornal-cli: printing needs the Qt build (this vornal-cli was built without Qt)\n";
    return kExitUsage;
#endif
}

} // namespace

int RunPrint(CliContext& context)
{
    const std::optional<std::string> dayName = DayNameOption(context);
    const std::optional<std::string> sheet = context.Option("--sheet");
    const std::optional<std::string> pdf = context.Option("--pdf");
    const bool json = context.Flag("--json");
    const std::optional<std::string> tableName = context.Option("--name");
    if (!dayName || !sheet || (*sheet != "race" && *sheet != "allbets" && *sheet != "hits" && *sheet != "table") ||
        (!pdf && !json) || (*sheet == "table") != tableName.has_value()) {
        context.err << "vornal-cli: --date DAY, --sheet race|allbets|hits|table (a table with --name TABLE) and "
                       "--pdf FILE or --json are required\n"
                    << "usage: " << kPrintUsage << "\n";
        return kExitUsage;
    }
    std::optional<int> slot;
    if (const std::optional<std::string> slotText = context.Option("--slot")) {
        slot = ParseInt(*slotText);
        if ((*sheet != "race" && *sheet != "table") || !slot || *slot < 0 || *slot >= kRaceSlots) {
            context.err << "vornal-cli: --slot N (0.." << kRaceSlots - 1 << ") picks one race sheet or race table\n"
                        << "usage: " << kPrintUsage << "\n";
            return kExitUsage;
        }
    }
#ifndef VORNAL_CLI_PRINT
    if (pdf) {
        return WritePdfFile(context, PrintDocument{}, *pdf);
    }
#endif

    DaySession session(context.appDir);
    const RaceDay* day = LoadDayForCli(context, session, *dayName);
    if (day == nullptr) {
        return kExitFailure;
    }
    if (RaceListCount(*day) == 0) {
        context.err << "vornal-cli: " << ToUtf8(NoDayForHitReportMessage()) << "\n";
        return kExitFailure;
    }

    PrintDocument document;
    if (*sheet == "table") {
        std::optional<PrintDocument> pages = TablePages(context, session, *tableName, slot);
        if (!pages) {
            return kExitFailure;
        }
        document = std::move(*pages);
    } else if (*sheet == "hits") {
        const std::optional<HitReport> report = BuildHitReport(*day, session.DayName(), session.Totals());
        document = PrintHitTables(*report);
    } else if (*sheet == "allbets") {
        document = PrintAllBetsSheet(*day);
    } else {
        std::string message;
        const TuningTables* tables = session.Tables(message);
        if (tables == nullptr) {
            context.err << "vornal-cli: " << ToUtf8(message) << "\n";
            return kExitFailure;
        }
        const BetMethodKind method =
            ReadPipelineBetMethod(context.appDir, Settings(SettingsFile(context.appDir))).method.kind;
        document = PrintRaceSheets(*day, *tables, method);
        if (slot) {
            const std::vector<int> sheetSlots = RaceSheetSlots(*day);
            const auto found = std::find(sheetSlots.begin(), sheetSlots.end(), *slot);
            if (found == sheetSlots.end()) {
                context.err << "vornal-cli: race slot " << *slot << " has no race sheet (the day has "
                            << document.Pages.size() << ")\n";
                return kExitFailure;
            }
            const auto pageIndex = found - sheetSlots.begin();
            PrintPage page = std::move(document.Pages[pageIndex]);
            page.Number = static_cast<int>(pageIndex) + 1;
            document.Pages.assign(1, std::move(page));
            document.FirstPage = document.LastPage = 1;
        }
    }
    if (pdf) {
        if (const int status = WritePdfFile(context, document, *pdf); status != kExitOk) {
            return status;
        }
    }
    if (json) {
        context.out << PrintDocumentJson(document);
    }
    return kExitOk;
}

} // namespace vornal::cli
