#include "results/HitEvaluation.h"

#include "text/Fields.h"

namespace vornal {
namespace {

// Marks `hit` and takes the payout of every entry equal to `bet`; an empty entry " 0- 0"
// is never a hit, whatever the bet reads.
template <std::size_t N>
void JudgePair(std::string_view bet, const std::array<PairPayout, N>& results, bool& hit, int& pay)
{
    for (const PairPayout& entry : results) {
        if (entry.Key == bet && IsPairResult(entry.Key)) {
            hit = true;
            pay = entry.Payout;
        }
    }
}

template <std::size_t N> void JudgeRunner(int horseNo, const std::array<RunnerPayout, N>& results, bool& hit, int& pay)
{
    for (const RunnerPayout& entry : results) {
        if (entry.Key == horseNo) {
            hit = true;
            pay = entry.Payout;
        }
    }
}

} // namespace

bool IsPairResult(std::string_view key)
{
    if (key.size() != 5 || key[2] != '-') {
        return false;
    }
    return LeadingNumber(key.substr(0, 2)) > 0 && LeadingNumber(key.substr(3, 2)) > 0;
}

void EvaluateRaceHits(const RaceSlot& race, BetRecord& bets)
{
    bets.WideHit.fill(false);
    bets.WideHitPay.fill(0);
    bets.QuinellaHit.fill(false);
    bets.QuinellaHitPay.fill(0);
    bets.WinHit = false;
    bets.WinHitPay = 0;
    bets.PlaceHit = false;
    bets.PlaceHitPay = 0;

    const bool fullField = race.RunnerCount >= 9;
    // With eight runners or fewer the bracket quinella is the horse quinella. Older days
    // sold only the 枠連 there; later days sell only the 馬連, which must then be judged or
    // the bets would be staked with no way to hit.
    const bool byBracket = !fullField && IsPairResult(race.BracketResult[0].Key.View());
    for (int i = 1; i <= 3; ++i) {
        std::string_view bet = bets.BetCombos[static_cast<std::size_t>(i)].View();
        if (IsBlank(bet)) {
            continue;
        }
        bool& quinellaHit = bets.QuinellaHit[static_cast<std::size_t>(i)];
        int& quinellaPay = bets.QuinellaHitPay[static_cast<std::size_t>(i)];
        if (fullField) {
            JudgePair(bet, race.WideResult, bets.WideHit[static_cast<std::size_t>(i)],
                      bets.WideHitPay[static_cast<std::size_t>(i)]);
        }
        JudgePair(bet, byBracket ? race.BracketResult : race.QuinellaResult, quinellaHit, quinellaPay);
    }

    if (bets.BetRunner > 0) {
        JudgeRunner(bets.BetRunner, race.WinResult, bets.WinHit, bets.WinHitPay);
        JudgeRunner(bets.BetRunner, race.PlaceResult, bets.PlaceHit, bets.PlaceHitPay);
    }
}

void EvaluateDayHits(RaceDay& day)
{
    for (int r = 0; r < kRaceSlots; ++r) {
        if (day.Races[r].RaceLoaded) {
            EvaluateRaceHits(day.Races[r], day.Bets[r]);
        }
    }
}

} // namespace vornal
