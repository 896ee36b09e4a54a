#pragma once

#include <functional>

class QTabWidget;

namespace vornal {
struct TuningTables;
}

// The reference tabs of the tuning tables ("ﾃﾞｰﾀﾃｰﾌﾞﾙ", "参考資料", "基準ﾗｯﾌﾟﾃﾞｰﾀ表",
// "ローテーション値", "順位ﾃｰﾌﾞﾙ"): filled once at start-up, as the tables never change. A
// tab of several views holds them as tabs of its own; the developer's tabs show only in
// the developer view.
namespace vornal::ui {

// `recalibrate`, when given, is the command of the button "表の再計測" above each developer tab.
void AddTuningTabs(QTabWidget& tabs, const TuningTables& tables, bool developerView,
                   const std::function<void()>& recalibrate = {});

} // namespace vornal::ui
