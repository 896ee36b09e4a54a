#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "raceday/FixedText.h"

// A small streaming JSON writer for the command-line faces. Texts of the system are CP932
// and are written as UTF-8 strings byte for byte as stored (blanks kept); numbers are
// written in the shortest form that reads back to the same double. A number that is not
// finite has no JSON form: it is written as null and counted, and the caller treats a
// non-zero count as a fault of the pass that produced it.
namespace vornal {

class JsonWriter
{
public:
    explicit JsonWriter(std::string& out) : m_out(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The key of the next value inside an object. A key anywhere else would make the output
    // invalid JSON: it throws std::logic_error, a fault of the caller.
    void Key(std::string_view key);

    void Utf8(std::string_view text);
    void Cp932(std::string_view text);
    void Number(double value);
    void Number(int value);
    void Number(long long value);
    void Bool(bool value);
    void Null();

    // Key and value in one call.
    void Field(std::string_view key, double value)
    {
        Key(key);
        Number(value);
    }
    void Field(std::string_view key, int value)
    {
        Key(key);
        Number(value);
    }
    void Field(std::string_view key, bool value)
    {
        Key(key);
        Bool(value);
    }
    template <std::size_t N> void Field(std::string_view key, const FixedText<N>& text)
    {
        Key(key);
        Cp932(text.View());
    }
    template <typename T, std::size_t N> void Field(std::string_view key, const std::array<T, N>& values)
    {
        Key(key);
        BeginArray();
        for (const T& value : values) {
            Item(value);
        }
        EndArray();
    }

    // A 1-based array, whose element 0 is unused, as its entries 1 .. N - 1 only.
    template <typename T, std::size_t N> void FieldFromOne(std::string_view key, const std::array<T, N>& values)
    {
        static_assert(N > 1);
        Key(key);
        BeginArray();
        for (std::size_t i = 1; i < N; ++i) {
            Item(values[i]);
        }
        EndArray();
    }

    // Values that were not finite and were written as null.
    int NonFiniteCount() const { return m_nonFinite; }

private:
    void Item(double value) { Number(value); }
    void Item(int value) { Number(value); }
    void Item(bool value) { Bool(value); }
    template <std::size_t N> void Item(const FixedText<N>& text) { Cp932(text.View()); }
    template <typename T, std::size_t N> void Item(const std::array<T, N>& values)
    {
        BeginArray();
        for (const T& value : values) {
            Item(value);
        }
        EndArray();
    }
    // Writes the comma before a value or key that follows another one.
    void Separate();

    std::string& m_out;
    // Bytes rather than std::vector<bool>'s packed bits: they are read and set for every value.
    std::vector<char> m_first;    // per open container: nothing written in it yet
    std::vector<char> m_isObject; // per open container: an object, not an array
    bool m_afterKey = false;
    int m_nonFinite = 0;
};

} // namespace vornal
