#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

// Fixed-capacity texts of the race day. Both keep their bytes inside the object, so a
// RaceDay made of them stays one block that is copied, cleared and compared as a value.
namespace vornal {

// A CP932 text of at most N bytes. Longer input is cut at N bytes (the cut may split a
// double-byte character, as the fixed fields of the records do); an empty text has length 0.
template <std::size_t N> class FixedText
{
    static_assert(N > 0 && N < 65536);

public:
    static constexpr std::size_t kCapacity = N;

    FixedText() = default;
    FixedText(std::string_view text) { Assign(text); } // NOLINT: implicit from text by design

    void Assign(std::string_view text)
    {
        m_size = static_cast<std::uint16_t>(text.size() < N ? text.size() : N);
        for (std::size_t i = 0; i < m_size; ++i) {
            m_bytes[i] = text[i];
        }
    }
    FixedText& operator=(std::string_view text)
    {
        Assign(text);
        return *this;
    }
    void Clear() { m_size = 0; }

    std::string_view View() const { return {m_bytes.data(), m_size}; }
    std::string Str() const { return std::string(View()); }
    operator std::string_view() const { return View(); } // NOLINT
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

    friend bool operator==(const FixedText& a, std::string_view b) { return a.View() == b; }
    friend bool operator==(const FixedText& a, const FixedText& b) { return a.View() == b.View(); }

private:
    std::array<char, N> m_bytes{};
    std::uint16_t m_size = 0;
};

// A JV-Data record of exactly N bytes (the record length of its kind, CR LF included), as
// read from a store file by record index. A record that is not loaded is all blanks; a
// shorter input is padded with blanks, a longer one cut. Field positions are 1-based byte
// positions in View().
template <std::size_t N> class RecordText
{
public:
    static constexpr std::size_t kLength = N;

    RecordText() { Blank(); }

    void Blank() { m_bytes.fill(' '); }
    void Assign(std::string_view bytes)
    {
        // Whole records are copied by the thousand in a load: one block copy, not a byte loop.
        const std::size_t copied = bytes.size() < N ? bytes.size() : N;
        std::memcpy(m_bytes.data(), bytes.data(), copied);
        std::memset(m_bytes.data() + copied, ' ', N - copied);
    }
    RecordText& operator=(std::string_view bytes)
    {
        Assign(bytes);
        return *this;
    }

    std::string_view View() const { return {m_bytes.data(), N}; }
    operator std::string_view() const { return View(); } // NOLINT

    friend bool operator==(const RecordText& a, const RecordText& b) { return a.m_bytes == b.m_bytes; }

private:
    std::array<char, N> m_bytes;
};

} // namespace vornal
