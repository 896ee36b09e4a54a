#include "ui/Text.h"

#include "text/Encoding.h"

namespace vornal::ui {

QString Q(std::string_view cp932)
{
    return QString::fromStdString(ToUtf8(cp932));
}

std::string Cp932(const QString& text)
{
    return ToCp932(text.toStdString());
}

} // namespace vornal::ui
