#include "raceday/JsonWriter.h"

#include <cmath>
#include <stdexcept>

#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {

void JsonWriter::Separate()
{
    if (m_afterKey) {
        m_afterKey = false;
        return;
    }
    if (!m_first.empty()) {
        if (!m_first.back()) {
            m_out += ',';
        }
        m_first.back() = false;
    }
}

void JsonWriter::BeginObject()
{
    Separate();
    m_out += '{';
    m_first.push_back(true);
    m_isObject.push_back(true);
}

void JsonWriter::EndObject()
{
    m_out += '}';
    m_first.pop_back();
    m_isObject.pop_back();
}

void JsonWriter::BeginArray()
{
    Separate();
    m_out += '[';
    m_first.push_back(true);
    m_isObject.push_back(false);
}

void JsonWriter::EndArray()
{
    m_out += ']';
    m_first.pop_back();
    m_isObject.pop_back();
}

void JsonWriter::Key(std::string_view key)
{
    if (m_isObject.empty() || !m_isObject.back() || m_afterKey) {
        throw std::logic_error("JSON key \"" + std::string(key) + "\" outside an object");
    }
    Utf8(key);
    m_out += ':';
    m_afterKey = true;
}

void JsonWriter::Utf8(std::string_view text)
{
    Separate();
    m_out += '"';
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            m_out += '\\';
            m_out += c;
        } else if (byte < 0x20) {
            m_out += fmt::format("\\u{:04x}", byte);
        } else {
            m_out += c;
        }
    }
    m_out += '"';
}

void JsonWriter::Cp932(std::string_view text)
{
    Utf8(ToUtf8(text));
}

void JsonWriter::Number(double value)
{
    if (!std::isfinite(value)) {
        ++m_nonFinite;
        Null();
        return;
    }
    Separate();
    // fmt's default form is the shortest text that reads back to the same double.
    m_out += fmt::format("{}", value);
}

void JsonWriter::Number(int value)
{
    Separate();
    m_out += std::to_string(value);
}

void JsonWriter::Number(long long value)
{
    Separate();
    m_out += std::to_string(value);
}

void JsonWriter::Bool(bool value)
{
    Separate();
    m_out += value ? "true" : "false";
}

void JsonWriter::Null()
{
    Separate();
    m_out += "null";
}

} // namespace vornal
