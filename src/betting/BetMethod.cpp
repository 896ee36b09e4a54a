#include "betting/BetMethod.h"

#include "app/SettingKeys.h"
#include "betting/UserSetFile.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {

bool IsDeveloperView(const std::filesystem::path& appDir)
{
    std::error_code ec;
    return std::filesystem::exists(NamedPath(appDir, kDeveloperMarkerFile), ec);
}

BetMethodChoice ReadSelectedBetMethod(const std::filesystem::path& appDir, const Settings& settings)
{
    BetMethodChoice choice;
    const CheckedInteger number = ReadCheckedInteger(settings, kBettingSet, 0, 3);
    if (!number.warning.empty()) {
        choice.problems.push_back(number.warning);
    }
    switch (SelectedSetNumber(number.value)) {
    case 2:
        choice.method.kind = BetMethodKind::No2;
        break;
    case 3: {
        choice.method.kind = BetMethodKind::User;
        UserSetFile sets = LoadUserSets(appDir);
        choice.problems.insert(choice.problems.end(), sets.problems.begin(), sets.problems.end());
        if (const UserRuleSet* set = sets.SetAt(kUserBettingSetId.Read(settings))) {
            choice.method.userSet = *set;
        }
        break;
    }
    default:
        choice.method.kind = BetMethodKind::No1;
        break;
    }
    return choice;
}

BetMethodChoice ReadPipelineBetMethod(const std::filesystem::path& appDir, const Settings& settings)
{
    if (IsDeveloperView(appDir) && kDeveloperBetsFirst.Read(settings)) {
        BetMethodChoice choice;
        choice.method.kind = DeveloperMethod(kDeveloperBettingSet.Read(settings));
        return choice;
    }
    return ReadSelectedBetMethod(appDir, settings);
}

BetMethodKind DeveloperMethod(int number)
{
    switch (SelectedSetNumber(number)) {
    case 2:
        return BetMethodKind::Developer2;
    case 3:
        return BetMethodKind::Developer3;
    default:
        return BetMethodKind::Developer1;
    }
}

std::string BetKindSuffixOf(const BetMethod& method)
{
    switch (method.kind) {
    case BetMethodKind::No1:
        return "_No01";
    case BetMethodKind::No2:
        return "_No02";
    case BetMethodKind::User:
        return method.userSet ? "_" + Trim(method.userSet->name) : std::string();
    case BetMethodKind::Developer1:
        return "_SP01";
    case BetMethodKind::Developer2:
        return "_SP02";
    case BetMethodKind::Developer3:
        return "_SP03";
    }
    return {};
}

namespace {

struct MethodNames
{
    BetMethodKind kind;
    std::string_view name;
    std::string_view captionUtf8;
};

constexpr MethodNames kMethodNames[] = {
    {BetMethodKind::No1, "no1", "No.1"},
    {BetMethodKind::No2, "no2", "No.2"},
    {BetMethodKind::User, "user", "ﾕｰｻﾞｰ指定"},
    {BetMethodKind::Developer1, "sp1", "買い目１（スペシャル出目）"},
    {BetMethodKind::Developer2, "sp2", "買い目2"},
    {BetMethodKind::Developer3, "sp3", "買い目3"},
};

const MethodNames& NamesOf(BetMethodKind kind)
{
    for (const MethodNames& names : kMethodNames) {
        if (names.kind == kind) {
            return names;
        }
    }
    return kMethodNames[0];
}

} // namespace

std::string BetMethodCaption(BetMethodKind kind)
{
    return Sjis(NamesOf(kind).captionUtf8);
}

std::string_view BetMethodName(BetMethodKind kind)
{
    return NamesOf(kind).name;
}

std::optional<BetMethodKind> BetMethodOfName(std::string_view name)
{
    for (const MethodNames& names : kMethodNames) {
        if (names.name == name) {
            return names.kind;
        }
    }
    return std::nullopt;
}

std::string BetMethodSheetMark(BetMethodKind kind)
{
    switch (kind) {
    case BetMethodKind::Developer1:
        return Sjis("【開発/買い目1】");
    case BetMethodKind::No1:
        return Sjis("【買い目1】");
    case BetMethodKind::No2:
        return Sjis("【買い目2】");
    default:
        return {};
    }
}

std::string BetMethodLabel(const BetMethod& method)
{
    switch (method.kind) {
    case BetMethodKind::No1:
        return "No1";
    case BetMethodKind::No2:
        return "No2";
    case BetMethodKind::User:
        return method.userSet ? Sjis("ﾕｰｻﾞｰ指定:") + Trim(method.userSet->name) : std::string();
    default:
        return {};
    }
}

const std::string& NoUserSetMessage()
{
    return Sjis("ﾕｰｻﾞｰ指定買い目が設定されていません。");
}

} // namespace vornal
