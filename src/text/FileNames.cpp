#include "text/FileNames.h"

#include <fmt/format.h>

#include "text/Encoding.h"

namespace vornal {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD, what ToUtf8 puts for a bad byte

} // namespace

std::filesystem::path NativeName(std::string_view cp932Name)
{
    return std::filesystem::path(ToUtf8(cp932Name));
}

std::optional<std::string> Cp932Name(const std::filesystem::path& path)
{
    const std::string native = path.filename().native();
    if (!IsValidUtf8(native)) {
        return std::nullopt;
    }
    std::string cp932 = ToCp932(native);
    // ToCp932 puts "?" for what it cannot write; only a name that comes back whole is one.
    if (ToUtf8(cp932) != native) {
        return std::nullopt;
    }
    return cp932;
}

bool IsValidCp932(std::string_view bytes)
{
    return ToUtf8(bytes).find(kReplacement) == std::string::npos;
}

std::string EscapedName(std::string_view nativeName)
{
    if (IsValidUtf8(nativeName)) {
        return std::string(nativeName);
    }
    std::string out;
    for (char c : nativeName) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += fmt::format("\\x{:02X}", byte);
        }
    }
    return out;
}

} // namespace vornal
