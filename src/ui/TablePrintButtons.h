#pragma once

#include <functional>

#include <QString>

namespace vornal {
class DaySession;
}

namespace vornal::ui {

class MainWindow;

// Puts a "印刷" button on each of the seven printed tabs of `window`. A press prints the tab's
// table as it shows (sorted as shown) on the shared printer as one job, landscape, the
// printer set back to portrait afterwards; without a printer it says
// "プリンタが登録されていません" through `notify`.
void AddTablePrintButtons(MainWindow& window, DaySession& session, std::function<void(const QString&)> notify);

} // namespace vornal::ui
