#pragma once

#include <string>
#include <string_view>

#include "text/Encoding.h"

namespace vornal::testing {

// True when the bytes are whole CP932 characters that all convert: no lead byte cut off at
// the end, no undefined code.
inline bool IsWholeCp932(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = CharLength(text, i);
        if (length == 1 && IsLeadByte(static_cast<unsigned char>(text[i]))) {
            return false;
        }
        i += length;
    }
    return ToUtf8(text).find("\xEF\xBF\xBD") == std::string::npos;
}

// True when the text is made of double-byte characters only.
inline bool IsAllDoubleByte(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        if (CharLength(text, i) != 2) {
            return false;
        }
        i += 2;
    }
    return true;
}

// Every two-character code of printable ASCII.
template <typename Visit> void ForEachTwoCharCode(Visit visit)
{
    for (char first = ' '; first <= '~'; ++first) {
        for (char second = ' '; second <= '~'; ++second) {
            const char code[2] = {first, second};
            visit(std::string_view(code, 2));
        }
    }
}

} // namespace vornal::testing
