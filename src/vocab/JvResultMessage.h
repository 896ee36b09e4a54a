#pragma once

#include <string>
#include <string_view>

namespace vornal {

// The message shown for the result code of a JV-Link call ("JVInit", "JVSetUIProperties",
// "JVClose", "JVOpen", "JVRTOpen", "JVStatus", "JVRead"), followed by "(" code ")".
// A code the call does not document, or an unknown call name, gives the bracketed code
// alone, so the user always sees the number. Positive JVStatus and JVRead results are
// counts and sizes and are spelled out:
//   JvResultMessage("JVRead", 120) == Sjis("バッファにセットしたデータのサイズ120(120)")
std::string JvResultMessage(std::string_view callName, int code);

} // namespace vornal
