#pragma once

class QTabWidget;

namespace vornal {
struct TuningTables;
}

// The reference tabs of the tuning tables ("ﾃﾞｰﾀﾃｰﾌﾞﾙ", "参考資料", "基準ﾗｯﾌﾟﾃﾞｰﾀ表",
// "ローテーション値", "順位ﾃｰﾌﾞﾙ"): filled once at start-up, as the tables never change. A
// tab of several views holds them as tabs of its own; the developer's tabs show only in
// the developer view.
namespace vornal::ui {

void AddTuningTabs(QTabWidget& tabs, const TuningTables& tables, bool developerView);

} // namespace vornal::ui
