#pragma once

#include <climits>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Fixed-width field access and the number reads used on JV-Data records and store lines.
// Positions are 1-based byte positions as in the record layouts.
namespace vornal {

// `length` bytes of `record` from 1-based `position`. Bytes past the end of a short record
// read as blanks, so the result is always `length` bytes.
std::string Field(std::string_view record, int position, int length);

// The same bytes as a view, without padding: shorter than `length` (possibly empty) when the
// record is short. Use where the caller only compares or parses.
inline std::string_view FieldView(std::string_view record, int position, int length)
{
    if (position < 1 || length <= 0) {
        return {};
    }
    const auto start = static_cast<std::size_t>(position - 1);
    if (start >= record.size()) {
        return {};
    }
    return record.substr(start, static_cast<std::size_t>(length));
}

// The number formed by the leading digits after any leading blanks; 0 when there are none.
// "  12ab" -> 12, "0123" -> 123, "    " -> 0, "-5" -> 0.
inline long long LeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < LLONG_MAX / 10 - 9) {
            value = value * 10 + (text[i] - '0');
        }
    }
    return value;
}

// As LeadingNumber, but an optional '+' or '-' may stand after the blanks: " -12" -> -12.
long long SignedLeadingNumber(std::string_view text);

// LeadingNumber of a record field.
inline long long FieldNumber(std::string_view record, int position, int length)
{
    return LeadingNumber(FieldView(record, position, length));
}

// Strict integer read of the whole text after trimming blanks: an optional sign and digits
// only. Empty, blank, "12a" or a value outside int give nothing.
std::optional<int> ParseInt(std::string_view text);

// Strict decimal read of the whole text after trimming blanks ("0.26", "-1.5", "3").
std::optional<double> ParseDouble(std::string_view text);

// True when every byte is a digit 0..9 (and the text is not empty).
bool IsAllDigits(std::string_view text);

// True when the text is empty or holds only ASCII blanks.
bool IsBlank(std::string_view text);

// Trimming removes control bytes and ASCII blanks (bytes <= 0x20) at the ends only. No byte
// <= 0x20 is a CP932 trail byte, so a double-byte character is never cut.
std::string_view TrimView(std::string_view text);
std::string_view TrimLeftView(std::string_view text);
std::string_view TrimRightView(std::string_view text);
inline std::string Trim(std::string_view text) { return std::string(TrimView(text)); }
inline std::string TrimLeft(std::string_view text) { return std::string(TrimLeftView(text)); }
inline std::string TrimRight(std::string_view text) { return std::string(TrimRightView(text)); }

// `text` cut or padded with blanks on the right to exactly `width` bytes.
std::string PadRight(std::string_view text, std::size_t width, char fill = ' ');
// `text` padded with blanks on the left to at least `width` bytes.
std::string PadLeft(std::string_view text, std::size_t width, char fill = ' ');

// Calls `take` with each line of `bytes` as SplitLfLines cuts them, as views into `bytes`.
template <class Take> void ForEachLfLine(std::string_view bytes, Take take)
{
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        take(line);
        start = end + 1;
    }
}

// The lines of a text file split at LF, a CR before the LF dropped; no empty last line for a
// final LF. The store's own files split differently (SplitLines in store/StoreLines.h).
std::vector<std::string> SplitLfLines(std::string_view bytes);

} // namespace vornal
