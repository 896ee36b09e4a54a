#pragma once

#include <functional>
#include <string>
#include <vector>

#include "store/Acquisition.h"
#include "text/Encoding.h"

#include "support/JvRecordBuilder.h"

// An acquisition window for tests: records what it is shown, in UTF-8.
namespace vornal::test {

class RecordingView : public AcquisitionView
{
public:
    void SetLine(int line, const std::string& text) override
    {
        events.push_back("label" + std::to_string(line) + " " + ToUtf8(text));
    }
    void SetBar(int bar, int position, int maximum) override
    {
        bars[bar] = std::to_string(position) + "/" + std::to_string(maximum);
    }
    void ClearCreatedFiles() override { created.clear(); }
    void AddCreatedFile(const std::string& line) override
    {
        created.push_back(ToUtf8(line));
        if (onCreated) {
            onCreated();
        }
    }
    void ShowMessage(const std::string& text) override { events.push_back("message " + ToUtf8(text)); }
    void Beep() override { events.push_back("beep"); }
    void SetBusy(bool busy) override { this->busy = busy; }

    // The events that start with `prefix`.
    std::vector<std::string> Only(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const std::string& event : events) {
            if (event.starts_with(prefix)) {
                out.push_back(event);
            }
        }
        return out;
    }
    bool Shows(const std::string& event) const
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }

    std::vector<std::string> events;
    std::vector<std::string> created;
    std::string bars[2];
    bool busy = false;
    // Called after each created-file line: where a test acts as the user would mid-run.
    std::function<void()> onCreated;
};

} // namespace vornal::test
