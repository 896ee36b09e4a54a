#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

// What the fuzz targets share: a scratch folder of this process (in memory where the system
// has one) and writing an input to a file there, since the readers under test take files.
namespace vornal::fuzz {

inline const std::filesystem::path& ScratchDir()
{
    static const std::filesystem::path dir = [] {
        std::filesystem::path base = std::filesystem::exists("/dev/shm") ? std::filesystem::path("/dev/shm")
                                                                         : std::filesystem::temp_directory_path();
        std::filesystem::path path = base / ("vornal-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return dir;
}

inline void WriteInput(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string_view Input(const std::uint8_t* data, std::size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

// A fault the sanitizers cannot see: a reader broke its own promise.
[[noreturn]] inline void Broken(const char* what)
{
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
}

} // namespace vornal::fuzz
