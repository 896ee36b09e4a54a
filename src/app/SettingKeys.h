#pragma once

#include <string>
#include <vector>

#include "app/Clock.h"
#include "app/Settings.h"

// Every section and key of the settings file with its default, so no window or command
// spells a key or a default of its own. Section and key names are case-sensitive.
namespace vornal {

struct IntegerKey
{
    const char* section;
    const char* key;
    int defaultValue;

    int Read(const Settings& settings) const { return settings.ReadInteger(section, key, defaultValue); }
    [[nodiscard]] bool Write(const Settings& settings, int value) const
    {
        return settings.WriteInteger(section, key, value);
    }
};

struct BoolKey
{
    const char* section;
    const char* key;
    bool defaultValue;

    bool Read(const Settings& settings) const { return settings.ReadBool(section, key, defaultValue); }
    [[nodiscard]] bool Write(const Settings& settings, bool value) const
    {
        return settings.WriteBool(section, key, value);
    }
};

struct StringKey
{
    const char* section;
    const char* key;
    const char* defaultValue;

    std::string Read(const Settings& settings) const { return settings.ReadString(section, key, defaultValue); }
    // For keys whose default depends on where they are read.
    std::string Read(const Settings& settings, const std::string& defaultOverride) const
    {
        return settings.ReadString(section, key, defaultOverride);
    }
    [[nodiscard]] bool Write(const Settings& settings, const std::string& value) const
    {
        return settings.WriteString(section, key, value);
    }
};

// A text list: "<key>.Count" and "<key>.0" .. in one section.
struct ListKey
{
    const char* section;
    const char* key;

    // The list read with `current` supplying the count and the items the file lacks.
    std::vector<std::string> Read(const Settings& settings, std::vector<std::string> current) const
    {
        settings.ReadStrings(section, key, current);
        return current;
    }
    [[nodiscard]] bool Write(const Settings& settings, const std::vector<std::string>& list) const
    {
        return settings.WriteStrings(section, key, list);
    }
};

struct WindowRect
{
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const WindowRect&, const WindowRect&) = default;
};

struct CheckedWindowRect;

// A window's place on the screen: "top", "left", "width" and "height" of one section.
struct WindowPlaceKey
{
    const char* section;
    WindowRect defaultRect;

    // Read and applied in the order top, left, width, height.
    WindowRect Read(const Settings& settings) const;
    // The same, each value checked against what a place on a desktop can be (a side of
    // kMinWindowSide..kMaxWindowCoordinate, a corner within ±kMaxWindowCoordinate); a value
    // outside reads as its default with a warning naming section and key.
    CheckedWindowRect ReadChecked(const Settings& settings) const;
    [[nodiscard]] bool Write(const Settings& settings, const WindowRect& rect) const;
};

inline constexpr int kSecondsPerDay = 24 * 60 * 60;
inline constexpr int kMinWindowSide = 100;
inline constexpr int kMaxWindowCoordinate = 32000;

struct CheckedWindowRect
{
    WindowRect rect;
    std::vector<std::string> warnings; // CP932
};

// Main window position and size, written when it closes.
inline constexpr WindowPlaceKey kMainWindowPlace{"locate", {10, 10, 1200, 800}};
// Print preview window.
inline constexpr WindowPlaceKey kPrintPreviewPlace{"Printlocate", {10, 10, 630, 450}};
// Hit evaluation report window.
inline constexpr WindowPlaceKey kHitReportPlace{"Tekilocate", {10, 10, 630, 450}};
// Print preview zoom choice.
inline constexpr IntegerKey kPrintZoom{"PrintZoom", "ratio", 1};

// Folder of the outside odds program's time-series odds. Empty at start-up; the folder
// commands read it with the application folder as default.
inline constexpr StringKey kOddsSeriesFolder{"Dir", "jikeiretu", ""};

// Selected betting set: 1 "No.1", 2 "No.2", 3 user rule set; see SelectedSetNumber.
inline constexpr IntegerKey kBettingSet{"kaime", "No", 0};
// Selected developer betting set 1..3; see SelectedSetNumber.
inline constexpr IntegerKey kDeveloperBettingSet{"kaihatu", "No", 0};
// Developer bets take priority over the selected betting set (developer view only).
inline constexpr BoolKey kDeveloperBetsFirst{"kaihatu", "priority", false};
// Option: hide the date list once the analysis screen shows.
inline constexpr BoolKey kCloseDateList{"datalist", "close", false};
// The odds time: minutes before each race's post time of the time-series odds snapshot.
inline constexpr IntegerKey kAutoOddsMinutes{"Time", "AutoOzGet", 30};
// Time of the last bulk acquisition, "yyyy/mm/dd hh:nn:ss"; see ReadLastAcquisitionTime.
inline constexpr StringKey kLastAcquisitionTime{"JvDataGet", "LastTime", ""};
// The link to the data service (see LinkChoice): a bridge command line, which wins when
// set, else the replay feed folder; and the bridge's deadlines in seconds (JVOpen and
// JVSetUIProperties wait for downloads and dialogs, so they have their own).
inline constexpr StringKey kLinkBridgeCommand{"JVLink", "Bridge", ""};
inline constexpr StringKey kLinkFeedFolder{"JVLink", "Feed", ""};
inline constexpr IntegerKey kLinkCallSeconds{"JVLink", "CallSeconds", 60};
inline constexpr IntegerKey kLinkLongCallSeconds{"JVLink", "LongCallSeconds", 1800};
// How long a bulk acquisition waits for the component's data to arrive (it answers -3 while
// it downloads) before it gives up; see ReadArrivalWaitSeconds.
inline constexpr IntegerKey kArrivalWaitSeconds{"JVLink", "ArrivalWaitSeconds", 300};
// Selected user betting rule set.
inline constexpr IntegerKey kUserBettingSetId{"UserSetting", "SetID", 0};

// Rating weights edited by hand in the file; nothing writes them.
// Divisor weight of the final goal margin, decimal text.
inline constexpr StringKey kRtsw{"User", "RTSW", "0.26"};
// Career adjustment in seconds for 0..3 usable past runs.
inline constexpr ListKey kCarHosei{"User", "CarHosei"};
// Jockey-and-trainer coefficient: item 0 for 7 runners or fewer, item f for 7 + f runners.
inline constexpr ListKey kKkHosei{"User", "KKHosei"};

// The built-in CarHosei items "1.2", "0.3", "0.0", "0.0".
const std::vector<std::string>& DefaultCarHosei();
// The twelve built-in KKHosei items "-1.457" .. "-1.392".
const std::vector<std::string>& DefaultKkHosei();

// An integer setting read against the range its meaning allows. A value that is not an
// integer or lies outside lowest..highest reads as the key's default, with `warning` saying
// so and naming section and key ("設定 [Time] AutoOzGet の値 \"-5\" は範囲外です（0～59）。
// 既定値 30 を使います。", CP932); a missing or empty value is the default without a word.
struct CheckedInteger
{
    int value = 0;
    std::string warning;
};
CheckedInteger ReadCheckedInteger(const Settings& settings, const IntegerKey& key, int lowest, int highest);

// The print preview's zoom choice: 0..3 for 25, 50, 75 and 100 per cent.
CheckedInteger ReadPrintZoom(const Settings& settings);

// The acquisition's wait for arriving data: 10 seconds up to a day.
CheckedInteger ReadArrivalWaitSeconds(const Settings& settings);
// A bridge deadline ("CallSeconds", "LongCallSeconds"): 1 second up to a day.
CheckedInteger ReadLinkSeconds(const Settings& settings, const IntegerKey& key);

// The odds time in minutes before post: 0 (no odds time) up to the window's 59.
CheckedInteger ReadAutoOddsMinutes(const Settings& settings);

// A stored set number 1..3 as it is; anything else (the default 0 included) selects set 1.
int SelectedSetNumber(int stored);

// Eight days before now, "yyyy/mm/dd hh:nn:ss": the default start of a bulk acquisition.
std::string DefaultLastAcquisitionTime(const Clock& clock);
// "JvDataGet"/"LastTime" with that default.
std::string ReadLastAcquisitionTime(const Settings& settings, const Clock& clock);

} // namespace vornal
