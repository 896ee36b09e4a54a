#pragma once

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

// Runs the built vornal-cli with `arguments` (a shell-quoted argument string) and returns
// its exit code and standard output. Standard error goes to `err` when given.
namespace vornal::test {

struct CliResult
{
    int exitCode = -1;
    std::string out;
};

inline std::string ShellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

inline CliResult RunCli(const std::string& arguments, bool mergeStderr = false)
{
    std::string command = ShellQuote(VORNAL_CLI_PATH) + " " + arguments + (mergeStderr ? " 2>&1" : " 2>/dev/null");
    CliResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.out.append(buffer.data(), n);
    }
    int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

} // namespace vornal::test
