#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

// Numbering of the two-number combinations.
//
// Quinella (馬連): horse numbers a < b, each 1..18, numbered 1..153 in the order
// (1,2), (1,3) .. (1,18), (2,3) .. (17,18). Bracket quinella (枠連): bracket numbers a <= b,
// each 1..8, numbered 1..36 in the order (1,1), (1,2) .. (1,8), (2,2) .. (8,8), which is the
// order of the bracket odds in the O1 record. Both are written as five characters, each
// number right-aligned in two: " 1- 2", " 9-18", " 3- 3". Index 0 means "no combination".
namespace vornal {

constexpr int kQuinellaCount = 153;
constexpr int kBracketCount = 36;

// 1..153 for exactly one of the 153 combination texts, 0 for anything else: no trimming or
// parsing, so "1-2", " 1- 2 " and the reversed " 2- 1" give 0.
int QuinellaIndex(std::string_view text);

// 1..153 for horse numbers 1 <= a < b <= 18, 0 otherwise (also for a reversed pair).
int QuinellaIndex(int a, int b);

// Writes the combination text of index 1..153 to `target`; any other index leaves `target`
// as it was.
void QuinellaText(int index, std::string& target);

// The combination text of index 1..153, empty for any other index.
std::string QuinellaText(int index);

// The horse numbers (a, b) of index 1..153.
std::optional<std::pair<int, int>> QuinellaPair(int index);

// 1..36 for bracket numbers 1 <= a <= b <= 8, 0 otherwise.
int BracketIndex(int a, int b);

// 1..36 for exactly one of the 36 bracket combination texts (" 1- 1" .. " 8- 8"), else 0.
int BracketIndex(std::string_view text);

// The combination text of index 1..36, empty for any other index.
std::string BracketText(int index);

// The bracket numbers (a, b) of index 1..36.
std::optional<std::pair<int, int>> BracketPair(int index);

} // namespace vornal
