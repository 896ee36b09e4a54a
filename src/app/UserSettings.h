#pragma once

#include <string>
#include <vector>

#include "app/Settings.h"
#include "app/Status.h"

// The three rating weights the user edits by hand in section "User" of the settings file:
// "RTSW" (divisor weight of the final goal margin), "CarHosei" (career adjustment by the
// number of usable past runs) and "KKHosei" (jockey-and-trainer coefficient by field size).
// The rating pass reads them afresh for every race, so an edit takes effect at the next
// calculation. Nothing writes them.
namespace vornal {

// One number of the "User" settings, or the error that stops the rating pass (CP932 text
// naming the key).
using UserNumber = Result<double>;

struct UserSettings
{
    double Rtsw = 0.0;
    // The item texts as read; the built-in lists when the file has no items.
    std::vector<std::string> CarHosei;
    std::vector<std::string> KKHosei;

    // The career adjustment in seconds of a runner with `usableRuns` usable past runs: item
    // 0..3 of "CarHosei", 0 for 4 or 5 runs. An item beyond the list or one that is not a
    // number is an error.
    UserNumber CareerAdj(int usableRuns) const;
    // The coefficient of the jockey's and the trainer's top-two rate: item `fieldSizeIndex`
    // (see FieldSizeIndex) of "KKHosei". An item beyond the list or one that is not a number
    // is an error.
    UserNumber JockeyTrainerCoefficient(int fieldSizeIndex) const;
};

// Reads "RTSW" (default "0.26") and the two lists. A list whose count is 0 or absent gives
// the built-in list; the built-ins are not written back. A list with fewer items than the
// pass needs is read as it is: the error comes when a missing item is asked for. An "RTSW"
// that is not a decimal number fails, naming the key.
Result<UserSettings> ReadUserSettings(const Settings& settings);

} // namespace vornal
