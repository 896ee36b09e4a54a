#pragma once

#include <string>
#include <vector>

#include "app/TuningTables.h"
#include "present/CellGrid.h"

// The views of the tuning tables, as the reference tabs show them: each table's rows,
// columns, captions and number formats. Texts are CP932.
//
//   "ﾃﾞｰﾀﾃｰﾌﾞﾙ" (developer)   "単勝配当用", "馬連配当用", "単勝人気統計"
//   "参考資料"                 "配当別実現確率"
//   "基準ﾗｯﾌﾟﾃﾞｰﾀ表"           "基準ﾗｯﾌﾟﾃﾞｰﾀ表", "仕切値", "芝短距離", "芝中距離",
//                              "ﾀﾞｰﾄ短距離", "ﾀﾞｰﾄ中距離"
//   "ローテーション値" (developer)  the ten sheets "ﾚｰｽ数" .. "補正ＲＴ-複勝率"
//   "順位ﾃｰﾌﾞﾙ" (developer)    "順位ﾃｰﾌﾞﾙ"
namespace vornal {

struct TuningView
{
    std::string Caption;
    CellGrid Grid;
};

struct TuningTab
{
    std::string Caption;
    bool DeveloperOnly = false;
    std::vector<TuningView> Views;
};

// Every tab with its views, in the order above.
std::vector<TuningTab> BuildTuningTabs(const TuningTables& tables);

} // namespace vornal
