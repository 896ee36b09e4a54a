#pragma once

#include <string>
#include <string_view>

// The data service's component as the system uses it. One instance lives as long as the
// main window and every command uses it. Each call returns the component's integer result
// code; JvResultMessage (vocab) turns a code into the text shown to the user.
//
// The real component is a Windows COM object; ReplayLink serves a feed folder with the same
// calls and result codes.
namespace vornal {

// The software id passed to JVInit.
inline constexpr std::string_view kJvSoftwareId = "SA000000/SD000000/Vornal/Ver.2.21";
// The dataspec, from-time form and option of a bulk acquisition.
inline constexpr std::string_view kBulkDataSpec = "RACERCVN";
inline constexpr int kBulkOpenOption = 2;
// Real-time dataspecs: results of a day (key YYYYMMDD), odds of a race (key
// the 16-byte race key).
inline constexpr std::string_view kDayResultsSpec = "0B12";
inline constexpr std::string_view kRaceOddsSpec = "0B30";
// The read buffer size the system passes to JVRead.
inline constexpr int kJvReadBufferSize = 60000;

// JVRead results besides a record length.
inline constexpr int kJvReadEnd = 0;       // all data read
inline constexpr int kJvReadNextFile = -1; // the next file begins
inline constexpr int kJvReadBusy = -3;     // data still arriving, call again (-2 alike)
inline constexpr int kJvOpenNoData = -1;   // JVOpen / JVRTOpen: nothing newer

struct JvOpenResult
{
    int code = 0;
    int readCount = 0;             // files to read
    int downloadCount = 0;         // files still to download
    std::string lastFileTimestamp; // "yyyymmddhhnnss" of the newest file, 14 zeros or blank
};

class JvLink
{
public:
    virtual ~JvLink() = default;

    // 0 when ready.
    virtual int JVInit(std::string_view softwareId) = 0;
    // Four characters such as "0490"; read after a successful JVInit.
    virtual std::string Version() const = 0;
    // Shows the component's own settings dialog; 0 when done.
    virtual int JVSetUIProperties() = 0;
    // Opens a bulk read of the data newer than `fromTime` ("yyyymmddhhnnss"). 0 with the
    // counts, -1 when there is no newer data, another code on error.
    virtual JvOpenResult JVOpen(std::string_view dataSpec, std::string_view fromTime, int option) = 0;
    // Files downloaded so far (0 .. download count); negative on error.
    virtual int JVStatus() = 0;
    // One record: n > 0 with `record` holding its n bytes (CP932, ending in CR LF) and
    // `fileName` the file it comes from; 0 at the end; -1 when the next file begins; -2 or -3
    // while data is still arriving; below -3 on error. A record longer than `bufferSize`
    // is an error.
    virtual int JVRead(std::string& record, int bufferSize, std::string& fileName) = 0;
    // Skips the rest of the file being read: the next JVRead answers as at the file's end
    // (-1, or 0 after the last file). 0 when done.
    virtual int JVSkip() = 0;
    // Opens a real-time read; 0 when records can be read with JVRead.
    virtual int JVRTOpen(std::string_view dataSpec, std::string_view key) = 0;
    // Stops a download in progress.
    virtual void JVCancel() = 0;
    // 0 when closed.
    virtual int JVClose() = 0;
};

// The messages of the component's start: "JVInitエラー：" + message when JVInit fails, else
// the version notice when the component is older than 4.9.0 (its version text sorts before
// "0490"), else nothing. The system keeps running either way.
std::string InitJvLink(JvLink& link);

// The notice for a component older than 4.9.0 (version text before "0490"), else empty.
std::string JvVersionNotice(std::string_view version);

} // namespace vornal
