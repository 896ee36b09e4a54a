#pragma once

#include <string>
#include <string_view>

// Text inside the system is CP932 (Shift-JIS with the NEC/IBM extensions) bytes kept in
// std::string. These functions convert at the edges only: terminal, JSON, Qt widgets.
namespace vornal {

// CP932 bytes to UTF-8. A byte sequence that is not valid CP932 becomes U+FFFD and the
// conversion goes on, so a damaged record still shows.
std::string ToUtf8(std::string_view cp932);

// UTF-8 to CP932. A character CP932 cannot hold becomes "?" and invalid UTF-8 bytes are
// skipped; callers that must not lose anything keep the original bytes instead.
std::string ToCp932(std::string_view utf8);

// True when `text` is well-formed UTF-8 (plain ASCII is). Japanese CP932 text almost never
// is, which tells the two apart in paths that mix them.
bool IsValidUtf8(std::string_view text);

// The CP932 bytes of a literal written in UTF-8 in the source, converted once and cached
// for the life of the process. The reference stays valid. Thread-safe.
//   Sjis("中山") == "\x92\x86\x8E\x52"
const std::string& Sjis(std::string_view utf8Literal);

// True for a byte that starts a double-byte CP932 character (0x81..0x9F, 0xE0..0xFC).
constexpr bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The byte length of the character starting at text[i]: 2 for a lead byte followed by a
// trail byte, 1 otherwise (also for a lead byte cut off at the end of the text).
inline std::size_t CharLength(std::string_view text, std::size_t i)
{
    return (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

} // namespace vornal
