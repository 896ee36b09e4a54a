#pragma once

#include <filesystem>

#include "bridge/BridgeBackend.h"
#include "store/ReplayLink.h"

// The bridge's replay backend: a replay feed folder served through the protocol, with the
// replay link's result codes (and the errors its link.ini injects).
namespace vornal::jvlink {

class ReplayBackend : public bridge::Backend
{
public:
    explicit ReplayBackend(std::filesystem::path feedFolder) : m_link(std::move(feedFolder)) {}

    std::string Name() const override { return "replay"; }
    int Init(const std::string& softwareId) override { return m_link.JVInit(softwareId); }
    std::string Version() override { return m_link.Version(); }
    int SetUIProperties() override { return m_link.JVSetUIProperties(); }
    bridge::OpenReply Open(const std::string& dataSpec, const std::string& fromTime, int option) override;
    int Status() override { return m_link.JVStatus(); }
    int Read(std::string& record, int bufferSize, std::string& fileName) override
    {
        return m_link.JVRead(record, bufferSize, fileName);
    }
    int Skip() override { return m_link.JVSkip(); }
    int RTOpen(const std::string& dataSpec, const std::string& key) override { return m_link.JVRTOpen(dataSpec, key); }
    int Cancel() override
    {
        m_link.JVCancel();
        return 0;
    }
    int Close() override { return m_link.JVClose(); }

private:
    ReplayLink m_link;
};

} // namespace vornal::jvlink
