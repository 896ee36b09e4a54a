#include "samplegen/RaceSimulation.h"

#include <algorithm>
#include <cmath>

#include "samplegen/Market.h"
#include "samplegen/RacingRules.h"

namespace vornal::samplegen {
namespace {

int GoingIndex(char going)
{
    return going >= '1' && going <= '4' ? going - '0' : 1;
}

double GoingFactor(Surface surface, char going)
{
    // Rain slows turf and speeds up dirt (wet sand packs firmer).
    static constexpr double kTurf[] = {1.0, 1.0, 1.008, 1.018, 1.030};
    static constexpr double kDirt[] = {1.0, 1.0, 0.996, 0.992, 0.989};
    return surface == Surface::Dirt ? kDirt[GoingIndex(going)] : kTurf[GoingIndex(going)];
}

double GoingLast3F(Surface surface, char going)
{
    static constexpr double kTurf[] = {0, 0, 0.4, 1.0, 1.8};
    static constexpr double kDirt[] = {0, 0, -0.2, -0.4, -0.5};
    return surface == Surface::Dirt ? kDirt[GoingIndex(going)] : kTurf[GoingIndex(going)];
}

bool HillyCourse(const CourseInfo& course)
{
    return course.code == "06" || course.code == "09" || course.code == "01" || course.code == "02";
}

char GoingOf(const Race& race)
{
    return race.surface == Surface::Dirt ? race.goingDirt : race.goingTurf;
}

void Scratch(Race& race, SampleRandom& random)
{
    // A few horses are withdrawn on the day, before betting opens; the field keeps at least
    // five starters.
    for (Runner& runner : race.runners) {
        if (Starters(race) > 5 && random.Chance(0.003)) {
            runner.status = RunStatus::Scratched;
        }
    }
}

// Finishing times. A horse's time is the standard time of the race less its rating on the
// day, so a horse rated one second a mile better is a second faster over a mile.
void RunTimes(Race& race, SampleRandom& random)
{
    const double miles = race.distance / 1600.0;
    const bool jump = race.surface == Surface::Jump;
    const double pace = race.surface == Surface::Dirt ? race.course->dirtPace : race.course->turfPace;
    const double standard = StandardTime(race.surface, race.distance) * pace * GoingFactor(race.surface, GoingOf(race));
    for (Runner& runner : race.runners) {
        if (runner.status == RunStatus::Scratched) {
            continue;
        }
        const double form = random.Normal() * 0.65;
        const double luck = random.Normal() * (jump ? 0.55 : 0.40);
        const double trouble = random.Chance(0.04) ? 0.5 + random.Uniform() * 2.0 : 0.0;
        runner.seconds = standard - (runner.rating + form) * miles + luck * miles + trouble;
        runner.style = std::clamp(runner.style + random.Normal() * 0.12, 0.0, 1.0);
        if (random.Chance(jump ? 0.03 : 0.0015)) {
            runner.status = RunStatus::Stopped;
        }
    }
}

// Positions by time; horses timed alike to the tenth may rarely be declared a dead heat.
std::vector<std::size_t> PlaceFinishers(Race& race, SampleRandom& random)
{
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        Runner& runner = race.runners[i];
        if (runner.status == RunStatus::Ran) {
            runner.timeTenths = static_cast<int>(std::floor(runner.seconds * 10.0 + 0.5));
            order.push_back(i);
        }
    }
    std::sort(order.begin(), order.end(), [&race](std::size_t a, std::size_t b) {
        const Runner& ra = race.runners[a];
        const Runner& rb = race.runners[b];
        return ra.seconds != rb.seconds ? ra.seconds < rb.seconds : ra.number < rb.number;
    });
    for (std::size_t k = 0; k < order.size(); ++k) {
        Runner& runner = race.runners[order[k]];
        runner.position = static_cast<int>(k) + 1;
        if (k > 0) {
            const Runner& ahead = race.runners[order[k - 1]];
            if (ahead.timeTenths == runner.timeTenths && random.Chance(0.008)) {
                runner.position = ahead.position;
            }
        }
    }
    return order;
}

void SetMargins(Race& race, const std::vector<std::size_t>& order)
{
    for (Runner& runner : race.runners) {
        runner.marginTenths = kNoMargin;
    }
    if (order.empty()) {
        return;
    }
    const int winnerTime = race.runners[order[0]].timeTenths;
    const int nextTime = order.size() > 1 ? race.runners[order[1]].timeTenths : winnerTime;
    for (std::size_t index : order) {
        Runner& runner = race.runners[index];
        // The winner's figure is its lead over the runner-up, written with a minus sign.
        runner.marginTenths =
            runner.position == 1 ? -(nextTime - winnerTime) : std::min(runner.timeTenths - winnerTime, 999);
    }
}

// Time of the last 600 m. Each horse is some way behind the leader when the last 600 m begin
// (closers further back); what it covers after that is its time less the leader's time to
// that point and its own deficit there.
void SetLast3F(Race& race, const std::vector<std::size_t>& order, SampleRandom& random)
{
    for (Runner& runner : race.runners) {
        runner.last3FTenths = runner.status == RunStatus::Ran ? 0 : 999;
    }
    if (order.empty()) {
        return;
    }
    if (race.surface == Surface::Jump) {
        // Steeplechases report the average time of a furlong instead.
        for (std::size_t index : order) {
            Runner& runner = race.runners[index];
            runner.last3FTenths = static_cast<int>(std::lround(runner.seconds / (race.distance / 200.0) * 10.0));
        }
        return;
    }
    const double spread = 0.6 + 0.0012 * race.distance;
    const Runner& winner = race.runners[order[0]];
    double winnerLast = StandardLast3F(race.surface, race.distance) + GoingLast3F(race.surface, GoingOf(race)) +
                        (HillyCourse(*race.course) ? 0.3 : 0.0) - 0.15 * winner.rating + random.Normal() * 0.35;
    const double leaderAt600 = winner.seconds - winnerLast - winner.style * spread;
    for (std::size_t index : order) {
        Runner& runner = race.runners[index];
        double last = runner.seconds - leaderAt600 - runner.style * spread;
        last = std::clamp(last, winnerLast - 1.5, winnerLast + 6.0);
        last = std::clamp(last, 31.0, 49.9);
        runner.last3FTenths = static_cast<int>(std::lround(last * 10.0));
    }
}

// Positions at the corners: early on they follow the running style, nearer home the
// finishing order. A horse pulled up has no position from the corner where it stopped.
void SetCorners(Race& race, const std::vector<std::size_t>& order, SampleRandom& random)
{
    const std::size_t n = race.runners.size();
    std::vector<double> finishRank(n, 1.0);
    for (std::size_t k = 0; k < order.size(); ++k) {
        finishRank[order[k]] = static_cast<double>(k) / static_cast<double>(std::max<std::size_t>(1, n));
    }
    const int count = race.corners;
    const int firstSlot = 4 - count;
    std::vector<int> stopAt(n, 4);
    for (std::size_t i = 0; i < n; ++i) {
        if (race.runners[i].status == RunStatus::Stopped) {
            stopAt[i] = firstSlot + random.Below(std::max(1, count));
        }
    }
    static constexpr double kWeightFour[] = {0.15, 0.2, 0.35, 0.55};
    for (int slot = firstSlot; slot < 4; ++slot) {
        const double w = count == 4 ? kWeightFour[slot] : (slot == 2 ? 0.35 : 0.55);
        std::vector<std::pair<double, std::size_t>> running;
        for (std::size_t i = 0; i < n; ++i) {
            const Runner& runner = race.runners[i];
            if (runner.status == RunStatus::Scratched || slot >= stopAt[i]) {
                continue;
            }
            const double metric = (1.0 - w) * runner.style + w * finishRank[i] + random.Normal() * 0.07;
            running.emplace_back(metric, i);
        }
        std::sort(running.begin(), running.end());
        for (std::size_t k = 0; k < running.size(); ++k) {
            race.runners[running[k].second].corners[static_cast<std::size_t>(slot)] = static_cast<int>(k) + 1;
        }
    }
}

void SetPrizes(Race& race)
{
    const bool special = race.grade != ' ';
    for (Runner& runner : race.runners) {
        if (runner.position < 1 || runner.position > 5) {
            continue;
        }
        // Horses dead-heating share the prizes of the places they cover.
        int tied = 0;
        for (const Runner& other : race.runners) {
            if (other.position == runner.position) {
                ++tied;
            }
        }
        long long sum = 0;
        for (int place = runner.position; place < runner.position + tied; ++place) {
            sum += place <= 5 ? race.prizes[static_cast<std::size_t>(place - 1)] : 0;
        }
        runner.prize = sum / tied;
        if (special && race.course->region == CourseRegion::Jra && runner.position <= 3) {
            static constexpr int kAddedPercent[] = {70, 20, 10};
            runner.addedPrize = race.prizes[0] * 3 / 100 * kAddedPercent[runner.position - 1] / 100 / tied;
        }
        if (runner.position == 1) {
            runner.earned = EarnedForWin(race.raceClass, race.prizes[0]);
        }
    }
}

} // namespace

void RunRace(Race& race, SampleRandom& random, bool payouts)
{
    Scratch(race, random);
    std::vector<double> ratings(race.runners.size());
    for (std::size_t i = 0; i < race.runners.size(); ++i) {
        ratings[i] = race.runners[i].market;
    }
    PriceWinPool(race, SharesFromRatings(race, ratings, kMarketTemperature));

    RunTimes(race, random);
    const std::vector<std::size_t> order = PlaceFinishers(race, random);
    SetMargins(race, order);
    SetLast3F(race, order, random);
    if (race.corners > 0) {
        SetCorners(race, order, random);
    }
    SetPrizes(race);
    if (payouts) {
        race.pay = Settle(race);
    }
}

} // namespace vornal::samplegen
