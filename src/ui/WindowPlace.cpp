#include "ui/WindowPlace.h"

#include <QGuiApplication>
#include <QScreen>

#include "app/AppDir.h"
#include "app/ErrorLog.h"

namespace vornal::ui {

void ApplyWindowPlace(QWidget& window, const WindowRect& place, const WindowRect& defaultPlace)
{
    QRect rect(place.left, place.top, place.width, place.height);
    bool seen = false;
    for (const QScreen* screen : QGuiApplication::screens()) {
        seen = seen || screen->availableGeometry().intersects(rect);
    }
    if (!seen) {
        rect.moveTo(defaultPlace.left, defaultPlace.top);
    }
    window.setGeometry(rect);
}

void RestoreWindowPlace(QWidget& window, const WindowPlaceKey& key, const std::filesystem::path& appDir)
{
    const CheckedWindowRect place = key.ReadChecked(Settings(SettingsFile(appDir)));
    for (const std::string& warning : place.warnings) {
        // The log is where a setting's fault is told; a log that cannot be written loses the line only.
        static_cast<void>(AppendErrorLine(appDir, warning));
    }
    ApplyWindowPlace(window, place.rect, key.defaultRect);
}

} // namespace vornal::ui
