#pragma once

#include <string>
#include <string_view>

// Small text helpers shared by the screens, the store and the schedules. All text is CP932.
namespace vornal {

// "①" .. "⑱" for horse numbers 1..18, the full-width minus "－" for any other value.
std::string CircledNumber(int n);

// The "hhmm" clock text moved by `minutes` (negative moves it earlier): "1530", -30 ->
// "1500". Hours do not wrap at midnight ("2350", +20 -> "2410"), because a race day's
// schedule is one calendar day. Empty or blank input gives the empty text.
std::string ShiftClock(std::string_view hhmm, int minutes);

// `text` with the bytes from 1-based `position` onward replaced by `piece`: the length stays
// the same when the piece fits inside, and grows by the part that does not. A position past
// the end pads the text with blanks up to it; a position below 1 changes nothing.
//   OverwriteAt(record, "000000000", 3) zeroes bytes 3..11 of a record.
std::string OverwriteAt(std::string text, std::string_view piece, int position);

// The number of a digit field right-aligned in the field's width, or blanks when it is 0:
// "05" -> " 5", "12" -> "12", "00" -> "  ". Used for race numbers in labels.
std::string SpaceForZero(std::string_view digits);

// `text` without any full-width blank "　". The text is walked character by character, so a
// trail byte 0x81 followed by 0x40 is never mistaken for a blank.
std::string DropWideBlanks(std::string_view text);

} // namespace vornal
