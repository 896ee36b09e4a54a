#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The one settings file ("vornal.ini" in the application folder): sections in square
// brackets, "key=value" lines, CP932 text with CR LF. Every call reads or rewrites the file
// itself; nothing is cached, so a value written by one window is seen by the next read
// anywhere. Section and key names are case-sensitive. Texts are CP932 bytes.
namespace vornal {

class Settings
{
public:
    explicit Settings(std::filesystem::path file);

    const std::filesystem::path& File() const { return m_file; }

    // Decimal text; a missing key or unparsable text gives `defaultValue`.
    int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
    // Written as "1" or "0". Read as an integer: 0 is false, any other number true; a missing
    // key or a value that is not an integer ("yes", "true") gives `defaultValue`.
    bool ReadBool(const std::string& section, const std::string& key, bool defaultValue) const;
    // The raw value with its quoting removed: "\"\"" and "｢｣" read as empty, a longer value
    // in double quotes or in "｢" .. "｣" loses the first and last characters.
    std::string ReadString(const std::string& section, const std::string& key, const std::string& defaultValue) const;
    // A list stored as K.Count and K.0 .. K.(Count-1). `list` supplies the defaults and
    // receives the list read.
    void ReadStrings(const std::string& section, const std::string& key, std::vector<std::string>& list) const;

    // Writers rewrite the file atomically. They return false (and leave the old file) when
    // the file cannot be written.
    [[nodiscard]] bool WriteInteger(const std::string& section, const std::string& key, int value) const;
    [[nodiscard]] bool WriteBool(const std::string& section, const std::string& key, bool value) const;
    [[nodiscard]] bool WriteString(const std::string& section, const std::string& key, const std::string& value) const;
    [[nodiscard]] bool WriteStrings(const std::string& section, const std::string& key, const std::vector<std::string>& list) const;

private:
    std::filesystem::path m_file;
};

} // namespace vornal
