#pragma once

// The painted parts of the race analysis view, bound to the main window's tabs: the race
// card and the detail grid drawn by the core's cell drawing, the colours of the plainer
// grids, the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" buttons with their titles, and the margin chart tab ("着差表"),
// redrawn whenever a race is shown.
namespace vornal {
class DaySession;
}

namespace vornal::ui {

class MainWindow;
class MarginChartView;

MarginChartView* BindRaceViews(MainWindow& window, DaySession& session);

} // namespace vornal::ui
