#pragma once

#include <filesystem>

#include <QAbstractTableModel>
#include <QColor>
#include <QDialog>
#include <QStringList>
#include <QVector>

#include "results/HitReport.h"

class QTabWidget;
class QTableView;

// "的中判定": the hit evaluation report of the day shown, two tabs ("馬連・ワイド",
// "単勝・複勝"), each with its title, the table of the races with the colours of its
// cells, the fixed notes and the totals. The report is the core's; this window only shows
// it. Its place on the screen is kept in "Tekilocate".
namespace vornal::ui {

// One table of the report: texts centred on their colours, no selection.
class HitReportModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    HitReportModel(const HitReportTable& table, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The background of a data cell.
    QColor Colour(int row, int column) const;

private:
    QStringList m_headers;
    QVector<QStringList> m_texts;
    QVector<QVector<QColor>> m_colours;
};

class HitReportWindow : public QDialog
{
    Q_OBJECT
public:
    HitReportWindow(std::filesystem::path appDir, const HitReport& report, QWidget* parent = nullptr);

    QTabWidget* Tabs() const { return m_tabs; }
    // The table of tab 0 ("馬連・ワイド") or 1 ("単勝・複勝").
    QTableView* Table(int tab) const;
    HitReportModel* Model(int tab) const;

    void done(int result) override;

    // The "印刷" button of tab 0 or 1: its page on the print preview (modal).
    void PrintTab(int tab);

private:
    QWidget* BuildTab(const HitReport& report, const HitReportTable& table, int tab);

    std::filesystem::path m_appDir;
    HitReport m_report;
    QTabWidget* m_tabs;
};

// The screen colour of a report cell; the information-tip colour is the platform's.
QColor HitColour(HitCellColour colour);

} // namespace vornal::ui
