#pragma once

#include <string>

#include "cli/CliContext.h"

namespace vornal::cli {

// The reference page of the day JSON and the CLI's tables (Markdown, UTF-8), made from what
// the program writes: the keys and value shapes come from the JSON writers run on a sample
// race, the columns from the tables' field descriptions. docs/cli-reference.md holds it.
std::string CliReference();

// "doc": prints CliReference().
int RunDoc(CliContext& context);

} // namespace vornal::cli
