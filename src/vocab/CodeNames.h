#pragma once

#include <string>
#include <string_view>

// Names of the JV-Data codes as fixed-width CP932 texts for columns, file names and labels.
// Codes are compared as exact text: "05" is a racecourse code, "5" and " 5" are not. A code
// that is not in a table gives blank text of the form's width, never an error.
namespace vornal {

enum class CourseForm {
    Display, // 6 bytes: screens, printouts, hit files
    Short,   // 4 bytes: store file names, progress and error texts
};

// Racecourse name of a 2-character racecourse code: JRA (01..10), local racing (30..61) or a
// foreign country (A0..N2). Always 6 bytes (Display) or 4 bytes (Short).
//   CourseName("06", CourseForm::Display) == Sjis("中山  "), short form Sjis("中山")
std::string CourseName(std::string_view code, CourseForm form);

// 6 bytes: the JRA racecourse name for 01..10, "地方  " for any local code, "海外  " for any
// foreign code of the racecourse table (also those without a name), blanks otherwise.
std::string CourseRegion(std::string_view code);

// 12 bytes (six full-width characters) for the 2-character race kind code, e.g.
// "サラ系３歳上"; six full-width blanks for an unknown code.
std::string RaceKindName(std::string_view code);

// 5 bytes for the 1-character grade code: "G1   ", "JG2  ", "重賞 ", "List " ...;
// two full-width blanks and a blank for an unknown code.
std::string GradeMark(std::string_view code);

// Class name of a 3-character race condition code read as a number ("016" -> "3勝ｸﾗｽ",
// "701" -> "新馬"); empty for any other value, including a blank code.
std::string ConditionClassName(std::string_view code);

} // namespace vornal
