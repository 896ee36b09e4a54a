#include "app/SettingKeys.h"

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
