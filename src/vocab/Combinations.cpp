#include "vocab/Combinations.h"

#include "text/Format.h"

namespace vornal {
namespace {

constexpr int kMaxHorse = 18;
constexpr int kMaxBracket = 8;

std::string PairText(int a, int b)
{
    return fmt::sprintf("%2d-%2d", a, b);
}

// A number 1..99 in the two-character layout (" 7", "12"); -1 for anything else. Only the
// layout check: whether it is the canonical text is decided by formatting it back.
int TwoCharNumber(std::string_view two)
{
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (two[0] == ' ' && digit(two[1])) {
        return two[1] - '0';
    }
    if (digit(two[0]) && digit(two[1])) {
        return (two[0] - '0') * 10 + (two[1] - '0');
    }
    return -1;
}

// The two numbers of a "aa-bb" text, or nothing when the layout is not that.
std::optional<std::pair<int, int>> SplitPairText(std::string_view text)
{
    if (text.size() != 5 || text[2] != '-') {
        return std::nullopt;
    }
    int a = TwoCharNumber(text.substr(0, 2));
    int b = TwoCharNumber(text.substr(3, 2));
    if (a < 0 || b < 0) {
        return std::nullopt;
    }
    return std::pair{a, b};
}

} // namespace

int QuinellaIndex(int a, int b)
{
    if (a < 1 || b <= a || b > kMaxHorse) {
        return 0;
    }
    // Pairs before first number a: 17 + 16 + ... + (18 - (a - 1)).
    return (a - 1) * (36 - a) / 2 + (b - a);
}

int QuinellaIndex(std::string_view text)
{
    auto pair = SplitPairText(text);
    if (!pair) {
        return 0;
    }
    int index = QuinellaIndex(pair->first, pair->second);
    // "01- 2" splits into 1 and 2 but is not the text of that pair.
    return (index != 0 && PairText(pair->first, pair->second) == text) ? index : 0;
}

std::optional<std::pair<int, int>> QuinellaPair(int index)
{
    if (index < 1 || index > kQuinellaCount) {
        return std::nullopt;
    }
    int a = 1;
    while (QuinellaIndex(a, kMaxHorse) < index) {
        ++a;
    }
    return std::pair{a, a + index - QuinellaIndex(a, a + 1) + 1};
}

void QuinellaText(int index, std::string& target)
{
    if (auto pair = QuinellaPair(index)) {
        target = PairText(pair->first, pair->second);
    }
}

std::string QuinellaText(int index)
{
    std::string text;
    QuinellaText(index, text);
    return text;
}

int BracketIndex(int a, int b)
{
    if (a < 1 || b < a || b > kMaxBracket) {
        return 0;
    }
    // Pairs before first bracket a: 8 + 7 + ... + (8 - (a - 2)).
    return (a - 1) * (18 - a) / 2 + (b - a) + 1;
}

int BracketIndex(std::string_view text)
{
    auto pair = SplitPairText(text);
    if (!pair) {
        return 0;
    }
    int index = BracketIndex(pair->first, pair->second);
    return (index != 0 && PairText(pair->first, pair->second) == text) ? index : 0;
}

std::optional<std::pair<int, int>> BracketPair(int index)
{
    if (index < 1 || index > kBracketCount) {
        return std::nullopt;
    }
    int a = 1;
    while (BracketIndex(a, kMaxBracket) < index) {
        ++a;
    }
    return std::pair{a, a + index - BracketIndex(a, a)};
}

std::string BracketText(int index)
{
    auto pair = BracketPair(index);
    return pair ? PairText(pair->first, pair->second) : std::string();
}

} // namespace vornal
