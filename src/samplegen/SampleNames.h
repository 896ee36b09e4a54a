#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "samplegen/SampleRandom.h"

// Names of the sample world, built from syllable and word tables and returned as CP932
// bytes padded the way the data service pads them: with full-width blanks to the field's
// byte width.
namespace vornal::samplegen {

// A horse name of 2..9 katakana, never one already in `used`, padded to 36 bytes.
std::string MakeHorseName(SampleRandom& random, std::unordered_set<std::string>& used);

// The 8-byte short name of a Japanese jockey or trainer ("surname + given initial"), never
// one already in `used`.
std::string MakePersonShortName(SampleRandom& random, std::unordered_set<std::string>& used);

// The 8-byte short name of a rider from abroad: a full-width initial, "．" and two katakana.
std::string MakeForeignShortName(SampleRandom& random, std::unordered_set<std::string>& used);

// The name of a special race at a JRA racecourse, in UTF-8: a local place name and a suffix
// fitting the race's standing (`level` 0 = class race, 1 = open or listed, 2 = graded).
std::string MakeRaceName(SampleRandom& random, std::string_view courseCode, int month, int level);

// The name of an exchange race at a local racecourse or a race abroad, in UTF-8.
std::string MakeOutsideRaceName(SampleRandom& random, std::string_view courseCode);

// `utf8` converted to CP932 and cut or padded with full-width blanks to `width` bytes (a
// double-byte character is never cut in half).
std::string FullWidthField(std::string_view utf8, std::size_t width);

} // namespace vornal::samplegen
