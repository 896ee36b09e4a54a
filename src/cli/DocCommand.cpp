#include "cli/DocCommand.h"

#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "cli/Commands.h"
#include "cli/TableCommands.h"
#include "present/DaySummaryTables.h"
#include "present/FieldFormat.h"
#include "present/RaceViewTables.h"
#include "raceday/JsonWriter.h"
#include "raceday/RaceDayJson.h"
#include "results/DayTotalsJson.h"
#include "results/HitJudgement.h"
#include "text/Encoding.h"

namespace vornal::cli {
namespace {

// The shape of a JSON value as the writers produced it: enough of a reader to list the keys
// of each object and say what their values are.
struct Shape
{
    char kind = 'n'; // 'o' object, 'a' array, 's' text, 'b' true/false, 'n' number, 'z' null
    std::vector<std::pair<std::string, Shape>> members;
    std::vector<Shape> items;
};

class ShapeReader
{
public:
    explicit ShapeReader(std::string_view text) : m_text(text) {}

    Shape Value()
    {
        Shape shape;
        const char c = m_text[m_at];
        if (c == '{') {
            shape.kind = 'o';
            ++m_at;
            while (m_text[m_at] != '}') {
                std::string key = Text();
                ++m_at; // ':'
                shape.members.emplace_back(std::move(key), Value());
                if (m_text[m_at] == ',') {
                    ++m_at;
                }
            }
            ++m_at;
        } else if (c == '[') {
            shape.kind = 'a';
            ++m_at;
            while (m_text[m_at] != ']') {
                shape.items.push_back(Value());
                if (m_text[m_at] == ',') {
                    ++m_at;
                }
            }
            ++m_at;
        } else if (c == '"') {
            shape.kind = 's';
            Text();
        } else {
            shape.kind = c == 't' || c == 'f' ? 'b' : c == 'n' ? 'z' : 'n';
            while (m_at < m_text.size() && m_text[m_at] != ',' && m_text[m_at] != '}' && m_text[m_at] != ']') {
                ++m_at;
            }
        }
        return shape;
    }

private:
    std::string Text()
    {
        std::string text;
        for (++m_at; m_text[m_at] != '"'; ++m_at) {
            if (m_text[m_at] == '\\') {
                ++m_at;
            }
            text += m_text[m_at];
        }
        ++m_at;
        return text;
    }

    std::string_view m_text;
    std::size_t m_at = 0;
};

// What a value is, in words: "number", "text", "153 numbers", "3 objects {Key, Payout, ...}".
std::string Describe(const Shape& shape)
{
    switch (shape.kind) {
    case 'o': {
        std::string keys;
        for (const auto& [key, value] : shape.members) {
            keys += (keys.empty() ? "" : ", ") + key;
        }
        return "object {" + keys + "}";
    }
    case 'a': {
        if (shape.items.empty()) {
            return "array";
        }
        const std::string item = Describe(shape.items.front());
        return std::to_string(shape.items.size()) + " × " + item;
    }
    case 's': return "text";
    case 'b': return "true/false";
    case 'z': return "null";
    default: return "number";
    }
}

// Every table column that shows a key, as "table: header".
using ShownIn = std::map<std::string, std::vector<std::string>, std::less<>>;

struct TableFields
{
    ViewTableName name;
    std::vector<FieldFormat> fields;
};

std::vector<TableFields> AllTableFields()
{
    std::vector<TableFields> tables;
    for (const ViewTableName& name : ViewTableNames()) {
        std::vector<FieldFormat> fields = name.race ? RaceTableFields(name.name) : DayTableFields(name.name);
        tables.push_back({name, std::move(fields)});
    }
    return tables;
}

ShownIn ColumnsByKey(const std::vector<TableFields>& tables)
{
    ShownIn shown;
    for (const TableFields& table : tables) {
        for (const FieldFormat& field : table.fields) {
            if (field.Key.empty()) {
                continue;
            }
            std::vector<std::string>& list = shown[std::string(field.Key)];
            const std::string entry = std::string(table.name.name) + ": " + std::string(field.Header);
            if (std::find(list.begin(), list.end(), entry) == list.end()) {
                list.push_back(entry);
            }
        }
    }
    return shown;
}

// A Markdown table cell: "|" would end the cell.
std::string Cell(std::string_view text)
{
    std::string cell;
    for (const char c : text) {
        cell += c == '|' ? std::string("\\|") : std::string(1, c);
    }
    return cell.empty() ? "—" : cell;
}

// Keys written only in some cases.
const std::map<std::string, std::string, std::less<>> kConditionalKeys = {
    {"incomplete", "only when set: runner records are missing, the race is listed but not rated, priced or bet"},
    {"warnings", "only when the load warned (a sound day has no such key)"},
};

void KeyTable(std::ostream& out, const Shape& object, const ShownIn& shown,
              const std::map<std::string, std::string, std::less<>>& below)
{
    out << "| key | value | shown in |\n|---|---|---|\n";
    for (const auto& [key, value] : object.members) {
        std::string what = Describe(value);
        if (const auto section = below.find(key); section != below.end()) {
            what = "array of objects: " + section->second;
        }
        if (const auto note = kConditionalKeys.find(key); note != kConditionalKeys.end()) {
            what += "; " + note->second;
        }
        std::string columns;
        if (const auto found = shown.find(key); found != shown.end()) {
            for (const std::string& column : found->second) {
                columns += (columns.empty() ? "" : ", ") + column;
            }
        }
        out << "| `" << key << "` | " << Cell(what) << " | " << Cell(columns) << " |\n";
    }
    out << "\n";
}

const Shape& Member(const Shape& object, std::string_view key)
{
    for (const auto& [name, value] : object.members) {
        if (name == key) {
            return value;
        }
    }
    static const Shape none;
    return none;
}

// The JSON of a sample day with one race of one runner, every conditional key present.
std::pair<Shape, Shape> SampleJson()
{
    auto day = std::make_unique<RaceDay>();
    day->RaceCount = 1;
    day->Races[0].RaceLoaded = true;
    day->Races[0].incomplete = true;
    day->Races[0].RunnerCount = 1;
    const LoadWarnings warnings = {LoadWarning{}};

    std::string dayText;
    JsonWriter dayJson(dayText);
    WriteDayJson(dayJson, *day, "", [&warnings](JsonWriter& writer) {
        writer.Key("DayTotals");
        WriteDayTotalsJson(writer, DayTotals{});
        WriteLoadWarningsJson(writer, warnings);
    });
    std::string raceText;
    JsonWriter raceJson(raceText);
    WriteRaceJson(raceJson, *day, "", 0, &warnings);
    return {ShapeReader(dayText).Value(), ShapeReader(raceText).Value()};
}

} // namespace

std::string CliReference()
{
    const std::vector<TableFields> tables = AllTableFields();
    const ShownIn shown = ColumnsByKey(tables);
    const auto [day, race] = SampleJson();
    const Shape& runner = Member(race, "runners").items.at(0);
    const Shape& past = Member(runner, "past").items.at(0);

    std::ostringstream out;
    out << "# vornal-cli reference: the day JSON, the tables and the commands\n\n"
           "Generated by `vornal-cli doc` from the program itself: the keys and their values are what\n"
           "the JSON writers write, the columns are the tables' field descriptions. A test compares\n"
           "this page with the program; after a change, regenerate it with\n"
           "`build/default/vornal-cli doc > docs/cli-reference.md`.\n\n"
           "## The day JSON\n\n"
           "`vornal-cli day --date DAY --json` prints the day object, `race --date DAY --slot N --json`\n"
           "one race object (with the day's load warnings after \"slot\"); `odds` and `tsodds` with\n"
           "`--json` print the day object after the import. Keys are the names of the fields in\n"
           "memory. Texts are the stored bytes as UTF-8, blanks kept.\n\n"
           "- A race slot (`slot` of a race) is the race's place in the day's race file (0..35), not\n"
           "  its race number; a runner's `slot` is its horse number - 1; past run `k` 0 is the most\n"
           "  recent earlier run.\n"
           "- The arrays of quinella combinations (153 entries) and bracket combinations (36) are in\n"
           "  combination-number order: index i of the JSON array is combination i + 1. The bet arrays\n"
           "  (10 entries) likewise: index i is bet i + 1.\n"
           "- Missing values: 10000 in the minimum-type figures (`OverallMin`, the past-run gaps, the\n"
           "  lap speeds), 0 in base times, ability fields and ranks; odds are -1 for \"no sale\" and -2\n"
           "  for \"not announced\", never a payout.\n"
           "- \"shown in\" names the table columns (`table --name`) that show the key.\n\n";
    out << "### Day object\n\n";
    KeyTable(out, day, shown, {{"races", "one race object per loaded race (below)"},
                               {"warnings", "load warnings (below)"}});
    out << "### Race object (`races` of the day, `race --json`)\n\n";
    KeyTable(out, race, shown, {{"runners", "one runner object per runner, `RunnerCount` of them (below)"},
                                {"warnings", "load warnings (below)"}});
    out << "### Runner object (`runners` of a race)\n\n";
    KeyTable(out, runner, shown, {{"past", "five past-run objects, k = 0..4 (below)"}});
    out << "### Past-run object (`past` of a runner)\n\n";
    KeyTable(out, past, shown, {});
    out << "### Load warning (`warnings`)\n\n";
    KeyTable(out, Member(day, "warnings").items.at(0), shown, {});
    out << "### Day totals (`DayTotals` of the day)\n\n";
    KeyTable(out, Member(day, "DayTotals"), shown, {});

    out << "## The tables\n\n"
           "`vornal-cli table --date DAY --name NAME [--slot N]` prints one table of the screens as\n"
           "TAB-separated lines (`--text` aligned, `--clipboard` as the \"ｸﾘｯﾌﾟﾎﾞｰﾄﾞ\" button copies it);\n"
           "`day --table NAME` and `race --slot N --table NAME` print the same tables. NAME is the name\n"
           "or the caption. `racelist` (the race list: slot and text), `racelistdetail` (the grid below\n"
           "the race list), `day --table hitreport` (the hit evaluation report), `popularity` and\n"
           "`quinella` (the list of predicted quinella payouts) are not made of field descriptions\n"
           "and have no column list below.\n\n"
           "| name | caption | scope |\n|---|---|---|\n";
    for (const TableFields& table : tables) {
        out << "| `" << table.name.name << "` | " << table.name.caption << " | "
            << (table.name.race ? "race (`--slot N`)" : "day") << " |\n";
    }
    out << "\n";
    for (const TableFields& table : tables) {
        if (table.fields.empty()) {
            continue;
        }
        out << "### " << table.name.name << " (" << table.name.caption << ")\n\n"
            << "Columns in order; a block of runner columns that the table repeats per placed runner is\n"
               "listed once.\n\n"
            << "| header | key | format | shown |\n|---|---|---|---|\n";
        for (const FieldFormat& field : table.fields) {
            const std::string_view rule = field.Rule == ShowWhen::Positive       ? "above 0"
                                          : field.Rule == ShowWhen::BelowNoValue ? "below 10000"
                                                                                 : "always";
            out << "| " << Cell(field.Header) << " | " << (field.Key.empty() ? "—" : "`" + std::string(field.Key) + "`")
                << " | " << (field.Format.empty() ? "—" : "`" + std::string(field.Format) + "`") << " | " << rule
                << " |\n";
        }
        out << "\n";
    }
    out << "## The commands\n\n"
           "`vornal-cli help` lists them; every command takes `--app-dir DIR` before its name. DAY is the\n"
           "date text (2026年01月05日) or its digits (20260105).\n\n"
           "| command | what it does |\n|---|---|\n";
    for (const Command& command : AllCommands()) {
        out << "| `" << Cell(std::string(command.usage)) << "` | " << Cell(std::string(command.summary)) << " |\n";
    }
    out << "\n### calibrate\n\n"
           "`calibrate --from DAY --to DAY` loads every stored day of the range with every pass and\n"
           "counts, from the results, what the tuning tables hold: per popularity-share class and\n"
           "quinella rank the races whose paid 馬連 had that rank and what it paid (\"senuj.dat\"), per\n"
           "past run 1..5 and finishing bucket the finishers, wins, top-two and top-three finishes\n"
           "(\"RT.dat\"; runs 6..11 keep their values), per rating kind and rank the finishers, wins\n"
           "and top-two finishes (\"RankRate.dat\"). A cell seen n times becomes\n"
           "(n × observed + W × value in use) ÷ (n + W), W = `--prior` (100); an empty cell keeps\n"
           "its value. It learns from the first two thirds of the days and prints, for the last\n"
           "third, each table's gap to the observed rates (the mean absolute difference, each cell\n"
           "weighted by its races or runners) with the tables in use and the new ones, and the\n"
           "season report's paid ÷ predicted, 馬連 hit rates and return rates of both runs\n"
           "(`--json`: the same as an object). The new files go to `--out DIR` (\"calibrated\" in\n"
           "the application folder by default); `--install --yes` replaces the files in use,\n"
           "keeping the first replaced as \"<name>.old\". They are read at the next start.\n\n"
           "\"RankRate.dat\" (optional; without it the built-in rank rates hold) is one record of\n"
           "3600 bytes, little-endian, each table [kind 1..10][rank 1..18] with the rank varying\n"
           "fastest: int32 ranked runners counted (offset 0), double win percentage (720), double\n"
           "top-two percentage (2160).\n\n";
    std::string page = out.str();
    page.pop_back(); // one newline at the end
    return page;
}

int RunDoc(CliContext& context)
{
    context.out << CliReference();
    return kExitOk;
}

} // namespace vornal::cli
