#include "app/Settings.h"

#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "app/AtomicFile.h"
#include "text/Encoding.h"
#include "text/Fields.h"

namespace vornal {
namespace {

constexpr char kCrLf[] = "\r\n";
// Half-width corner brackets, single bytes in CP932.
constexpr char kOpenCorner = '\xA2';
constexpr char kCloseCorner = '\xA3';
// A list count beyond this is a damaged or hostile file, not a list of the system.
constexpr int kMaxListCount = 65536;

// One line of the file and the line end it had, kept so that a rewrite leaves every line it
// does not change byte for byte as it was.
struct Line
{
    std::string text;
    std::string eol;
};

std::vector<Line> SplitLines(std::string_view bytes)
{
    std::vector<Line> lines;
    while (!bytes.empty()) {
        std::size_t lf = bytes.find('\n');
        std::string_view body = bytes.substr(0, lf);
        std::size_t used = lf == std::string_view::npos ? bytes.size() : lf + 1;
        std::string_view eol = lf == std::string_view::npos ? std::string_view() : std::string_view("\n");
        if (!eol.empty() && !body.empty() && body.back() == '\r') {
            body.remove_suffix(1);
            eol = kCrLf;
        }
        lines.push_back({std::string(body), std::string(eol)});
        bytes.remove_prefix(used);
    }
    return lines;
}

std::string JoinLines(const std::vector<Line>& lines)
{
    std::string out;
    for (const Line& line : lines) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

// The name between "[" and the first "]" that is a character of its own; a trail byte 0x5D
// of a double-byte character does not close the name.
std::optional<std::string_view> SectionOf(std::string_view line)
{
    std::string_view text = TrimView(line);
    if (text.empty() || text.front() != '[') {
        return std::nullopt;
    }
    for (std::size_t i = 1; i < text.size(); i += CharLength(text, i)) {
        if (text[i] == ']') {
            return text.substr(1, i - 1);
        }
    }
    return std::nullopt;
}

// The key of a "key=value" line; nothing for section lines, comments and other text. No
// CP932 trail byte is 0x3D, so the first "=" byte is the separator.
std::optional<std::string_view> KeyOf(std::string_view line)
{
    std::string_view text = TrimView(line);
    if (text.empty() || text.front() == '[' || text.front() == ';') {
        return std::nullopt;
    }
    std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    std::string_view key = TrimView(text.substr(0, eq));
    if (key.empty()) {
        return std::nullopt;
    }
    return key;
}

std::string_view ValueOf(std::string_view line)
{
    return TrimView(line.substr(line.find('=') + 1));
}

bool IsBlankLine(const Line& line)
{
    return TrimView(line.text).empty();
}

bool HasLineBreak(std::string_view text)
{
    return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names that would read back as something else, or split the file, are refused.
bool IsValidSection(const std::string& section)
{
    return !HasLineBreak(section) && SectionOf("[" + section + "]") == std::string_view(section);
}

bool IsValidKey(const std::string& key)
{
    return !HasLineBreak(key) && KeyOf(key + "=") == std::string_view(key);
}

// Where a key sits in the file: the line of its first section and of the key inside it.
// When the section holds the same key twice, the first one counts, for reads and writes.
struct Position
{
    std::optional<std::size_t> sectionLine;
    std::optional<std::size_t> keyLine;
    std::size_t lastContentLine = 0; // last non-blank line of the section
};

Position Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key)
{
    Position at;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionOf(lines[i].text)) {
            if (at.sectionLine) {
                break;
            }
            if (*name == section) {
                at.sectionLine = i;
                at.lastContentLine = i;
            }
            continue;
        }
        if (!at.sectionLine) {
            continue;
        }
        if (!IsBlankLine(lines[i])) {
            at.lastContentLine = i;
        }
        if (KeyOf(lines[i].text) == key) {
            at.keyLine = i;
            break;
        }
    }
    return at;
}

std::optional<std::string> RawValue(const std::vector<Line>& lines, std::string_view section, std::string_view key)
{
    Position at = Locate(lines, section, key);
    if (!at.keyLine) {
        return std::nullopt;
    }
    return std::string(ValueOf(lines[*at.keyLine].text));
}

// Every key of the first section named `section` with its value, the first line of a key
// counting: what RawValue finds, for a reader of many keys of one section (a list).
std::unordered_map<std::string_view, std::string_view> SectionValues(const std::vector<Line>& lines,
                                                                     std::string_view section)
{
    std::unordered_map<std::string_view, std::string_view> values;
    bool inside = false;
    for (const Line& line : lines) {
        if (std::optional<std::string_view> name = SectionOf(line.text)) {
            if (inside) {
                break;
            }
            inside = *name == section;
            continue;
        }
        if (inside) {
            if (std::optional<std::string_view> key = KeyOf(line.text)) {
                values.emplace(*key, ValueOf(line.text));
            }
        }
    }
    return values;
}

void SetValue(std::vector<Line>& lines, const std::string& section, const std::string& key, const std::string& value)
{
    Line entry{key + "=" + value, kCrLf};
    Position at = Locate(lines, section, key);
    if (at.keyLine) {
        lines[*at.keyLine].text = std::move(entry.text);
        return;
    }
    if (at.sectionLine) {
        // After the last entry of the section, so blank lines before the next section stay
        // where they are.
        Line& previous = lines[at.lastContentLine];
        if (previous.eol.empty()) {
            previous.eol = kCrLf;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at.lastContentLine + 1), std::move(entry));
        return;
    }
    if (!lines.empty() && lines.back().eol.empty()) {
        lines.back().eol = kCrLf;
    }
    lines.push_back({"[" + section + "]", kCrLf});
    lines.push_back(std::move(entry));
}

// The position of the last character of `text` (a CP932 trail byte is not a character).
std::size_t LastCharStart(std::string_view text)
{
    std::size_t last = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        last = i;
    }
    return last;
}

bool EndsWithChar(std::string_view text, char c)
{
    std::size_t last = LastCharStart(text);
    return !text.empty() && last == text.size() - 1 && text.back() == c;
}

// A value may be written in double quotes or in corner brackets to keep blanks at its ends:
// "" and ｢｣ read as empty, a longer quoted value loses its first and last characters, and
// anything else (a lone quote, a quote at one end only) is read as it stands.
std::string Unquote(std::string value)
{
    if (value == "\"\"" || value == std::string{kOpenCorner, kCloseCorner}) {
        return {};
    }
    if (value.size() > 2 && ((value.front() == '"' && EndsWithChar(value, '"')) ||
                             (value.front() == kOpenCorner && EndsWithChar(value, kCloseCorner)))) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Loads the lines of the file, or none when it does not exist or cannot be read: every key
// then reads as missing.
std::vector<Line> LoadLines(const std::filesystem::path& file)
{
    std::optional<std::string> bytes = ReadFileBytes(file);
    return bytes ? SplitLines(*bytes) : std::vector<Line>{};
}

// Applies `entries` to the file in one atomic rewrite. A file that exists but cannot be read
// is not replaced: that would lose every other setting in it.
bool WriteEntries(const std::filesystem::path& file, const std::string& section,
                  const std::vector<std::pair<std::string, std::string>>& entries)
{
    if (!IsValidSection(section)) {
        return false;
    }
    for (const auto& [key, value] : entries) {
        if (!IsValidKey(key) || HasLineBreak(value)) {
            return false;
        }
    }
    std::vector<Line> lines;
    if (std::optional<std::string> bytes = ReadFileBytes(file)) {
        lines = SplitLines(*bytes);
    } else {
        std::error_code ec;
        if (std::filesystem::symlink_status(file, ec).type() != std::filesystem::file_type::not_found) {
            return false;
        }
    }
    for (const auto& [key, value] : entries) {
        SetValue(lines, section, key, value);
    }
    return WriteFileAtomic(file, JoinLines(lines)).ok;
}

} // namespace

Settings::Settings(std::filesystem::path file) : m_file(std::move(file)) {}

int Settings::ReadInteger(const std::string& section, const std::string& key, int defaultValue) const
{
    std::optional<std::string> raw = RawValue(LoadLines(m_file), section, key);
    if (!raw) {
        return defaultValue;
    }
    return ParseInt(*raw).value_or(defaultValue);
}

bool Settings::ReadBool(const std::string& section, const std::string& key, bool defaultValue) const
{
    std::optional<std::string> raw = RawValue(LoadLines(m_file), section, key);
    if (!raw) {
        return defaultValue;
    }
    std::optional<int> number = ParseInt(*raw);
    return number ? *number != 0 : defaultValue;
}

std::string Settings::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const
{
    std::optional<std::string> raw = RawValue(LoadLines(m_file), section, key);
    // A missing key reads as the default wrapped in corner brackets and unwrapped again,
    // which is the default itself.
    return raw ? Unquote(std::move(*raw)) : defaultValue;
}

void Settings::ReadStrings(const std::string& section, const std::string& key, std::vector<std::string>& list) const
{
    // One snapshot of the file for the whole list, so the count and the items agree.
    // The section's keys are gathered once: a count of thousands in a damaged file must not
    // scan the whole file once an item.
    const std::vector<Line> lines = LoadLines(m_file);
    const std::unordered_map<std::string_view, std::string_view> values = SectionValues(lines, section);
    const int currentCount = static_cast<int>(list.size());
    int count = currentCount;
    if (auto raw = values.find(key + ".Count"); raw != values.end()) {
        count = ParseInt(raw->second).value_or(currentCount);
    }
    if (count > kMaxListCount) {
        count = currentCount;
    }
    std::vector<std::string> read;
    for (int i = 0; i < count; ++i) {
        if (auto raw = values.find(key + "." + std::to_string(i)); raw != values.end()) {
            read.push_back(Unquote(std::string(raw->second)));
        } else {
            read.push_back(i < currentCount ? list[static_cast<std::size_t>(i)] : std::string());
        }
    }
    list = std::move(read);
}

bool Settings::WriteInteger(const std::string& section, const std::string& key, int value) const
{
    return WriteEntries(m_file, section, {{key, std::to_string(value)}});
}

bool Settings::WriteBool(const std::string& section, const std::string& key, bool value) const
{
    return WriteEntries(m_file, section, {{key, value ? "1" : "0"}});
}

bool Settings::WriteString(const std::string& section, const std::string& key, const std::string& value) const
{
    return WriteEntries(m_file, section, {{key, value}});
}

bool Settings::WriteStrings(const std::string& section, const std::string& key,
                            const std::vector<std::string>& list) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    entries.emplace_back(key + ".Count", std::to_string(list.size()));
    for (std::size_t i = 0; i < list.size(); ++i) {
        entries.emplace_back(key + "." + std::to_string(i), list[i]);
    }
    return WriteEntries(m_file, section, entries);
}

} // namespace vornal
