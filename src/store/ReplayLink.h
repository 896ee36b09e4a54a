#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "store/JvLink.h"

// The component's stand-in on systems without it: serves a feed folder with the calls and
// result codes of the real component, so acquisition, results retrieval and quick odds run
// end to end.
//
//   FEED/stored/<yyyymmddhhnnss>-<name>.jvd  one file of records for JVOpen
//   FEED/realtime/0B12/<YYYYMMDD>.jvd        what JVRTOpen("0B12", YYYYMMDD) serves
//   FEED/realtime/0B30/<race key>.jvd        what JVRTOpen("0B30", race key) serves
//   FEED/link.ini                            optional, see below
//
// A .jvd file holds one CP932 record per line (CR LF or LF); empty lines are skipped and
// every record is handed out with CR LF, bytes as they are. JVOpen serves, for any
// dataspec, the stored files whose time stamp is later than the from-time, in name
// order, up to the first empty one (a file still being written: it and the later ones wait
// for a later open): the read count is their number, the last-file time stamp the newest
// one served. JVRead
// hands out one record per call, -1 between files and 0 at the end.
//
// link.ini (ASCII; every key optional; ";" or "#" start a comment line):
//
//   [link]
//   version=0490        the version text (default "0490")
//   download=2          files of each JVOpen still to download (default 0): JVOpen's download
//                       count is this, at most the read count
//   statusStep=1        files each JVStatus call finishes (default 1); JVStatus answers the
//                       count done before the call, so the first call answers 0
//   busy=0              JVRead answers -3 this many times before each record
//   noData=-1           JVOpen without newer files answers -1 (default), or 0 with a read
//                       count of 0 when set to 0
//   lastFile=...        the last-file time stamp JVOpen reports instead of the newest file's
//                       (e.g. 00000000000000, or blank)
//
//   [errors]
//   JVRead=-403@5       <call>=<code> makes every call of JVInit, JVSetUIProperties, JVOpen,
//   JVOpen=-504         JVRTOpen, JVStatus, JVRead or JVClose answer <code>; <code>@<n> only
//   JVStatus=-502@3     the n-th one: JVInit, JVSetUIProperties, JVOpen, JVRTOpen and JVClose
//                       count their calls since the link was made, JVStatus its calls since
//                       the last open, JVRead the records of the current open (the read that
//                       would hand out record n answers <code> once instead; the record
//                       follows on the next read). JVClose closes even when it fails.
//
// A race's odds file may hold many announcements (O1 and O2 records, announcement time in
// bytes 28..35). Without a clock JVRTOpen("0B30") serves the file whole; with one (SetClock)
// it serves what the service would answer at that moment: the newest O1 and the newest O2
// announced by then, with any other records, and -1 before the first announcement.
namespace vornal {

class Clock;

class ReplayLink : public JvLink
{
public:
    explicit ReplayLink(std::filesystem::path feedFolder);

    // The feed folder served; changing it re-reads link.ini.
    const std::filesystem::path& FeedFolder() const { return m_feed; }
    void SetFeedFolder(std::filesystem::path feedFolder);

    // What JVSetUIProperties shows instead of the component's dialog: a chooser of the feed
    // folder (nothing = cancelled, which answers -100). Without one the call just answers 0.
    void SetFolderChooser(std::function<std::optional<std::filesystem::path>()> chooser);

    // The moment the real-time odds answers follow (see above); null serves every
    // announcement. `clock` must outlive the link or be unset first.
    void SetClock(const Clock* clock) { m_clock = clock; }

    int JVInit(std::string_view softwareId) override;
    std::string Version() const override;
    int JVSetUIProperties() override;
    JvOpenResult JVOpen(std::string_view dataSpec, std::string_view fromTime, int option) override;
    int JVStatus() override;
    int JVRead(std::string& record, int bufferSize, std::string& fileName) override;
    int JVSkip() override;
    int JVRTOpen(std::string_view dataSpec, std::string_view key) override;
    void JVCancel() override;
    int JVClose() override;

private:
    struct Injection
    {
        int code = 0;
        int at = 0; // 0: every call
    };
    struct Config
    {
        std::string version = "0490";
        int download = 0;
        int statusStep = 1;
        int busy = 0;
        int noData = -1;
        std::optional<std::string> lastFile;
        std::map<std::string, Injection> errors;
    };

    void LoadConfig();
    // The injected code for this call of `call` (counted by `count`), or 0.
    int Injected(const std::string& call, int count) const;
    int CountedInjection(const std::string& call);
    void OpenFiles(std::vector<std::filesystem::path> files);
    bool LoadCurrentFile();

    std::filesystem::path m_feed;
    Config m_config;
    std::function<std::optional<std::filesystem::path>()> m_chooser;
    const Clock* m_clock = nullptr;
    std::map<std::string, int> m_calls;
    bool m_initialised = false;

    // The open read.
    bool m_open = false;
    std::vector<std::filesystem::path> m_files;
    std::size_t m_fileIndex = 0;
    bool m_fileLoaded = false;
    std::vector<std::string> m_records;
    std::size_t m_recordIndex = 0;
    int m_recordsHanded = 0;
    int m_busyLeft = 0;
    bool m_injectedReadDone = false;
    int m_downloadCount = 0;
    int m_downloaded = 0;
    int m_statusCalls = 0;
};

} // namespace vornal
