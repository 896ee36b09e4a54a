#pragma once

#include <string>
#include <utility>

// The outcome of an analysis pass over the race day. A pass that meets a field it cannot
// read (a time with letters where digits belong) stops and says where; `message` is CP932
// text naming the race slot, the runner and the past run, empty on success. What the pass
// wrote for the races before the faulty one stays written.
namespace vornal {

struct PassResult
{
    bool ok = true;
    std::string message;

    explicit operator bool() const { return ok; }

    static PassResult Success() { return {}; }
    static PassResult Failure(std::string message) { return {false, std::move(message)}; }
};

} // namespace vornal
