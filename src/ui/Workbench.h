#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include <QString>

#include "session/DaySession.h"

class QApplication;
class QCoreApplication;

// The program: the application's fonts, the day session and the main window, started in
// the fixed order; and the command line of the window (`--app-dir`, `--date`, `--slot`,
// `--tab`, `--screenshot`).
namespace vornal::ui {

class MainWindow;

// "ＭＳ ゴシック" and "ＭＳ Ｐゴシック", the faces the tables were laid out in, map to the IPA
// faces, so the window looks the same on every machine.
void SetApplicationFonts();

class Workbench
{
public:
    explicit Workbench(std::filesystem::path appDir);
    ~Workbench();

    // Runs the start-up; the message (UTF-16) that ends the program, or nothing when the
    // main window was created.
    std::optional<QString> Open();
    MainWindow* Window() const { return m_window.get(); }
    DaySession& Session() { return m_session; }

private:
    DaySession m_session;
    std::unique_ptr<MainWindow> m_window;
};

// Qt's own dialogs and buttons ("Look in", "Cancel", "Yes"...) in Japanese: installs Qt's
// Japanese translations from Qt's translation folder into `app` (Debian ships them in
// qt6-translations-l10n). False, changing nothing, when they are not installed.
bool InstallQtTranslations(QCoreApplication& app);

// The program's main: returns the exit code.
int RunWorkbench(QApplication& app);

} // namespace vornal::ui
