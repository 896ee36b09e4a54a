#pragma once

#include <string>
#include <string_view>

#include <QString>

// The core speaks CP932; Qt speaks UTF-16. Every text crosses here, once per refresh.
namespace vornal::ui {

QString Q(std::string_view cp932);
std::string Cp932(const QString& text);

} // namespace vornal::ui
