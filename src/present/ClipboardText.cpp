#include "present/ClipboardText.h"

#include <array>

#include "present/LapPanels.h"
#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/RaceTexts.h"

namespace vornal {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// "YYYY年MM月DD日" from the first eight characters of a race key.
std::string KeyDate(std::string_view key)
{
    return DateText(key);
}

const RaceSlot& SlotAt(const RaceDay& day, int race)
{
    return day.Races[static_cast<std::size_t>(race >= 0 && race < kRaceSlots ? race : 0)];
}

} // namespace

std::string ClipboardText(const CellGrid& grid, std::string_view title)
{
    std::string text(title);
    text += kCrLf;
    text += GridLines(grid, kCrLf);
    return text;
}

std::string DayTitle(const RaceDay& day)
{
    return KeyDate(day.Races[0].SlotKey.View());
}

std::string RaceTitle(const RaceDay& day, int race, CourseForm form)
{
    const std::string_view key = SlotAt(day, race).SlotKey.View();
    return KeyDate(key) + CourseName(Field(key, 9, 2), form) + StoredRaceLabel(Field(key, 15, 2));
}

std::string LapCardTitle(const RaceDay& day, int race)
{
    std::string text = RaceTitle(day, race, CourseForm::Display);
    text += kCrLf;
    text += "\t" + Sjis("サンプル数") + "\t" + Sjis("平均") + "\t" + Sjis("上限") + "\t" + Sjis("下限");
    const std::array<std::string_view, 3> captions{"勝ちタイム　　", "前半スピード　", "後半スピード　"};
    const std::array<LapPanelRow, 3> rows = LapPanelRows(SlotAt(day, race));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        text += kCrLf;
        text += Sjis(captions[i]) + "\t" + rows[i].SampleCount + "\t" + rows[i].Mean + "\t" + rows[i].SpreadPlus +
                "\t" + rows[i].SpreadMinus;
    }
    return text;
}

} // namespace vornal
