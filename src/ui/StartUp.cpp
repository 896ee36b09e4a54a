#include "ui/StartUp.h"

#include "app/AppDir.h"
#include "app/ErrorLog.h"
#include "app/StoreLock.h"
#include "betting/BetMethod.h"
#include "store/FileNameMigration.h"

namespace vornal::ui {

StartUpOutcome RunStartUp(DaySession& session)
{
    StartUpOutcome outcome;
    const std::filesystem::path& appDir = session.AppDir();
    if (const Status folders = EnsureAppFolders(appDir); !folders) {
        return {false, folders.message, {}, false};
    }
    const Settings settings(SettingsFile(appDir));
    outcome.geometry = kMainWindowPlace.Read(settings);

    std::string message;
    if (!session.Tables(message)) {
        return {false, message, outcome.geometry, false};
    }
    // A log that cannot be written must not stop a Saturday morning: the window still opens.
    RestartErrorLog(appDir, session.GetClock().Now());
    // After the restart, so the renames of this start stay in the log. The renames write the
    // store: while another writer holds it they wait for the next start.
    if (Result<StoreLock> lock = TryLockStore(appDir)) {
        for (const std::string& line : MigrateStoreFileNames(appDir).messages) {
            AppendErrorLine(appDir, line);
        }
    }
    outcome.developerView = IsDeveloperView(appDir);
    return outcome;
}

} // namespace vornal::ui
