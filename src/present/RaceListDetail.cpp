#include "present/RaceListDetail.h"

#include <array>

#include "text/Encoding.h"

namespace vornal {

CellGrid BuildRaceListDetail()
{
    constexpr std::array<const char*, 7> kHeaders = {"枠", "馬", "馬名", "実態確率", "着差", "単勝配当", ""};
    CellGrid grid(1, static_cast<int>(kHeaders.size()));
    for (std::size_t c = 0; c < kHeaders.size(); ++c) {
        grid.Set(0, static_cast<int>(c), Sjis(kHeaders[c]));
    }
    return grid;
}

} // namespace vornal
