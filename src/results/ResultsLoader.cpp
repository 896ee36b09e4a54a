#include "results/ResultsLoader.h"

#include <algorithm>
#include <span>

#include "store/JvLayout.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

// The number of an SE field unless it is blank or all zeros ("00", "0000"): a scratched
// runner or a race not yet run keeps what it had.
bool ReadResultField(std::string_view se, jv::FieldPos field, std::string_view zero, long long& value)
{
    std::string_view text = TrimView(jv::View(se, field));
    if (text.empty() || text == zero) {
        return false;
    }
    value = LeadingNumber(text);
    return true;
}

void ReadRunnerTable(std::string_view hr, const jv::hr::PayTable& table, std::span<RunnerPayout> entries)
{
    for (int i = 1; i <= table.entries && i <= static_cast<int>(entries.size()); ++i) {
        RunnerPayout& entry = entries[static_cast<std::size_t>(i - 1)];
        entry.Key = static_cast<int>(jv::Number(hr, jv::Nth(table.key, table.stride, i)));
        entry.Payout = static_cast<int>(jv::Number(hr, jv::Nth(table.payout, table.stride, i)));
        entry.Popularity = static_cast<int>(jv::Number(hr, jv::Nth(table.popularity, table.stride, i)));
    }
}

// Pair keys hold two numbers of half the key's width each: one digit per bracket for 枠連,
// two digits per horse for 馬連 and ワイド.
void ReadPairTable(std::string_view hr, const jv::hr::PayTable& table, std::span<PairPayout> entries)
{
    int half = table.key.length / 2;
    for (int i = 1; i <= table.entries && i <= static_cast<int>(entries.size()); ++i) {
        PairPayout& entry = entries[static_cast<std::size_t>(i - 1)];
        jv::FieldPos key = jv::Nth(table.key, table.stride, i);
        long long first = jv::Number(hr, {key.position, half});
        long long second = jv::Number(hr, {key.position + half, half});
        entry.Key = fmt::sprintf("%2d-%2d", first, second);
        entry.Payout = static_cast<int>(jv::Number(hr, jv::Nth(table.payout, table.stride, i)));
        entry.Popularity = static_cast<int>(jv::Number(hr, jv::Nth(table.popularity, table.stride, i)));
    }
}

} // namespace

void LoadResults(RaceDay& day)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        if (IsBlank(jv::View(day.RaceRA[r].View(), jv::kYear))) {
            continue;
        }
        RaceSlot& race = day.Races[r];
        int runners = std::clamp(race.RunnerCount, 0, kRunnerSlots);
        for (int h = 0; h < runners; ++h) {
            std::string_view se = day.RunnerSE[r][h].View();
            Runner& runner = race.Runners[h];
            long long value = 0;
            if (ReadResultField(se, jv::se::kFinalPosition, "00", value)) {
                runner.FinishPos = static_cast<int>(value);
            }
            if (ReadResultField(se, jv::se::kPopularity, "00", value)) {
                runner.WinPopularity = static_cast<int>(value);
            }
            if (ReadResultField(se, jv::se::kWinOdds, "0000", value)) {
                runner.FinalWinOdds = static_cast<double>(value) / 10.0;
            }
        }
        std::string_view hr = day.RaceHR[r].View();
        ReadRunnerTable(hr, jv::hr::kWin, race.WinResult);
        ReadRunnerTable(hr, jv::hr::kPlace, race.PlaceResult);
        ReadPairTable(hr, jv::hr::kBracketQuinella, race.BracketResult);
        ReadPairTable(hr, jv::hr::kQuinella, race.QuinellaResult);
        ReadPairTable(hr, jv::hr::kWide, race.WideResult);
    }
}

} // namespace vornal
