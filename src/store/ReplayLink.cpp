#include "store/ReplayLink.h"

#include <algorithm>
#include <system_error>

#include "app/AtomicFile.h"
#include "app/Clock.h"
#include "store/StorePaths.h"
#include "text/Fields.h"

namespace vornal {
namespace {

constexpr std::size_t kStampLength = 14;

// Result codes of the component for a wrong call.
constexpr int kBadDataSpec = -111;
constexpr int kBadFromTime = -112;
constexpr int kBadKey = -114;
constexpr int kBadOption = -115;
constexpr int kNotInitialised = -201;
constexpr int kStillOpen = -202;
constexpr int kNotOpen = -203;
constexpr int kDialogCancelled = -100;
constexpr int kBadContent = -403;
constexpr int kFileMissing = -503;

bool IsStoredFileName(const std::string& name)
{
    return name.size() > kStampLength + 1 && IsAllDigits(std::string_view(name).substr(0, kStampLength)) &&
           name[kStampLength] == '-' && name.ends_with(".jvd");
}

// A race key names a file: year, month-day, racecourse, meeting, day and race, all digits
// or the capital letters of foreign racecourse codes.
bool IsRaceKeyText(std::string_view key)
{
    return key.size() == 16 &&
           std::all_of(key.begin(), key.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); });
}

std::vector<std::string> RecordsOf(std::string_view bytes)
{
    // Each line given its CR LF back, in one string of its own.
    std::vector<std::string> records;
    ForEachLfLine(bytes, [&](std::string_view line) {
        if (!line.empty()) {
            std::string& record = records.emplace_back();
            record.reserve(line.size() + 2);
            record.append(line).append("\r\n");
        }
    });
    return records;
}

// The odds announced by `now`: of the O1 and of the O2 records, only the newest announced
// at or before it; other records as they are. Nothing before the first announcement.
std::vector<std::string> AnswerAt(std::vector<std::string> records, const LocalDateTime& now)
{
    // Announcements carry month, day, hour and minute; the year is the race's, or the one
    // before for an announcement of 31 December for a race in January.
    auto announced = [](const std::string& record) {
        const long long year = LeadingNumber(FieldView(record, 12, 4));
        const std::string_view stamp = FieldView(record, 28, 8);
        const bool yearBefore = stamp.substr(0, 4) > FieldView(record, 16, 4);
        return (year - (yearBefore ? 1 : 0)) * 100000000LL + LeadingNumber(stamp);
    };
    const long long at = static_cast<long long>(now.year) * 100000000LL + now.month * 1000000LL + now.day * 10000LL +
                         now.hour * 100LL + now.minute;
    std::map<std::string, std::size_t> newest; // kind -> index
    std::vector<bool> keep(records.size(), true);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const std::string kind(FieldView(records[i], 1, 2));
        if (kind != "O1" && kind != "O2") {
            continue;
        }
        keep[i] = false;
        if (announced(records[i]) > at) {
            continue;
        }
        const auto found = newest.find(kind);
        if (found == newest.end() || announced(records[found->second]) <= announced(records[i])) {
            newest[kind] = i;
        }
    }
    // Before the first announcement the service has no odds of the race to answer.
    if (newest.empty() && std::find(keep.begin(), keep.end(), false) != keep.end()) {
        return {};
    }
    for (const auto& [kind, index] : newest) {
        keep[index] = true;
    }
    std::vector<std::string> answer;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (keep[i]) {
            answer.push_back(std::move(records[i]));
        }
    }
    return answer;
}

} // namespace

ReplayLink::ReplayLink(std::filesystem::path feedFolder) : m_feed(std::move(feedFolder))
{
    LoadConfig();
}

void ReplayLink::SetFeedFolder(std::filesystem::path feedFolder)
{
    m_feed = std::move(feedFolder);
    LoadConfig();
}

void ReplayLink::SetFolderChooser(std::function<std::optional<std::filesystem::path>()> chooser)
{
    m_chooser = std::move(chooser);
}

void ReplayLink::LoadConfig()
{
    m_config = Config{};
    const std::optional<std::string> bytes = ReadFileBytes(m_feed / "link.ini");
    if (!bytes) {
        return;
    }
    std::string section;
    for (std::string_view rest = *bytes; !rest.empty();) {
        const std::size_t end = std::min(rest.find('\n'), rest.size());
        const std::string_view line = TrimView(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']') {
            section = std::string(TrimView(line.substr(1, line.size() - 2)));
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string key(TrimView(line.substr(0, equals)));
        const std::string_view value = TrimView(line.substr(equals + 1));
        if (section == "link") {
            if (key == "version") {
                m_config.version = std::string(value);
            } else if (key == "lastFile") {
                m_config.lastFile = std::string(value);
            } else if (const std::optional<int> number = ParseInt(value)) {
                if (key == "download") {
                    m_config.download = std::max(0, *number);
                } else if (key == "statusStep") {
                    m_config.statusStep = std::max(1, *number);
                } else if (key == "busy") {
                    m_config.busy = std::max(0, *number);
                } else if (key == "noData") {
                    m_config.noData = *number;
                }
            }
        } else if (section == "errors") {
            const std::size_t at = value.find('@');
            const std::optional<int> code = ParseInt(value.substr(0, at));
            const std::optional<int> when =
                at == std::string_view::npos ? std::optional<int>(0) : ParseInt(value.substr(at + 1));
            if (code && when && *when >= 0) {
                m_config.errors[key] = Injection{*code, *when};
            }
        }
    }
}

int ReplayLink::Injected(const std::string& call, int count) const
{
    const auto found = m_config.errors.find(call);
    if (found == m_config.errors.end() || (found->second.at != 0 && found->second.at != count)) {
        return 0;
    }
    return found->second.code;
}

int ReplayLink::CountedInjection(const std::string& call)
{
    return Injected(call, ++m_calls[call]);
}

int ReplayLink::JVInit(std::string_view softwareId)
{
    if (const int code = CountedInjection("JVInit")) {
        return code;
    }
    if (softwareId.empty()) {
        return -101;
    }
    m_initialised = true;
    return 0;
}

std::string ReplayLink::Version() const
{
    return m_config.version;
}

int ReplayLink::JVSetUIProperties()
{
    if (const int code = CountedInjection("JVSetUIProperties")) {
        return code;
    }
    if (!m_chooser) {
        return 0;
    }
    std::optional<std::filesystem::path> chosen = m_chooser();
    if (!chosen) {
        return kDialogCancelled;
    }
    SetFeedFolder(std::move(*chosen));
    return 0;
}

JvOpenResult ReplayLink::JVOpen(std::string_view dataSpec, std::string_view fromTime, int option)
{
    JvOpenResult result;
    if (const int code = CountedInjection("JVOpen")) {
        result.code = code;
    } else if (!m_initialised) {
        result.code = kNotInitialised;
    } else if (m_open) {
        result.code = kStillOpen;
    } else if (dataSpec.empty()) {
        result.code = kBadDataSpec;
    } else if (fromTime.size() != kStampLength || !IsAllDigits(fromTime)) {
        result.code = kBadFromTime;
    } else if (option < 1 || option > 4) {
        result.code = kBadOption;
    }
    if (result.code != 0) {
        return result;
    }
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(m_feed / "stored", ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (IsStoredFileName(name) && std::string_view(name).substr(0, kStampLength) > fromTime) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    // An empty file is one still being written: it and every later one wait for the next
    // open, or the last-file time stamp would move past records never read.
    const auto unfinished = std::find_if(files.begin(), files.end(), [](const std::filesystem::path& file) {
        std::error_code sizeError;
        const std::uintmax_t size = std::filesystem::file_size(file, sizeError);
        return sizeError || size == 0;
    });
    files.erase(unfinished, files.end());
    if (files.empty() && m_config.noData != 0) {
        result.code = kJvOpenNoData;
        return result;
    }
    result.readCount = static_cast<int>(files.size());
    result.downloadCount = std::min(m_config.download, result.readCount);
    result.lastFileTimestamp = files.empty() ? std::string() : files.back().filename().string().substr(0, kStampLength);
    if (m_config.lastFile) {
        result.lastFileTimestamp = *m_config.lastFile;
    }
    OpenFiles(std::move(files));
    m_downloadCount = result.downloadCount;
    return result;
}

void ReplayLink::OpenFiles(std::vector<std::filesystem::path> files)
{
    m_open = true;
    m_files = std::move(files);
    m_fileIndex = 0;
    m_fileLoaded = false;
    m_records.clear();
    m_recordIndex = 0;
    m_recordsHanded = 0;
    m_busyLeft = m_config.busy;
    m_injectedReadDone = false;
    m_downloadCount = 0;
    m_downloaded = 0;
    m_statusCalls = 0;
}

int ReplayLink::JVStatus()
{
    if (!m_open) {
        return kNotOpen;
    }
    if (const int code = Injected("JVStatus", ++m_statusCalls)) {
        return code;
    }
    const int done = m_downloaded;
    m_downloaded = std::min(m_downloaded + m_config.statusStep, m_downloadCount);
    return done;
}

bool ReplayLink::LoadCurrentFile()
{
    if (m_fileLoaded) {
        return true;
    }
    const std::optional<std::string> bytes = ReadFileBytes(m_files[m_fileIndex]);
    if (!bytes) {
        return false;
    }
    m_records = RecordsOf(*bytes);
    m_recordIndex = 0;
    m_fileLoaded = true;
    return true;
}

int ReplayLink::JVRead(std::string& record, int bufferSize, std::string& fileName)
{
    if (!m_open) {
        return m_initialised ? kNotOpen : kNotInitialised;
    }
    if (m_files.empty()) {
        return kJvReadEnd;
    }
    if (!LoadCurrentFile()) {
        return kFileMissing;
    }
    if (m_recordIndex >= m_records.size()) {
        if (m_fileIndex + 1 >= m_files.size()) {
            return kJvReadEnd;
        }
        ++m_fileIndex;
        m_fileLoaded = false;
        m_records.clear();
        return kJvReadNextFile;
    }
    if (m_busyLeft > 0) {
        --m_busyLeft;
        return kJvReadBusy;
    }
    const auto injected = m_config.errors.find("JVRead");
    if (injected != m_config.errors.end() && !m_injectedReadDone &&
        (injected->second.at == 0 || injected->second.at == m_recordsHanded + 1)) {
        m_injectedReadDone = injected->second.at != 0;
        return injected->second.code;
    }
    std::string& next = m_records[m_recordIndex++];
    ++m_recordsHanded;
    m_injectedReadDone = false;
    m_busyLeft = m_config.busy;
    fileName = m_files[m_fileIndex].filename().string();
    if (next.size() > static_cast<std::size_t>(bufferSize)) {
        return kBadContent;
    }
    record = std::move(next);
    return static_cast<int>(record.size());
}

int ReplayLink::JVSkip()
{
    if (!m_open) {
        return m_initialised ? kNotOpen : kNotInitialised;
    }
    if (m_fileIndex < m_files.size()) {
        m_records.clear();
        m_recordIndex = 0;
        m_fileLoaded = true;
    }
    return 0;
}

int ReplayLink::JVRTOpen(std::string_view dataSpec, std::string_view key)
{
    if (const int code = CountedInjection("JVRTOpen")) {
        return code;
    }
    if (!m_initialised) {
        return kNotInitialised;
    }
    if (m_open) {
        return kStillOpen;
    }
    if (dataSpec != kDayResultsSpec && dataSpec != kRaceOddsSpec) {
        return kBadDataSpec;
    }
    const bool keyFits = dataSpec == kDayResultsSpec ? IsValidDateDigits(key) : IsRaceKeyText(key);
    if (!keyFits) {
        return kBadKey;
    }
    const std::filesystem::path file = m_feed / "realtime" / std::string(dataSpec) / (std::string(key) + ".jvd");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return kJvOpenNoData;
    }
    OpenFiles({file});
    if (m_clock != nullptr && dataSpec == kRaceOddsSpec) {
        if (!LoadCurrentFile()) {
            JVCancel();
            return kFileMissing;
        }
        m_records = AnswerAt(std::move(m_records), m_clock->Now());
        if (m_records.empty()) {
            JVCancel();
            return kJvOpenNoData;
        }
    }
    return 0;
}

void ReplayLink::JVCancel()
{
    // A cancelled download leaves nothing to read.
    m_open = false;
    m_files.clear();
    m_records.clear();
}

int ReplayLink::JVClose()
{
    const int code = CountedInjection("JVClose");
    m_open = false;
    m_files.clear();
    m_records.clear();
    return code;
}

} // namespace vornal
