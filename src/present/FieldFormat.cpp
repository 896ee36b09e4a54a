#include "present/FieldFormat.h"

#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {

bool Shows(ShowWhen rule, double value)
{
    switch (rule) {
    case ShowWhen::Always:
        return true;
    case ShowWhen::Positive:
        return value > 0.0;
    case ShowWhen::BelowNoValue:
        return value < 10000.0;
    }
    return true;
}

std::string PayoutText(std::string_view format, double value)
{
    if (value > 0.0) {
        return fmt::sprintf(format, value);
    }
    return std::string(fmt::sprintf(format, 0.0).size(), ' ');
}

std::optional<std::string> ShowCell(const FieldFormat& format, const CellValue& value)
{
    if (const int* number = std::get_if<int>(&value)) {
        if (!Shows(format.Rule, *number)) {
            return std::nullopt;
        }
        return fmt::sprintf(Sjis(format.Format), *number);
    }
    if (const double* number = std::get_if<double>(&value)) {
        if (!Shows(format.Rule, *number)) {
            return std::nullopt;
        }
        return fmt::sprintf(Sjis(format.Format), *number);
    }
    if (const std::string* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    return std::nullopt;
}

const std::string& HeaderText(const FieldFormat& format)
{
    return Sjis(format.Header);
}

} // namespace vornal
