#include "betting/UserSetFile.h"

#include <algorithm>

#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/FileNames.h"
#include "text/Format.h"

namespace vornal {
namespace {

constexpr int kLongestDistance = 9999;

std::string LineProblem(int line, const std::string& what)
{
    return fmt::sprintf(Sjis("UserSet.usd の %d 行目は%s読み飛ばしました。"), line + 1, what);
}

// The numeric fields of a line as the window takes them: ranks and runner counts from its
// lists (blank, or 1..18 and 5..18), distances as up to four digits without sign. A field
// the window could not have written would otherwise read as 0 and quietly give no bets.
std::string NumberProblem(const std::vector<std::string>& fields)
{
    auto isDigits = [](std::string_view text) {
        return !text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    auto inList = [&](std::size_t at, int lowest) {
        const std::string_view text = TrimView(fields[at]);
        if (text.empty()) {
            return true;
        }
        const int value = isDigits(text) ? std::stoi(std::string(text)) : -1;
        return value >= lowest && value <= 18;
    };
    // Field 0 is the name; then (rating, rank) pairs: 1..28.
    for (std::size_t at = 2; at <= 28; at += 2) {
        if (!inList(at, 1)) {
            return fmt::sprintf(Sjis("%d 項目目の順位「%s」が 1～18 ではないため、"), static_cast<int>(at + 1),
                                fields[at]);
        }
    }
    for (std::size_t at : {29u, 30u, 33u, 34u}) {
        if (!inList(at, 5)) {
            return fmt::sprintf(Sjis("%d 項目目の頭数「%s」が 5～18 ではないため、"), static_cast<int>(at + 1),
                                fields[at]);
        }
    }
    for (std::size_t at : {31u, 32u, 35u, 36u}) {
        if (!isDigits(TrimView(fields[at]))) {
            return fmt::sprintf(Sjis("%d 項目目の距離「%s」が数字ではないため、"), static_cast<int>(at + 1),
                                fields[at]);
        }
    }
    return {};
}

std::optional<UserRuleSet> ReadLine(const std::string& text, int line, std::vector<std::string>& problems)
{
    if (!IsValidCp932(text)) {
        problems.push_back(LineProblem(line, Sjis("CP932 の文字でないバイトを含むため、")));
        return std::nullopt;
    }
    std::vector<std::string> fields = SplitCommaText(text);
    std::optional<UserRuleSet> set = UserRuleSetFromFields(fields);
    if (!set) {
        problems.push_back(LineProblem(
            line, fmt::sprintf(Sjis("項目数が %d で %d ではないため、"), fields.size(), kUserRuleSetFields)));
    } else if (!IsStorableSetName(set->name)) {
        // A quoted name can hold anything, and the name becomes part of the hit file names.
        problems.push_back(LineProblem(line, Sjis("設定名に使えない文字を含むため、")));
        return std::nullopt;
    } else if (const std::string number = NumberProblem(fields); !number.empty()) {
        problems.push_back(LineProblem(line, number));
        return std::nullopt;
    } else if (const std::string invalid = ValidateUserRuleSet(*set); !invalid.empty()) {
        // The window refuses to save such a set; read from the file it is refused alike.
        problems.push_back(LineProblem(line, Sjis("「") + invalid + Sjis("」のため、")));
        return std::nullopt;
    }
    return set;
}

UserRuleSet Normalised(const UserRuleSet& set)
{
    UserRuleSet stored = set;
    stored.name = Trim(set.name);
    for (UserSurfaceRules* surface : {&stored.turf, &stored.dirt}) {
        surface->distanceFrom = std::clamp(surface->distanceFrom, kShortestUserDistance, kLongestDistance);
        surface->distanceTo = std::clamp(surface->distanceTo, kShortestUserDistance, kLongestDistance);
    }
    return stored;
}

int FirstSetLine(const UserSetFile& sets)
{
    std::vector<int> lines = sets.SetLines();
    return lines.empty() ? -1 : lines.front();
}

int LastSetLine(const UserSetFile& sets)
{
    std::vector<int> lines = sets.SetLines();
    return lines.empty() ? -1 : lines.back();
}

UserSetResult Unreadable(const UserSetFile& sets)
{
    return {UserSetOutcome::Failed, fmt::sprintf(Sjis("%s を読めないため、書き換えません。"), PathText(sets.file)), -1};
}

} // namespace

std::filesystem::path UserSetPath(const std::filesystem::path& appDir)
{
    return NamedPath(appDir, Sjis("UserSet.usd"));
}

const UserRuleSet* UserSetFile::SetAt(int line) const
{
    if (line < 0 || line >= static_cast<int>(sets.size()) || !sets[static_cast<std::size_t>(line)]) {
        return nullptr;
    }
    return &*sets[static_cast<std::size_t>(line)];
}

std::vector<int> UserSetFile::SetLines() const
{
    std::vector<int> result;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (sets[i]) {
            result.push_back(static_cast<int>(i));
        }
    }
    return result;
}

int UserSetFile::FindSet(std::string_view name) const
{
    std::string_view wanted = TrimView(name);
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (sets[i] && TrimView(sets[i]->name) == wanted) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

UserSetFile LoadUserSetFile(const std::filesystem::path& file)
{
    UserSetFile result;
    result.file = file;
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !ec) {
        return result;
    }
    std::optional<std::string> bytes = ReadFileBytes(file);
    if (!bytes) {
        result.readable = false;
        result.problems.push_back(fmt::sprintf(Sjis("%s を読めません。"), PathText(file)));
        return result;
    }
    for (std::string& line : SplitLfLines(*bytes)) {
        int number = static_cast<int>(result.lines.size());
        result.lines.push_back(std::move(line));
        result.sets.push_back(ReadLine(result.lines.back(), number, result.problems));
    }
    return result;
}

UserSetFile LoadUserSets(const std::filesystem::path& appDir)
{
    return LoadUserSetFile(UserSetPath(appDir));
}

std::string UserSetFileBytes(const UserSetFile& sets)
{
    std::string bytes;
    for (const std::string& line : sets.lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

UserSetResult SaveUserSet(UserSetFile& sets, const UserRuleSet& set, const UserSetQuestion& confirmOverwrite)
{
    std::string problem = ValidateUserRuleSet(set);
    if (!problem.empty()) {
        return {UserSetOutcome::Invalid, problem, -1};
    }
    if (!sets.readable) {
        return Unreadable(sets);
    }
    UserRuleSet stored = Normalised(set);
    int existing = sets.FindSet(stored.name);
    if (existing >= 0 && !confirmOverwrite("[" + stored.name + Sjis("]はすでに登録済みの名称です。上書きしますか?"))) {
        return {UserSetOutcome::Declined, {}, -1};
    }

    UserSetFile changed = sets;
    std::string line = UserRuleSetLine(stored);
    if (existing >= 0) {
        changed.lines[static_cast<std::size_t>(existing)] = line;
        changed.sets[static_cast<std::size_t>(existing)] = stored;
    } else {
        changed.lines.push_back(line);
        changed.sets.emplace_back(stored);
    }
    Status written = WriteFileAtomic(changed.file, UserSetFileBytes(changed));
    if (!written) {
        return {UserSetOutcome::Failed, written.message, -1};
    }
    sets = std::move(changed);
    if (existing >= 0) {
        return {UserSetOutcome::Overwritten, Sjis("設定[") + stored.name + Sjis("]を上書保存しました。"),
                LastSetLine(sets)};
    }
    return {UserSetOutcome::Saved, Sjis("設定[") + stored.name + Sjis("]を保存しました。"), LastSetLine(sets)};
}

UserSetResult DeleteUserSet(UserSetFile& sets, int line, const UserSetQuestion& confirmDelete)
{
    const UserRuleSet* set = sets.SetAt(line);
    if (set == nullptr) {
        return {UserSetOutcome::NothingToDelete, Sjis("削除項目がありません。"), FirstSetLine(sets)};
    }
    // An unreadable file holds no set here, so it never reaches the write below.
    if (!confirmDelete(set->name + Sjis(" を削除しますか?"))) {
        return {UserSetOutcome::Declined, {}, -1};
    }
    UserSetFile changed = sets;
    changed.lines.erase(changed.lines.begin() + line);
    changed.sets.erase(changed.sets.begin() + line);
    Status written = WriteFileAtomic(changed.file, UserSetFileBytes(changed));
    if (!written) {
        return {UserSetOutcome::Failed, written.message, -1};
    }
    sets = std::move(changed);
    return {UserSetOutcome::Deleted, {}, FirstSetLine(sets)};
}

} // namespace vornal
