#pragma once

// The painted parts of the race analysis view, bound to the main window's tabs: the race
// card and the detail grid drawn by the core's cell drawing, the colours of the plainer
// grids, the "ｸﾘｯﾌﾟﾎﾞｰﾄﾞ" buttons with their titles, and the margin chart tab,
// redrawn whenever a race is shown.
#include <QString>

namespace vornal {
class DaySession;
struct ViewDescription;
}

namespace vornal::ui {

class MainWindow;
class MarginChartView;

MarginChartView* BindRaceViews(MainWindow& window, DaySession& session);

// The tab caption of a registered view.
QString ViewCaption(const ViewDescription& view);

} // namespace vornal::ui
