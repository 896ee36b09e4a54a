#include "ui/RaceListPanel.h"

#include <QLabel>
#include <QHeaderView>
#include <QListWidget>
#include <QTableView>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "present/RaceListDetail.h"
#include "ui/GridView.h"
#include "ui/Text.h"

namespace vornal::ui {

RaceListPanel::RaceListPanel(QWidget* parent)
    : QWidget(parent), m_dates(new QListWidget(this)), m_races(new QListWidget(this)), m_stepper(new QSpinBox(this)), m_detail(new GridView(std::nullopt, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_dates, 1);
    layout->addWidget(m_races, 2);
    layout->addWidget(m_stepper);
    m_detail->setObjectName(QStringLiteral("RaceListDetail"));
    m_detail->SetGrid(BuildRaceListDetail());
    m_detail->Table()->horizontalHeader()->setFixedHeight(kRaceListDetailHeaderHeight);
    layout->addWidget(m_detail, 1);
    m_dates->setObjectName(QStringLiteral("DateList"));
    m_races->setObjectName(QStringLiteral("RaceList"));
    m_stepper->setObjectName(QStringLiteral("RaceStepper"));
    m_stepper->setRange(0, 0);
    m_dates->setToolTip(QStringLiteral("日付を選択すると、その日のデータを読み込みます"));
    m_dates->setStatusTip(m_dates->toolTip());
    setMinimumWidth(170);

    connect(m_dates, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        const int row = m_dates->row(item);
        if (row >= 0 && row < static_cast<int>(m_dayNames.size())) {
            emit DateChosen(m_dayNames[static_cast<std::size_t>(row)]);
        }
    });
    connect(m_dates, &QListWidget::itemClicked, m_dates, &QListWidget::itemActivated);
    connect(m_races, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!m_quiet && row >= 0 && row < EntryCount()) {
            emit RaceChosen(row, SlotOf(row));
        }
    });
    connect(m_stepper, &QSpinBox::valueChanged, this, [this](int value) {
        // One race alone in the list: stepping has nothing to move to.
        if (!m_quiet && EntryCount() >= 2 && value < EntryCount()) {
            emit RaceChosen(value, SlotOf(value));
        }
    });
}

void RaceListPanel::SetDates(const std::vector<std::string>& dayNames)
{
    m_dayNames = dayNames;
    m_dates->clear();
    for (const std::string& day : dayNames) {
        m_dates->addItem(Q(day));
    }
    SetRaces({});
}

void RaceListPanel::SetRaces(std::vector<RaceListEntry> entries)
{
    m_quiet = true;
    m_entries = std::move(entries);
    m_races->clear();
    for (const RaceListEntry& entry : m_entries) {
        // A race with runners missing from the store has no figures: marked where it is chosen.
        m_races->addItem(entry.Incomplete ? Q(entry.Text) + QStringLiteral(" 不完全") : Q(entry.Text));
    }
    m_stepper->setRange(0, std::max(0, EntryCount() - 1));
    m_stepper->setValue(0);
    m_quiet = false;
}

void RaceListPanel::SelectEntry(int index)
{
    m_quiet = true;
    m_races->setCurrentRow(index);
    m_stepper->setValue(index);
    m_quiet = false;
}

int RaceListPanel::SlotOf(int entry) const
{
    return entry >= 0 && entry < EntryCount() ? m_entries[static_cast<std::size_t>(entry)].Slot : -1;
}

} // namespace vornal::ui
