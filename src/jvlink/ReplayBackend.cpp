#include "jvlink/ReplayBackend.h"

namespace vornal::jvlink {

bridge::OpenReply ReplayBackend::Open(const std::string& dataSpec, const std::string& fromTime, int option)
{
    JvOpenResult result = m_link.JVOpen(dataSpec, fromTime, option);
    return bridge::OpenReply{result.code, result.readCount, result.downloadCount, std::move(result.lastFileTimestamp)};
}

} // namespace vornal::jvlink
