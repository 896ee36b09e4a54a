#include "ui/StartUp.h"

#include "app/AppDir.h"
#include "app/ErrorLog.h"
#include "betting/BetMethod.h"

namespace vornal::ui {

StartUpOutcome RunStartUp(DaySession& session)
{
    StartUpOutcome outcome;
    const std::filesystem::path& appDir = session.AppDir();
    if (const Status folders = EnsureAppFolders(appDir); !folders) {
        return {false, folders.message, {}, false};
    }
    const Settings settings(SettingsFile(appDir));
    CheckedWindowRect place = kMainWindowPlace.ReadChecked(settings);
    outcome.geometry = place.rect;

    std::string message;
    if (!session.Tables(message)) {
        return {false, message, outcome.geometry, false};
    }
    // A log that cannot be written must not stop a Saturday morning: the window still opens.
    static_cast<void>(RestartErrorLog(appDir, session.GetClock().Now()));
    for (const std::string& warning : place.warnings) {
        static_cast<void>(AppendErrorLine(appDir, warning));
    }
    // After the restart, so the renames of this start stay in the log.
    session.MigrateFileNames();
    outcome.developerView = IsDeveloperView(appDir);
    return outcome;
}

} // namespace vornal::ui
