#pragma once

#include <string>

#include "support/TestFiles.h"

// The shared test files under the names the app tests use.
using vornal::test::Names;
using vornal::test::TempDir;

inline void PutFile(const std::filesystem::path& file, const std::string& bytes)
{
    vornal::test::Spit(file, bytes);
}

inline std::string GetFile(const std::filesystem::path& file)
{
    return vornal::test::Slurp(file);
}
