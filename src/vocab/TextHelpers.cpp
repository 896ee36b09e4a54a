#include "vocab/TextHelpers.h"

#include <cstdlib>

#include "text/Encoding.h"
#include "text/Fields.h"
#include "text/Format.h"

namespace vornal {
namespace {

// The full-width blank "　" in CP932.
constexpr char kWideBlankLead = '\x81';
constexpr char kWideBlankTrail = '\x40';

constexpr std::string_view kCircledNumbers[] = {
    "①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫", "⑬", "⑭", "⑮", "⑯", "⑰", "⑱",
};

// A clock part with at least two digits; a negative part keeps its sign in front ("-05").
std::string TwoDigits(long long value)
{
    std::string digits = fmt::sprintf("%02lld", std::llabs(value));
    return value < 0 ? "-" + digits : digits;
}

} // namespace

std::string CircledNumber(int n)
{
    if (n < 1 || n > static_cast<int>(std::size(kCircledNumbers))) {
        return Sjis("－");
    }
    return Sjis(kCircledNumbers[n - 1]);
}

std::string ShiftClock(std::string_view hhmm, int minutes)
{
    if (TrimView(hhmm).empty()) {
        return {};
    }
    long long total = LeadingNumber(FieldView(hhmm, 1, 2)) * 60 + LeadingNumber(FieldView(hhmm, 3, 2)) + minutes;
    // Division and remainder truncate toward zero, so a time before midnight would show a
    // minus sign rather than wrap to the previous day; callers stay well clear of that.
    return TwoDigits(total / 60) + TwoDigits(total % 60);
}

std::string OverwriteAt(std::string text, std::string_view piece, int position)
{
    if (position < 1) {
        return text;
    }
    std::size_t start = static_cast<std::size_t>(position - 1);
    if (start > text.size()) {
        text.resize(start, ' ');
    }
    text.replace(start, piece.size(), piece);
    return text;
}

std::string SpaceForZero(std::string_view digits)
{
    long long value = LeadingNumber(digits);
    if (value == 0) {
        return std::string(digits.size(), ' ');
    }
    return PadLeft(std::to_string(value), digits.size());
}

std::string DropWideBlanks(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = CharLength(text, i);
        bool wideBlank = length == 2 && text[i] == kWideBlankLead && text[i + 1] == kWideBlankTrail;
        if (!wideBlank) {
            out.append(text.substr(i, length));
        }
        i += length;
    }
    return out;
}

} // namespace vornal
