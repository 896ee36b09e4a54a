#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "raceday/JsonWriter.h"
#include "raceday/LoadWarning.h"
#include "raceday/RaceDay.h"

// The race day as JSON for `vornal-cli race --json` and `day --json`. Keys are the field
// names of the RaceDay. Each level has one function listing its fields; a pass that adds
// fields adds them to the list of its level.
//
//   race:  {"date", "slot", race fields..., bet fields..., "runners": [runner, ...]}
//   runner: {"slot", runner fields..., "past": [{"k", past-run fields...}, ...]}
namespace vornal {

// The fields of race slot `race` (without date, slot and runners).
void WriteRaceFields(JsonWriter& json, const RaceSlot& race);
// The bets of one race and their judgement.
void WriteBetFields(JsonWriter& json, const BetRecord& bets);
// The fields of one runner (without slot and past runs).
void WriteRunnerFields(JsonWriter& json, const Runner& runner);
// The fields of one past run (without k).
void WritePastRunFields(JsonWriter& json, const PastRun& past);

// The whole race object: its fields, the runners 0..RunnerCount-1 and their five past
// runs. `dayName` is the CP932 date text. `warnings`, when given, are the day load's, written
// after "slot" when there are any (a race printed alone carries its day's warnings).
void WriteRaceJson(JsonWriter& json, const RaceDay& day, std::string_view dayName, int race,
                   const LoadWarnings* warnings = nullptr);

// {"date", "RaceCount", "BetKindSuffix", day fields of the layers above...,
//  "races": [every loaded race as WriteRaceJson writes it]}. `dayFields`, when given, writes
// the day-level fields that live outside the RaceDay (the day totals).
void WriteDayJson(JsonWriter& json, const RaceDay& day, std::string_view dayName,
                  const std::function<void(JsonWriter&)>& dayFields = {});

// "warnings": [{"file", "record", "field", "text"}, ...] when there are any, nothing
// otherwise (a sound day's JSON has no such key). "record" is -1 for a whole file.
void WriteLoadWarningsJson(JsonWriter& json, const LoadWarnings& warnings);

} // namespace vornal
