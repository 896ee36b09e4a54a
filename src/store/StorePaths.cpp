#include "store/StorePaths.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "app/AppDir.h"
#include "app/Clock.h"
#include "store/JvLayout.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/FileNames.h"
#include "vocab/CodeNames.h"
#include "vocab/RaceTexts.h"

namespace vornal {
namespace {

constexpr std::size_t kDayNameLength = 14;

std::string Quoted(std::string_view bytes)
{
    return "\"" + ToUtf8(bytes) + "\"";
}

void RequireDayName(std::string_view dayName)
{
    if (!IsDayName(dayName)) {
        throw StoreNameError("not a race date: " + Quoted(dayName));
    }
}

// A race file whose name the date list cannot read: one the earlier CP932-byte naming left
// (renamed at the next start) or one that is neither UTF-8 nor CP932.
std::string UnreadableNameMessage(const std::filesystem::path& file)
{
    const std::string native = file.filename().native();
    const bool oldName = !IsValidUtf8(native) && IsValidCp932(native) && IsDayName(native.substr(0, kDayNameLength));
    return PathText(file.parent_path()) + "/" + ToCp932(EscapedName(native)) +
           (oldName ? ": an old CP932-byte name, left out of the date list until the next start renames it"
                    : ": not a race file name (neither UTF-8 nor CP932 text), left out of the date list");
}

} // namespace

std::string DayName(std::string_view raceRecord)
{
    return DayNameFromDigits(jv::Get(raceRecord, jv::kDate));
}

std::string DayNameFromDigits(std::string_view yyyymmdd)
{
    return DateText(yyyymmdd);
}

std::string DayDigits(std::string_view dayName)
{
    return Field(dayName, 1, 4) + Field(dayName, 7, 2) + Field(dayName, 11, 2);
}

std::string RaceKey(std::string_view raceRecord)
{
    return jv::Get(raceRecord, jv::kRaceKey);
}

bool IsValidDateDigits(std::string_view yyyymmdd)
{
    if (yyyymmdd.size() != 8 || !IsAllDigits(yyyymmdd)) {
        return false;
    }
    const int year = static_cast<int>(LeadingNumber(yyyymmdd.substr(0, 4)));
    const int month = static_cast<int>(LeadingNumber(yyyymmdd.substr(4, 2)));
    const int day = static_cast<int>(LeadingNumber(yyyymmdd.substr(6, 2)));
    return year >= 1 && IsCalendarDate(year, month, day);
}

bool IsDayName(std::string_view text)
{
    if (text.size() != kDayNameLength) {
        return false;
    }
    const std::string digits = DayDigits(text);
    return IsValidDateDigits(digits) && DayNameFromDigits(digits) == text;
}

bool IsKnownCourseCode(std::string_view code)
{
    return !IsBlank(CourseRegion(code));
}

bool IsValidHorseId(std::string_view horseId)
{
    return horseId.size() == 10 && IsAllDigits(horseId);
}

std::string ParseDayName(std::string_view cp932Text)
{
    if (IsValidDateDigits(cp932Text)) {
        return DayNameFromDigits(cp932Text);
    }
    if (IsDayName(cp932Text)) {
        return std::string(cp932Text);
    }
    return {};
}

std::string DayFileName(std::string_view dayName, std::string_view ext)
{
    return std::string(dayName) + std::string(ext);
}

std::string RunnerFileName(std::string_view dayName, std::string_view courseCode)
{
    return std::string(dayName) + CourseName(courseCode, CourseForm::Short) + std::string(kRunnerExt);
}

std::string ResultHistoryFileName(std::string_view dateCourse)
{
    return std::string(dateCourse) + std::string(kResultHistoryExt);
}

std::string HorseHistoryFileName(std::string_view horseId)
{
    return std::string(horseId) + std::string(kHorseHistoryExt);
}

std::filesystem::path NamedPath(const std::filesystem::path& folder, std::string_view cp932Name)
{
    return folder / NativeName(cp932Name);
}

std::filesystem::path DayFile(const std::filesystem::path& appDir, std::string_view dayName, std::string_view ext)
{
    RequireDayName(dayName);
    return NamedPath(DataDir(appDir), DayFileName(dayName, ext));
}

std::filesystem::path RaceFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kRaceExt);
}

std::filesystem::path RunnerFile(const std::filesystem::path& appDir, std::string_view dayName,
                                 std::string_view courseCode)
{
    RequireDayName(dayName);
    // The racecourse enters the name only through the code table, so any code is safe here.
    return NamedPath(DataDir(appDir), RunnerFileName(dayName, courseCode));
}

std::filesystem::path PayoutFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kPayoutExt);
}

std::filesystem::path WinOddsFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kWinOddsExt);
}

std::filesystem::path QuinellaOddsFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kQuinellaOddsExt);
}

std::filesystem::path JockeyMasterFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kJockeyMasterExt);
}

std::filesystem::path TrainerMasterFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kTrainerMasterExt);
}

std::filesystem::path HorseMasterFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kHorseMasterExt);
}

std::filesystem::path OldHorseMasterFile(const std::filesystem::path& appDir, std::string_view dayName)
{
    return DayFile(appDir, dayName, kOldHorseMasterExt);
}

#ifndef _WIN32
namespace {

// appDir / folder / year / name for names of ASCII bytes only, written as one text: the
// same path as joining the parts one by one, built once where a load builds hundreds.
std::filesystem::path YearFolderPath(const std::filesystem::path& appDir, std::string_view folder,
                                     std::string_view year, std::string_view name)
{
    std::string text = appDir.native();
    text.reserve(text.size() + folder.size() + year.size() + name.size() + 3);
    if (!text.empty() && text.back() != '/') {
        text += '/';
    }
    text.append(folder).append(1, '/').append(year).append(1, '/').append(name);
    return std::filesystem::path(std::move(text));
}

} // namespace
#endif

std::filesystem::path ResultHistoryFile(const std::filesystem::path& appDir, std::string_view dateCourse)
{
    if (dateCourse.size() != 10 || !IsValidDateDigits(dateCourse.substr(0, 8)) ||
        !IsKnownCourseCode(dateCourse.substr(8, 2))) {
        throw StoreNameError("not a race date and racecourse: " + Quoted(dateCourse));
    }
#ifdef _WIN32
    return NamedPath(NamedPath(SeirDir(appDir), dateCourse.substr(0, 4)), ResultHistoryFileName(dateCourse));
#else
    return YearFolderPath(appDir, "SEIR", dateCourse.substr(0, 4), ResultHistoryFileName(dateCourse));
#endif
}

std::filesystem::path HorseHistoryFile(const std::filesystem::path& appDir, std::string_view horseId)
{
    if (!IsValidHorseId(horseId)) {
        throw StoreNameError("not a horse id: " + Quoted(horseId));
    }
#ifdef _WIN32
    return NamedPath(NamedPath(SeiDir(appDir), horseId.substr(0, 4)), HorseHistoryFileName(horseId));
#else
    return YearFolderPath(appDir, "SEI", horseId.substr(0, 4), HorseHistoryFileName(horseId));
#endif
}

bool IsInsideFolder(const std::filesystem::path& path, const std::filesystem::path& folder)
{
    const std::filesystem::path relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
    if (relative.empty() || relative == ".") {
        return false;
    }
    return std::none_of(relative.begin(), relative.end(),
                        [](const std::filesystem::path& part) { return part == ".."; });
}

std::vector<std::string> StoredDayNames(const std::filesystem::path& appDir, std::vector<std::string>* ignored)
{
    std::vector<std::string> names;
    std::error_code ec;
    std::filesystem::directory_iterator it(DataDir(appDir), ec);
    if (ec) {
        return names;
    }
    for (const std::filesystem::directory_entry& entry : it) {
        const std::string native = entry.path().filename().native();
        if (!native.ends_with(kRaceExt)) {
            continue;
        }
        const std::optional<std::string> cp932 = Cp932Name(entry.path());
        if (!cp932) {
            if (ignored != nullptr) {
                ignored->push_back(UnreadableNameMessage(entry.path()));
            }
            continue;
        }
        const std::string& name = *cp932;
        if (name.size() <= kRaceExt.size()) {
            continue;
        }
        if (const std::string day = name.substr(0, kDayNameLength); IsDayName(day)) {
            names.push_back(name);
        }
    }
    // Ascending file name order, then the first 14 bytes from the last name to the first.
    std::sort(names.begin(), names.end());
    std::vector<std::string> days;
    days.reserve(names.size());
    for (auto name = names.rbegin(); name != names.rend(); ++name) {
        days.push_back(name->substr(0, kDayNameLength));
    }
    return days;
}

} // namespace vornal
