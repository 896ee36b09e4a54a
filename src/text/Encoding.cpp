#include "text/Encoding.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <mutex>

namespace vornal {
namespace {

// This thread's iconv descriptor to `to` from the other of CP932 and UTF-8, opened on first
// use and kept: opening one costs more than converting a field, and a day's texts are
// converted by the thousand.
iconv_t Converter(const char* to)
{
    struct Descriptors
    {
        iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
        iconv_t toCp932 = iconv_open("CP932", "UTF-8");
        ~Descriptors()
        {
            for (iconv_t cd : {toUtf8, toCp932}) {
                if (cd != reinterpret_cast<iconv_t>(-1)) {
                    iconv_close(cd);
                }
            }
        }
    };
    thread_local Descriptors descriptors;
    return std::string_view(to) == "UTF-8" ? descriptors.toUtf8 : descriptors.toCp932;
}

// One conversion through iconv. `onInvalid` is appended for an input sequence that cannot
// be converted, and the input then advances by `skip` bytes.
std::string Convert(const char* to, const char* from, std::string_view input, std::string_view onInvalid)
{
    std::string out;
    if (input.empty()) {
        return out;
    }
    iconv_t cd = Converter(to);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(input);
    }
    // A descriptor used before starts from its initial state.
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    out.reserve(input.size() * 2);
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut off at the end): mark it and step over one
        // character of the input (a CP932 double-byte pair stays together).
        out.append(onInvalid);
        std::size_t step = 1;
        if (std::string_view(from) == "CP932") {
            step = CharLength(std::string_view(in, inLeft), 0);
        } else {
            // UTF-8: skip the lead byte and its continuation bytes.
            while (step < inLeft && (static_cast<unsigned char>(in[step]) & 0xC0) == 0x80) {
                ++step;
            }
        }
        in += step;
        inLeft -= step;
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
    return out;
}

} // namespace

std::string ToUtf8(std::string_view cp932)
{
    // Plain ASCII is the same in both; most record fields are digits and blanks.
    bool ascii = true;
    for (char c : cp932) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return std::string(cp932);
    }
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD");
}

std::string ToCp932(std::string_view utf8)
{
    bool ascii = true;
    for (char c : utf8) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return std::string(utf8);
    }
    return Convert("CP932", "UTF-8", utf8, "?");
}

bool IsValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        auto c = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        if (c < 0x80) {
            extra = 0;
        } else if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
        } else {
            return false;
        }
        if (i + extra >= text.size() && extra > 0) {
            return false; // cut off at the end
        }
        for (std::size_t j = 1; j <= extra; ++j) {
            if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += extra + 1;
    }
    return true;
}

const std::string& Sjis(std::string_view utf8Literal)
{
    static std::mutex mutex;
    static std::map<std::string, std::string, std::less<>> cache;
    std::lock_guard lock(mutex);
    auto it = cache.find(utf8Literal);
    if (it == cache.end()) {
        it = cache.emplace(std::string(utf8Literal), ToCp932(utf8Literal)).first;
    }
    // std::map never moves its nodes, so the reference stays valid.
    return it->second;
}

} // namespace vornal
