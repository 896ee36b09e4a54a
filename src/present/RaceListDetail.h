#pragma once

#include "present/CellGrid.h"

// The grid below the race list: its headers "枠", "馬", "馬名", "実態確率", "着差",
// "単勝配当" and one empty header, header row height 17. The race view writes no cells of
// it, so it shows its headers alone.
namespace vornal {

inline constexpr int kRaceListDetailHeaderHeight = 17;

CellGrid BuildRaceListDetail();

} // namespace vornal
