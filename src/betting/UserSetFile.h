#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AtomicFile.h"
#include "betting/UserRuleSet.h"

// "UserSet.usd", the user betting rule sets: CP932 text, one set a line, lines ending in
// CR LF, no header. The settings window and the CLI hold the file in memory as a
// UserSetFile, change it through SaveUserSet and DeleteUserSet, which rewrite the whole
// file atomically, and remember the set shown under "UserSetting"/"SetID" as its zero-based
// line number.
//
// A line that does not split into 37 fields, holds bytes that are not CP932 or names its set
// with characters no file name may hold (a quoted name can), cannot be used: it is reported with its line number and
// skipped, but kept as it is when the file is written again, so nothing the user wrote by hand is lost.
namespace vornal {

// "UserSet.usd" in the application folder.
std::filesystem::path UserSetPath(const std::filesystem::path& appDir);

struct UserSetFile
{
    std::filesystem::path file;
    // Every line of the file as stored, without its line end.
    std::vector<std::string> lines;
    // The set of each line (same index), nothing for a line that was skipped.
    std::vector<std::optional<UserRuleSet>> sets;
    // One CP932 message per skipped line, and the read failure when there is one.
    std::vector<std::string> problems;
    // False when the file exists but cannot be read; saving and deleting then refuse, so
    // the sets in it are not overwritten by an empty list.
    bool readable = true;

    // The set on line `line` (zero-based), or nothing when there is no such line or it was
    // skipped.
    const UserRuleSet* SetAt(int line) const;
    // The zero-based lines holding a usable set, in file order.
    std::vector<int> SetLines() const;
    // The first line holding a set whose name equals `name` (both trimmed), or -1.
    int FindSet(std::string_view name) const;
};

// Reads `file`. A missing file gives an empty, readable list; so does an empty file. Never
// fails: problems are reported in `problems`.
UserSetFile LoadUserSetFile(const std::filesystem::path& file);
// Reads UserSetPath(appDir).
UserSetFile LoadUserSets(const std::filesystem::path& appDir);

// The bytes of the whole file: every line followed by CR LF.
std::string UserSetFileBytes(const UserSetFile& sets);

enum class UserSetOutcome {
    Invalid,     // a check failed; `message` says which
    Declined,    // the caller answered No to a question; nothing was written
    Saved,       // appended as a new line
    Overwritten, // replaced the line of the set with the same name
    Deleted,
    NothingToDelete,
    Failed, // the file could not be written (or read before); `message` says why
};

struct UserSetResult
{
    UserSetOutcome outcome = UserSetOutcome::Failed;
    // The text to show (CP932): the check's message, the saved or overwritten notice, the
    // nothing-to-delete notice or the file error; empty after Declined and Deleted.
    std::string message;
    // The line the window shows next: after saving the last set, after deleting the first
    // set; -1 when the list holds none.
    int shownLine = -1;

    bool Written() const
    {
        return outcome == UserSetOutcome::Saved || outcome == UserSetOutcome::Overwritten ||
               outcome == UserSetOutcome::Deleted;
    }
};

// A Yes/No question to the user: called with the question text (CP932), returns the answer.
using UserSetQuestion = std::function<bool(const std::string& question)>;

// "設定登録(R)": checks `set` (ValidateUserRuleSet); when a set of the same trimmed name
// exists, asks "[" name "]はすでに登録済みの名称です。上書きしますか?" and, on Yes, replaces
// the first such line, else appends a line; then writes the whole file and answers
// "設定[" name "]を上書保存しました。" or "設定[" name "]を保存しました。". The name is
// stored trimmed and distances below 1000 as 1000 (above 9999 as 9999, four digits being
// what a distance field holds). On a failed write `sets` is left as it was before the call.
UserSetResult SaveUserSet(UserSetFile& sets, const UserRuleSet& set, const UserSetQuestion& confirmOverwrite);

// "設定削除" of the set on line `line`: "削除項目がありません。" when that line holds no
// set; otherwise asks name + " を削除しますか?" and, on Yes, removes the line and writes the
// whole file. On a failed write `sets` is left as it was.
UserSetResult DeleteUserSet(UserSetFile& sets, int line, const UserSetQuestion& confirmDelete);

} // namespace vornal
