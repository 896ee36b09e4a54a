#include "raceday/JsonWriter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <iterator>
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
    // Runs of bytes that need no escape go in whole.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (c != '"' && c != '\\' && byte >= 0x20) {
            continue;
        }
        m_out.append(text.substr(run, i - run));
        if (byte < 0x20) {
            fmt::format_to(std::back_inserter(m_out), "\\u{:04x}", byte);
        } else {
            m_out += '\\';
            m_out += c;
        }
        run = i + 1;
    }
    m_out.append(text.substr(run));
    m_out += '"';
}

void JsonWriter::Cp932(std::string_view text)
{
    // Most fields are digits and blanks, the same bytes in both encodings.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        Utf8(text);
    } else {
        Utf8(ToUtf8(text));
    }
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
    fmt::format_to(std::back_inserter(m_out), "{}", value);
}

void JsonWriter::Number(int value)
{
    Number(static_cast<long long>(value));
}

void JsonWriter::Number(long long value)
{
    Separate();
    char digits[24];
    const std::to_chars_result written = std::to_chars(std::begin(digits), std::end(digits), value);
    m_out.append(digits, written.ptr);
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
