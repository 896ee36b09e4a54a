#include "app/UserSettings.h"

#include <cmath>
#include <optional>

#include "app/SettingKeys.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

// Runners with this many usable past runs or more get no career adjustment.
constexpr int kCareerAdjustedRuns = 4;

std::string NotANumber(const std::string& key, const std::string& text)
{
    return fmt::sprintf(Sjis("設定 [User] %s の値 \"%s\" は数値ではありません。"), key, text);
}

// A career adjustment is seconds of margin and a jockey-and-trainer coefficient multiplies a
// top-two rate: neither means anything beyond ten either way.
constexpr double kListItemBound = 10.0;

std::string OutOfRange(const std::string& key, const std::string& text, const std::string& range)
{
    return fmt::sprintf(Sjis("設定 [User] %s の値 \"%s\" は範囲外です（%s）。"), key, text, range);
}

std::optional<double> Number(const std::string& text)
{
    std::optional<double> value = ParseDouble(text);
    if (value && !std::isfinite(*value)) {
        return std::nullopt;
    }
    return value;
}

// Item `index` of a list setting, converted when it is asked for.
UserNumber ListItem(const ListKey& key, const std::vector<std::string>& items, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= items.size()) {
        return UserNumber::Failure(
            fmt::sprintf(Sjis("設定 [User] %s に項目 %d がありません（項目数 %d）。"), key.key, index, items.size()));
    }
    const std::string& text = items[static_cast<std::size_t>(index)];
    if (std::optional<double> value = Number(text)) {
        if (std::fabs(*value) > kListItemBound) {
            return UserNumber::Failure(
                OutOfRange(std::string(key.key) + "." + std::to_string(index), text, Sjis("-10～10")));
        }
        return UserNumber::Success(*value);
    }
    return UserNumber::Failure(NotANumber(std::string(key.key) + "." + std::to_string(index), text));
}

std::vector<std::string> ReadList(const Settings& settings, const ListKey& key,
                                  const std::vector<std::string>& defaults)
{
    // Start from an empty list: an absent count then reads as no items, and a numbered item
    // missing under a count reads as an empty text (a conversion error when it is used).
    std::vector<std::string> items = key.Read(settings, {});
    return items.empty() ? defaults : items;
}

} // namespace

UserNumber UserSettings::CareerAdj(int usableRuns) const
{
    if (usableRuns >= kCareerAdjustedRuns) {
        return UserNumber::Success(0.0);
    }
    return ListItem(kCarHosei, CarHosei, usableRuns);
}

UserNumber UserSettings::JockeyTrainerCoefficient(int fieldSizeIndex) const
{
    return ListItem(kKkHosei, KKHosei, fieldSizeIndex);
}

Result<UserSettings> ReadUserSettings(const Settings& settings)
{
    Result<UserSettings> result;
    std::string rtswText = kRtsw.Read(settings);
    std::optional<double> rtsw = Number(rtswText);
    if (!rtsw) {
        result.status = Status::Failure(NotANumber(kRtsw.key, rtswText));
        return result;
    }
    // RTSW divides every final goal margin (0 marks it undefined, as the rating pass knows);
    // a negative value would turn every order by it over.
    if (*rtsw < 0.0) {
        result.status = Status::Failure(OutOfRange(kRtsw.key, rtswText, Sjis("0 以上")));
        return result;
    }
    result.value.Rtsw = *rtsw;
    result.value.CarHosei = ReadList(settings, kCarHosei, DefaultCarHosei());
    result.value.KKHosei = ReadList(settings, kKkHosei, DefaultKkHosei());
    return result;
}

} // namespace vornal
