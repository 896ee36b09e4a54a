#pragma once

#include <string>
#include <utility>

// The outcome of every operation that can fail: success, or the message for the user (CP932
// text naming the file and the record, the race slot and runner, or the setting at fault).
// What the operation saved or wrote before it failed stays saved.
namespace vornal {

struct [[nodiscard]] Status
{
    bool ok = true;
    std::string message;

    explicit operator bool() const { return ok; }

    static Status Success() { return {}; }
    static Status Failure(std::string message) { return {false, std::move(message)}; }
};

// A value, or the status that says why there is none. `value` holds its default when the
// operation failed.
template <class T>
struct [[nodiscard]] Result
{
    Status status;
    T value{};

    explicit operator bool() const { return status.ok; }
    const std::string& message() const { return status.message; }

    static Result Success(T value) { return {Status::Success(), std::move(value)}; }
    static Result Failure(std::string message) { return {Status::Failure(std::move(message)), T{}}; }
};

} // namespace vornal
