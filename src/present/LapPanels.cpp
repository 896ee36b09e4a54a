#include "present/LapPanels.h"

#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {

std::array<LapPanelRow, 3> LapPanelRows(const RaceSlot& race)
{
    const std::array<int, 3> counts{race.RaceCountWinnerBase, race.RaceCountFirstPace, race.RaceCountLast3F};
    const std::array<double, 3> means{race.RaceMeanWinnerBase, race.RaceMeanFirstPace, race.RaceMeanLast3F};
    const std::array<double, 3> sds{race.RaceSdWinnerBase, race.RaceSdFirstPace, race.RaceSdLast3F};
    const std::array<std::string_view, 3> captions{"勝ちタイム：", "前半ｽﾋﾟｰﾄﾞ：", "後半ｽﾋﾟｰﾄﾞ："};
    std::array<LapPanelRow, 3> rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].Caption = Sjis(captions[i]);
        rows[i].SampleCount = fmt::sprintf("%2d", counts[i]);
        rows[i].Mean = fmt::sprintf("%6.2f", means[i]);
        rows[i].StdDev = fmt::sprintf("%6.2f", sds[i]);
        rows[i].SpreadPlus = fmt::sprintf("%6.2f", race.LapSpreadPlus[i]);
        rows[i].SpreadMinus = fmt::sprintf("%6.2f", race.LapSpreadMinus[i]);
    }
    return rows;
}

} // namespace vornal
