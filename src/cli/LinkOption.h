#pragma once

#include <memory>
#include <string_view>

#include "cli/CliContext.h"
#include "store/JvLink.h"

namespace vornal::cli {

// The link a component command uses: --feed DIR (a replay feed folder) or --bridge
// "COMMAND ARG..." (a bridge program, split by the settings file's rule), else the settings
// file's choice when it names one. JVInit has run on it; nothing (after a message, with
// `exitCode` set) when it cannot be used.
std::unique_ptr<JvLink> OpenLink(CliContext& context, std::string_view usage, int& exitCode);

// Says on the error stream why the last call of a bridge failed, if it did.
void ReportLinkFailure(CliContext& context, const JvLink& link);

} // namespace vornal::cli
