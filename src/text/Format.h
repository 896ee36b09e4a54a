#pragma once

// printf-style formats of the screens and files: fmt::sprintf("%6.1f", x) means what it
// says. fmt::sprintf takes a format built at run time as it is; fmt::format needs
// fmt::runtime for one.
#include <fmt/format.h>
#include <fmt/printf.h>
