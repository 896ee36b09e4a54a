#pragma once

#include <filesystem>

#include <QWidget>

#include "app/SettingKeys.h"

namespace vornal::ui {

// Puts `window` at `place`; a place no screen shows (a window closed on a monitor since
// unplugged, or saved while minimised) keeps its size but moves to the default corner.
void ApplyWindowPlace(QWidget& window, const WindowRect& place, const WindowRect& defaultPlace);

// Reads the place `key` keeps, adds any value out of range to the error log and applies it.
void RestoreWindowPlace(QWidget& window, const WindowPlaceKey& key, const std::filesystem::path& appDir);

} // namespace vornal::ui
