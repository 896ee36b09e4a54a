#include "results/DayTotalsJson.h"

#include "text/Encoding.h"

namespace vornal {

void WriteDayTotalsJson(JsonWriter& json, const DayTotals& totals)
{
    json.BeginObject();
    for (BetType type : kBetTypes) {
        const BetTypeTotals& t = totals[type];
        json.Key(ToUtf8(BetTypeName(type)));
        json.BeginObject();
        json.Field("points", t.Points);
        json.Field("hits", t.Hits);
        json.Key("staked");
        json.Number(t.Staked());
        json.Key("returned");
        json.Number(t.Returned);
        json.Key("rate");
        json.Cp932(t.RateText());
        json.EndObject();
    }
    json.EndObject();
}

} // namespace vornal
