#pragma once

#include "present/DisplayList.h"
#include "raceday/JsonWriter.h"

// Display lists as JSON for the command line: an array of items in paint order, each an
// object with "kind" ("rect", "line", "text", "polygon", "ellipse"), its coordinates and its
// colours as [red, green, blue]; a text has "text" (UTF-8), "face", "points", "bold", "ink"
// and "pitch" (0 for proportional text).
namespace vornal {

void WriteDisplayListJson(JsonWriter& json, const DisplayList& list);

} // namespace vornal
