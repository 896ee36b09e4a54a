#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "present/CellGrid.h"

// How one kind of value is shown in the tables: its field key, its header text, its printf
// format and its display rule. Every table column is one such description together with the
// value it reads, so the screen, the terminal, the clipboard and the printouts show a value
// the same way.
namespace vornal {

// When a value gets a cell text at all. A value that is not shown leaves its cell as the
// table prepared it (empty, or the full-width blank of the tables that sort blank ranks last).
enum class ShowWhen {
    Always,
    Positive,     // "only above 0", "only when 1 or more", "only when positive"
    BelowNoValue, // "only below 10000": the minimum-type figures use 10000 for none
};

struct FieldFormat
{
    std::string_view Key{};    // the RaceDay field it shows ("RankAchievement"), for exports
    std::string_view Header{}; // header text as written in the source (UTF-8)
    std::string_view Format{}; // printf format of a number (UTF-8, may hold a unit: "%2d頭"); unused for texts
    ShowWhen Rule = ShowWhen::Always;
};

// The value of one cell: nothing (no cell text: the record or runner is missing), a number
// formatted by the description, or a text shown as it is (CP932).
using CellValue = std::variant<std::monostate, int, double, std::string>;

// True when a number passes the rule.
bool Shows(ShowWhen rule, double value);

// A payout or odds value in `format`, or blanks of the same width when there is none: the
// odds import marks "no sale" -1 and "not announced" -2, which are no payouts to show.
//   PayoutText("%7.0f", 1520.0) -> "   1520";  PayoutText("%7.0f", -2.0) -> "       "
std::string PayoutText(std::string_view format, double value);

// The cell text of `value`, or nothing when it is not shown.
//   ShowCell({"OverallMin", "総合min", "%6.1f", ShowWhen::BelowNoValue}, 10000.0) -> nothing
//   ShowCell({"RankOverallMin", "順", "%2d"}, 3) -> " 3"
std::optional<std::string> ShowCell(const FieldFormat& format, const CellValue& value);

// The header text of a description in CP932.
const std::string& HeaderText(const FieldFormat& format);

// A table column: its description and the function that reads its value from the row's
// context (a runner, a past run, a race...).
template <typename Context> struct Column
{
    FieldFormat Field;
    CellValue (*Value)(const Context&) = nullptr;
};

// Writes the headers of `columns` into row 0 from column `first` on.
template <typename Context> void WriteHeaders(CellGrid& grid, std::span<const Column<Context>> columns, int first = 0)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        grid.Set(0, first + static_cast<int>(i), HeaderText(columns[i].Field));
    }
}

// Writes the cells of `columns` for `context` into `row` from column `first` on; a value that
// is not shown leaves its cell untouched.
template <typename Context>
void WriteCells(CellGrid& grid, int row, std::span<const Column<Context>> columns, const Context& context,
                int first = 0)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (std::optional<std::string> text = ShowCell(columns[i].Field, columns[i].Value(context))) {
            grid.Set(row, first + static_cast<int>(i), *text);
        }
    }
}

} // namespace vornal
