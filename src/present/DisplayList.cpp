#include "present/DisplayList.h"

#include <cmath>

namespace vornal {

const char* FontFaceName(FontFace face)
{
    return face == FontFace::Gothic ? "ＭＳ ゴシック" : "ＭＳ Ｐゴシック";
}

std::vector<TextRun> DisplayList::Texts() const
{
    std::vector<TextRun> texts;
    for (const DisplayItem& item : Items) {
        if (const auto* text = std::get_if<TextRun>(&item)) {
            texts.push_back(*text);
        }
    }
    return texts;
}

int TextHeight(double points)
{
    return static_cast<int>(std::floor(points * 96.0 / 72.0 + 1e-9));
}

} // namespace vornal
