#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A user betting rule set (ユーザー買い目設定): for turf (芝) and dirt (ﾀﾞｰﾄ) races
// separately, one rating-and-rank rule for the 単勝 runner, three quinella rules (１点目,
// ２点目, ３点目) of two rating-and-rank members each, and the runner-count and distance
// ranges of the races it bets. Sets are stored one a line in "UserSet.usd" as 37
// comma-separated fields (see UserRuleSetFields). All texts are CP932.
namespace vornal {

inline constexpr int kUserRuleSetFields = 37;
inline constexpr int kUserPairRules = 3;
// The longest set name the settings window takes, in bytes.
inline constexpr std::size_t kUserSetNameBytes = 8;
// Distances shorter than this are taken as this when a set is saved.
inline constexpr int kShortestUserDistance = 1000;

// One rating-and-rank input: the rating's name (one of UserRatingNames) and a rank 1..18.
// An empty input has an empty name and rank 0.
struct RatingRank
{
    std::string rating;
    int rank = 0;

    bool Empty() const { return rating.empty() && rank == 0; }
    friend bool operator==(const RatingRank&, const RatingRank&) = default;
};

// One quinella rule: the runners holding the two members' ranks form the combination.
struct UserPairRule
{
    RatingRank first;
    RatingRank second;

    friend bool operator==(const UserPairRule&, const UserPairRule&) = default;
};

// The rules of one surface. Runner counts are 0 when left empty.
struct UserSurfaceRules
{
    RatingRank win;
    std::array<UserPairRule, kUserPairRules> pairs{};
    int runnersFrom = 0;
    int runnersTo = 0;
    int distanceFrom = 1000;
    int distanceTo = 3000;

    friend bool operator==(const UserSurfaceRules&, const UserSurfaceRules&) = default;
};

struct UserRuleSet
{
    std::string name;
    UserSurfaceRules turf;
    UserSurfaceRules dirt;

    friend bool operator==(const UserRuleSet&, const UserRuleSet&) = default;
};

// The fourteen rating names a rule may use, in the order of the window's lists:
// "実績確率", "格", "平均着差", "修正ﾛｰﾃ", "ｺﾞｰﾙ着差", "最終ｺﾞｰﾙ", "基準TM", "最良基準TM",
// "脚質", "総合min", "B確率", "実力", "ｽﾀﾐﾅ", "FT差".
const std::vector<std::string>& UserRatingNames();
bool IsUserRatingName(std::string_view rating);

// Splits a line as comma text: blanks (bytes <= 0x20) before and after a field are
// skipped; an unquoted field ends at a comma or a blank; a field starting with a double
// quote runs to the closing quote (two quotes inside stand for one); an empty field between
// two commas, or after a final comma, counts as a field. " 1" reads back as "1"; an empty or
// blank line has no field.
std::vector<std::string> SplitCommaText(std::string_view line);

// The 37 fields of a set as the file stores them:
//   0 name; 1, 2 芝 単勝 rating, rank; 3, 4 ﾀﾞｰﾄ 単勝; 5..8, 9..12, 13..16 芝 １点目..３点目
//   (rating, rank, rating, rank); 17..28 ﾀﾞｰﾄ １点目..３点目; 29, 30 芝 runner counts;
//   31, 32 芝 distances; 33, 34 ﾀﾞｰﾄ runner counts; 35, 36 ﾀﾞｰﾄ distances.
// Ranks and runner counts are "%2d" (" 5", "18"), empty when 0; distances are "%4d".
std::vector<std::string> UserRuleSetFields(const UserRuleSet& set);
// The fields joined by "," (no quoting), without line end.
std::string UserRuleSetLine(const UserRuleSet& set);

// The set of the 37 fields of a split line; nothing when there are not exactly 37. A rank,
// runner count or distance that does not read as an integer is taken as 0; rating names are
// kept as they are, so a name the rules do not know simply finds no runner.
std::optional<UserRuleSet> UserRuleSetFromFields(const std::vector<std::string>& fields);

// The set as the settings window shows it: the window's lists offer only the rating names,
// ranks 1..18 and runner counts 5..18, so any other value read from the file shows as an
// empty input. Saving the shown set therefore writes only values the lists offer.
UserRuleSet AsShownInWindow(const UserRuleSet& set);

// The first check that `set` fails when it is registered, as the message the window shows
// (CP932), or the empty text when the set may be saved. In order: the 芝 and ﾀﾞｰﾄ 単勝
// rules ("単勝・芝の入力が不正です。", "単勝・ダートの入力が不正です。"), the six quinella
// rules 芝１点目 .. ﾀﾞｰﾄ３点目 ("芝１点目の入力が不正です。" ..), the name
// ("設定名を入力してくだい。" when it is blank), then the name's bytes (SetNameProblem).
//
// A rule input counts as filled only with a name of UserRatingNames and a rank 1..18, and
// as empty only with both left empty; anything else makes its rule invalid. A quinella rule
// must be all empty, or all filled with two different members. Ranges are not checked,
// except that a set whose rules can bet in no race (no surface with a filled rule and a
// runner range of at least one runner, as when the runner counts are left empty) is
// refused last with kNeverBetsMessage.
std::string ValidateUserRuleSet(const UserRuleSet& set);

// UTF-8; ValidateUserRuleSet returns it in CP932.
inline constexpr const char* kNeverBetsMessage =
    "この設定ではどのﾚｰｽにも買い目が出ません。対象ﾚｰｽの頭数と買い目を指定してください。";

// Why a (trimmed, non-empty) set name cannot be stored, or the empty text when it can:
//   "設定名に使えない文字が含まれています。"
//   "設定名は8バイト（全角4文字）以内で入力してください。"
// The name must be CP932 text of at most 8 bytes without blanks, commas or double quotes (the
// comma-text split would shift the fields) and without \ / : * ? < > | (the name becomes
// part of the hit-judgement file names).
std::string SetNameProblem(std::string_view name);
// The character part of that test (any length): CP932 without blanks, commas, double quotes
// or \ / : * ? < > |. A set read from the file whose name fails it is not used.
bool IsStorableSetName(std::string_view name);

} // namespace vornal
