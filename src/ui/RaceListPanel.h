#pragma once

#include <string>
#include <vector>

#include <QWidget>

#include "present/RaceList.h"

class QListWidget;
class QSpinBox;

// The date list and the race-list panel: the stored dates (newest first), the races of the
// day shown and the previous/next stepper.
namespace vornal::ui {

class GridView;

class RaceListPanel : public QWidget
{
    Q_OBJECT
public:
    explicit RaceListPanel(QWidget* parent = nullptr);

    // Fills the date list from the CP932 dates; clears the race list.
    void SetDates(const std::vector<std::string>& dayNames);
    // Fills the race list and sets the stepper to 0 .. count-1 without selecting.
    void SetRaces(std::vector<RaceListEntry> entries);
    // Selects race-list entry `index` and sets the stepper there, without a signal.
    void SelectEntry(int index);

    QListWidget* Dates() const { return m_dates; }
    QListWidget* Races() const { return m_races; }
    QSpinBox* Stepper() const { return m_stepper; }
    // The grid below the race list.
    GridView* Detail() const { return m_detail; }
    int EntryCount() const { return static_cast<int>(m_entries.size()); }
    int SlotOf(int entry) const;

signals:
    void DateChosen(const std::string& dayName);
    // The race slot of the entry the user chose in the list or with the stepper.
    void RaceChosen(int entry, int slot);

private:
    std::vector<std::string> m_dayNames;
    std::vector<RaceListEntry> m_entries;
    QListWidget* m_dates;
    QListWidget* m_races;
    QSpinBox* m_stepper;
    GridView* m_detail;
    bool m_quiet = false;
};

} // namespace vornal::ui
