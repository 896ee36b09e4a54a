#include "text/Fields.h"

#include <charconv>
#include <climits>
#include <cstdlib>

namespace vornal {
namespace {

bool IsAsciiBlank(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

} // namespace

std::string Field(std::string_view record, int position, int length)
{
    if (length <= 0) {
        return {};
    }
    std::string out(FieldView(record, position, length));
    out.resize(static_cast<std::size_t>(length), ' ');
    return out;
}

long long SignedLeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = LeadingNumber(text.substr(i));
    return negative ? -value : value;
}

std::optional<int> ParseInt(std::string_view text)
{
    text = TrimView(text);
    if (text.empty()) {
        return std::nullopt;
    }
    std::size_t start = text[0] == '+' ? 1 : 0;
    int value = 0;
    auto [ptr, ec] = std::from_chars(text.data() + start, text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || start == text.size()) {
        return std::nullopt;
    }
    if (start == 1 && text.size() > 1 && text[1] == '-') {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseDouble(std::string_view text)
{
    text = TrimView(text);
    if (text.empty()) {
        return std::nullopt;
    }
    // from_chars for double accepts no leading '+', strtod accepts hex and "inf": check by hand.
    std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (std::size_t j = i; j < text.size(); ++j) {
        char c = text[j];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    std::string copy(text);
    return std::strtod(copy.c_str(), nullptr);
}

bool IsAllDigits(std::string_view text)
{
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool IsBlank(std::string_view text)
{
    for (char c : text) {
        if (c != ' ') {
            return false;
        }
    }
    return true;
}

std::string_view TrimLeftView(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && IsAsciiBlank(text[i])) {
        ++i;
    }
    return text.substr(i);
}

std::string_view TrimRightView(std::string_view text)
{
    std::size_t n = text.size();
    while (n > 0 && IsAsciiBlank(text[n - 1])) {
        --n;
    }
    return text.substr(0, n);
}

std::string_view TrimView(std::string_view text)
{
    return TrimRightView(TrimLeftView(text));
}

std::string PadRight(std::string_view text, std::size_t width, char fill)
{
    std::string out(text.substr(0, width));
    out.resize(width, fill);
    return out;
}

std::string PadLeft(std::string_view text, std::size_t width, char fill)
{
    if (text.size() >= width) {
        return std::string(text);
    }
    return std::string(width - text.size(), fill) + std::string(text);
}

std::vector<std::string> SplitLfLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    ForEachLfLine(bytes, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

} // namespace vornal
