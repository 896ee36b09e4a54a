#include "betting/UserRuleSet.h"

#include <algorithm>

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/FileNames.h"
#include "text/Format.h"

namespace vornal {
namespace {

constexpr int kHighestRank = 18;
constexpr int kFewestListedRunners = 5;

bool IsSpaceByte(char c)
{
    return static_cast<unsigned char>(c) <= 0x20 && c != '\0';
}

std::string RankText(int value)
{
    return value > 0 ? fmt::sprintf("%2d", value) : std::string();
}

int IntegerOf(const std::string& field)
{
    return ParseInt(field).value_or(0);
}

RatingRank RatingRankOf(const std::vector<std::string>& fields, std::size_t at)
{
    return {fields[at], IntegerOf(fields[at + 1])};
}

void AddRatingRank(std::vector<std::string>& fields, const RatingRank& input)
{
    fields.push_back(input.rating);
    fields.push_back(RankText(input.rank));
}

// Filled: a rating of the lists and a rank of the lists. Empty: neither.
enum class InputState { Empty, Filled, Invalid };

InputState StateOf(const RatingRank& input)
{
    if (input.Empty()) {
        return InputState::Empty;
    }
    if (IsUserRatingName(input.rating) && input.rank >= 1 && input.rank <= kHighestRank) {
        return InputState::Filled;
    }
    return InputState::Invalid;
}

bool PairRuleValid(const UserPairRule& rule)
{
    InputState first = StateOf(rule.first);
    InputState second = StateOf(rule.second);
    if (first == InputState::Empty && second == InputState::Empty) {
        return true;
    }
    return first == InputState::Filled && second == InputState::Filled && !(rule.first == rule.second);
}

} // namespace

const std::vector<std::string>& UserRatingNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const char* name : {"実績確率", "格", "平均着差", "修正ﾛｰﾃ", "ｺﾞｰﾙ着差", "最終ｺﾞｰﾙ", "基準TM",
                                 "最良基準TM", "脚質", "総合min", "B確率", "実力", "ｽﾀﾐﾅ", "FT差"}) {
            list.push_back(Sjis(name));
        }
        return list;
    }();
    return names;
}

bool IsUserRatingName(std::string_view rating)
{
    const std::vector<std::string>& names = UserRatingNames();
    return std::find(names.begin(), names.end(), rating) != names.end();
}

std::vector<std::string> SplitCommaText(std::string_view line)
{
    std::vector<std::string> fields;
    std::size_t i = 0;
    const std::size_t n = line.size();
    auto skipBlanks = [&] {
        while (i < n && IsSpaceByte(line[i])) {
            ++i;
        }
    };
    skipBlanks();
    while (i < n) {
        std::string field;
        if (line[i] == '"') {
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                // A CP932 trail byte is never a quote, but keep the pair together anyway.
                std::size_t length = CharLength(line, i);
                field.append(line.substr(i, length));
                i += length;
            }
        } else {
            std::size_t start = i;
            while (i < n && !IsSpaceByte(line[i]) && line[i] != ',') {
                i += CharLength(line, i);
            }
            field.assign(line.substr(start, std::min(i, n) - start));
            i = std::min(i, n);
        }
        fields.push_back(std::move(field));
        skipBlanks();
        if (i < n && line[i] == ',') {
            ++i;
            if (i == n) {
                fields.emplace_back();
            }
            skipBlanks();
        }
    }
    return fields;
}

std::vector<std::string> UserRuleSetFields(const UserRuleSet& set)
{
    std::vector<std::string> fields;
    fields.reserve(kUserRuleSetFields);
    fields.push_back(set.name);
    AddRatingRank(fields, set.turf.win);
    AddRatingRank(fields, set.dirt.win);
    for (const UserSurfaceRules* surface : {&set.turf, &set.dirt}) {
        for (const UserPairRule& rule : surface->pairs) {
            AddRatingRank(fields, rule.first);
            AddRatingRank(fields, rule.second);
        }
    }
    for (const UserSurfaceRules* surface : {&set.turf, &set.dirt}) {
        fields.push_back(RankText(surface->runnersFrom));
        fields.push_back(RankText(surface->runnersTo));
        fields.push_back(fmt::sprintf("%4d", surface->distanceFrom));
        fields.push_back(fmt::sprintf("%4d", surface->distanceTo));
    }
    return fields;
}

std::string UserRuleSetLine(const UserRuleSet& set)
{
    std::string line;
    std::vector<std::string> fields = UserRuleSetFields(set);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += ',';
        }
        line += fields[i];
    }
    return line;
}

std::optional<UserRuleSet> UserRuleSetFromFields(const std::vector<std::string>& fields)
{
    if (fields.size() != static_cast<std::size_t>(kUserRuleSetFields)) {
        return std::nullopt;
    }
    UserRuleSet set;
    set.name = Trim(fields[0]);
    set.turf.win = RatingRankOf(fields, 1);
    set.dirt.win = RatingRankOf(fields, 3);
    std::size_t at = 5;
    for (UserSurfaceRules* surface : {&set.turf, &set.dirt}) {
        for (UserPairRule& rule : surface->pairs) {
            rule.first = RatingRankOf(fields, at);
            rule.second = RatingRankOf(fields, at + 2);
            at += 4;
        }
    }
    for (UserSurfaceRules* surface : {&set.turf, &set.dirt}) {
        surface->runnersFrom = IntegerOf(fields[at]);
        surface->runnersTo = IntegerOf(fields[at + 1]);
        surface->distanceFrom = IntegerOf(fields[at + 2]);
        surface->distanceTo = IntegerOf(fields[at + 3]);
        at += 4;
    }
    return set;
}

UserRuleSet AsShownInWindow(const UserRuleSet& set)
{
    UserRuleSet shown = set;
    auto showInput = [](RatingRank& input) {
        if (!IsUserRatingName(input.rating)) {
            input.rating.clear();
        }
        if (input.rank < 1 || input.rank > kHighestRank) {
            input.rank = 0;
        }
    };
    auto showCount = [](int& count) {
        if (count < kFewestListedRunners || count > kHighestRank) {
            count = 0;
        }
    };
    for (UserSurfaceRules* surface : {&shown.turf, &shown.dirt}) {
        showInput(surface->win);
        for (UserPairRule& rule : surface->pairs) {
            showInput(rule.first);
            showInput(rule.second);
        }
        showCount(surface->runnersFrom);
        showCount(surface->runnersTo);
    }
    return shown;
}

namespace {

// A surface bets when one of its rules is filled and its runner range reaches a field of at
// least one runner (the betting swaps a range given the wrong way round).
bool SurfaceCanBet(const UserSurfaceRules& rules)
{
    const bool anyRule = StateOf(rules.win) == InputState::Filled ||
                         std::any_of(rules.pairs.begin(), rules.pairs.end(), [](const UserPairRule& pair) {
                             return StateOf(pair.first) == InputState::Filled;
                         });
    return anyRule && std::max(rules.runnersFrom, rules.runnersTo) >= 1;
}

} // namespace

std::string ValidateUserRuleSet(const UserRuleSet& set)
{
    auto winValid = [](const RatingRank& input) { return StateOf(input) != InputState::Invalid; };
    if (!winValid(set.turf.win)) {
        return Sjis("単勝・芝の入力が不正です。");
    }
    if (!winValid(set.dirt.win)) {
        return Sjis("単勝・ダートの入力が不正です。");
    }
    static constexpr const char* kPairMessages[2][kUserPairRules] = {
        {"芝１点目の入力が不正です。", "芝２点目の入力が不正です。", "芝３点目の入力が不正です。"},
        {"ﾀﾞｰﾄ１点目の入力が不正です。", "ﾀﾞｰﾄ２点目の入力が不正です。", "ﾀﾞｰﾄ３点目の入力が不正です。"},
    };
    const UserSurfaceRules* surfaces[2] = {&set.turf, &set.dirt};
    for (int s = 0; s < 2; ++s) {
        for (int i = 0; i < kUserPairRules; ++i) {
            if (!PairRuleValid(surfaces[s]->pairs[static_cast<std::size_t>(i)])) {
                return Sjis(kPairMessages[s][i]);
            }
        }
    }
    std::string name = Trim(set.name);
    if (name.empty()) {
        // The window's own text, misspelling and all.
        return Sjis("設定名を入力してくだい。");
    }
    if (std::string problem = SetNameProblem(name); !problem.empty()) {
        return problem;
    }
    // A set saved with its runner counts left empty bets in no race, and nothing would say so.
    if (!SurfaceCanBet(set.turf) && !SurfaceCanBet(set.dirt)) {
        return Sjis(kNeverBetsMessage);
    }
    return {};
}

bool IsStorableSetName(std::string_view name)
{
    if (!IsValidCp932(name)) {
        return false;
    }
    // Walk whole characters: the trail byte of ソ is 0x5C and of ポ is 0x7C, and neither is
    // a path separator or a bar.
    for (std::size_t i = 0; i < name.size(); i += CharLength(name, i)) {
        if (CharLength(name, i) == 2) {
            continue;
        }
        char c = name[i];
        if (static_cast<unsigned char>(c) <= 0x20 ||
            std::string_view(",\"\\/:*?<>|").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

std::string SetNameProblem(std::string_view name)
{
    if (!IsStorableSetName(name)) {
        return Sjis("設定名に使えない文字が含まれています。");
    }
    if (name.size() > kUserSetNameBytes) {
        return Sjis("設定名は8バイト（全角4文字）以内で入力してください。");
    }
    return {};
}

} // namespace vornal
