#include "app/SettingKeys.h"

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {

WindowRect WindowPlaceKey::Read(const Settings& settings) const
{
    WindowRect rect;
    rect.top = settings.ReadInteger(section, "top", defaultRect.top);
    rect.left = settings.ReadInteger(section, "left", defaultRect.left);
    rect.width = settings.ReadInteger(section, "width", defaultRect.width);
    rect.height = settings.ReadInteger(section, "height", defaultRect.height);
    return rect;
}

CheckedWindowRect WindowPlaceKey::ReadChecked(const Settings& settings) const
{
    CheckedWindowRect checked;
    auto read = [&](const char* key, int defaultValue, int lowest) {
        CheckedInteger value = ReadCheckedInteger(settings, {section, key, defaultValue}, lowest, kMaxWindowCoordinate);
        if (!value.warning.empty()) {
            checked.warnings.push_back(std::move(value.warning));
        }
        return value.value;
    };
    checked.rect.top = read("top", defaultRect.top, -kMaxWindowCoordinate);
    checked.rect.left = read("left", defaultRect.left, -kMaxWindowCoordinate);
    checked.rect.width = read("width", defaultRect.width, kMinWindowSide);
    checked.rect.height = read("height", defaultRect.height, kMinWindowSide);
    return checked;
}

bool WindowPlaceKey::Write(const Settings& settings, const WindowRect& rect) const
{
    // Each write stops at the first failure so a failed save is reported, not half-hidden.
    return settings.WriteInteger(section, "top", rect.top) && settings.WriteInteger(section, "left", rect.left) &&
           settings.WriteInteger(section, "width", rect.width) && settings.WriteInteger(section, "height", rect.height);
}

const std::vector<std::string>& DefaultCarHosei()
{
    static const std::vector<std::string> values{"1.2", "0.3", "0.0", "0.0"};
    return values;
}

const std::vector<std::string>& DefaultKkHosei()
{
    static const std::vector<std::string> values{"-1.457", "-1.526", "-1.426", "-1.421", "-1.384", "-1.452",
                                                 "-1.558", "-1.409", "-1.407", "-1.503", "-1.232", "-1.392"};
    return values;
}

CheckedInteger ReadCheckedInteger(const Settings& settings, const IntegerKey& key, int lowest, int highest)
{
    CheckedInteger checked{key.defaultValue, {}};
    const std::string text = Trim(settings.ReadString(key.section, key.key, ""));
    if (text.empty()) {
        return checked;
    }
    const std::optional<int> value = ParseInt(text);
    if (value && *value >= lowest && *value <= highest) {
        checked.value = *value;
        return checked;
    }
    checked.warning =
        fmt::sprintf(Sjis("設定 [%s] %s の値 \"%s\" は%s（%d～%d）。既定値 %d を使います。"), key.section, key.key,
                     text, value ? Sjis("範囲外です") : Sjis("整数ではありません"), lowest, highest, key.defaultValue);
    return checked;
}

CheckedInteger ReadArrivalWaitSeconds(const Settings& settings)
{
    return ReadCheckedInteger(settings, kArrivalWaitSeconds, 10, kSecondsPerDay);
}

CheckedInteger ReadLinkSeconds(const Settings& settings, const IntegerKey& key)
{
    return ReadCheckedInteger(settings, key, 1, kSecondsPerDay);
}

CheckedInteger ReadPrintZoom(const Settings& settings)
{
    return ReadCheckedInteger(settings, kPrintZoom, 0, 3);
}

CheckedInteger ReadAutoOddsMinutes(const Settings& settings)
{
    return ReadCheckedInteger(settings, kAutoOddsMinutes, 0, 59);
}

int SelectedSetNumber(int stored)
{
    return stored >= 1 && stored <= 3 ? stored : 1;
}

std::string DefaultLastAcquisitionTime(const Clock& clock)
{
    return FormatDateTime(AddDays(clock.Now(), -8));
}

std::string ReadLastAcquisitionTime(const Settings& settings, const Clock& clock)
{
    return kLastAcquisitionTime.Read(settings, DefaultLastAcquisitionTime(clock));
}

} // namespace vornal
