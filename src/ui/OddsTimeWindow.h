#pragma once

#include <filesystem>

#include <QDialog>

class QSpinBox;

// "オッズ取得時刻指定": how many minutes before each race's post time the time-series odds
// are taken ("Time"/"AutoOzGet"); the next date loaded uses it.
namespace vornal::ui {

class OddsTimeWindow : public QDialog
{
    Q_OBJECT
public:
    explicit OddsTimeWindow(std::filesystem::path appDir, QWidget* parent = nullptr);
    QSpinBox* Minutes() const { return m_minutes; }

    // Re-reads the setting into the field (the window is kept between showings).
    void Refresh();

private:
    std::filesystem::path m_appDir;
    QSpinBox* m_minutes;
};

} // namespace vornal::ui
