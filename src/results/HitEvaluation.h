#pragma once

#include <string_view>

#include "raceday/RaceDay.h"

// Hit evaluation: the bets of a race judged against its results (LoadResults). It writes
// only the hit fields of the bet record: WideHit/WideHitPay, QuinellaHit/QuinellaHitPay,
// WinHit/WinHitPay and PlaceHit/PlaceHitPay. Payouts are yen per 100-yen ticket, as the
// payout record gives them. Only bets 1..3 are judged; all comparisons are exact text or
// integer equality.
namespace vornal {

// True for a pair result entry that holds a combination of two non-zero numbers (" 3- 6");
// an empty entry of the payout record reads " 0- 0" and is no result.
bool IsPairResult(std::string_view key);

// Judges the bets of one race:
//   - clears every hit field (bets 1..10 and the single-runner bet);
//   - RunnerCount 9 or more: each non-empty bet 1..3 is a ワイド hit when it equals one of
//     the seven ワイド results and a 馬連 hit when it equals one of the three 馬連 results;
//   - RunnerCount 8 or less: no ワイド judgement; each non-empty bet 1..3 is a 馬連 hit when
//     it equals one of the three 枠連 results, paid at the 枠連 payout (with at most eight
//     runners every horse has its own bracket). A race of that size that has no 枠連
//     result but a 馬連 one (the 枠連 is not sold there) is judged against the 馬連 results;
//   - BetRunner above 0 is a 単勝 hit when it equals one of the three 単勝 horse numbers and
//     a 複勝 hit when it equals one of the five 複勝 horse numbers.
// A later equal result entry gives its payout over an earlier one. Never fails.
void EvaluateRaceHits(const RaceSlot& race, BetRecord& bets);

// EvaluateRaceHits for every race slot whose RaceLoaded is set; other slots are untouched.
void EvaluateDayHits(RaceDay& day);

} // namespace vornal
