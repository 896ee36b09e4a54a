#pragma once

#include <atomic>
#include <string>

// How long operations (acquisition, results retrieval, day loading, the rating pass) show
// their progress and learn about a cancel. The GUI implements Progress with its windows;
// the CLI prints or ignores it. A day load may run on a worker thread: it reports through
// Progress from that thread (an implementation hands the texts to its own thread) and tests
// the CancelFlag, which any thread may set. No operation asks the face to process its
// events: a face that wants to stay responsive runs the operation on a worker thread.
namespace vornal {

// The one cancel flag the acquisition window sets and the operations test. It stays set
// until an acquisition run clears it at its start.
class CancelFlag
{
public:
    void Set() { m_set = true; }
    void Clear() { m_set = false; }
    bool IsSet() const { return m_set; }

private:
    std::atomic<bool> m_set{false};
};

class Progress
{
public:
    virtual ~Progress() = default;

    // Shows `text` (CP932) as caption line `line` (0 is the first line or the only label).
    virtual void SetLine(int line, const std::string& text) = 0;
    // Moves progress bar `bar` (0 is the first or the only bar) to `position` of `maximum`.
    virtual void SetBar(int bar, int position, int maximum) = 0;
};

// Progress that shows nothing.
class NullProgress : public Progress
{
public:
    void SetLine(int, const std::string&) override {}
    void SetBar(int, int, int) override {}
};

} // namespace vornal
