#pragma once

#include <QWidget>

#include "betting/QuinellaRanks.h"
#include "present/RaceAnalysisView.h"

class QLabel;
class QListWidget;
class QTabWidget;
class QTableWidget;

// The race analysis strip above the tables: the race header, the lap statistics, the
// popularity-share panel, the picks and results, the quinella list and the two matrices.
namespace vornal::ui {

class RaceAnalysisPanel : public QWidget
{
    Q_OBJECT
public:
    explicit RaceAnalysisPanel(QWidget* parent = nullptr);

    // Shows `analysis` (without its message: the caller says it); `day` stays the shown
    // day until the next Show, so the matrix toggles can read it.
    void Show(const RaceAnalysis& analysis, const RaceDay& day);
    void Clear();

    QLabel* HeaderLabel() const { return m_header; }
    QListWidget* QuinellaList() const { return m_quinella; }
    QTableWidget* QuinellaMatrix() const { return m_matrix; }
    MatrixView View() const { return m_view; }
    QLabel* PickLabel(int index) const { return m_picks[index]; }
    QTableWidget* ResultTable() const { return m_results; }

public slots:
    void SetView(vornal::MatrixView view);

signals:
    // A race was shown: the painted grids and the margin chart redraw from the day.
    void Shown(int slot);

private:
    void FillMatrices();

    QLabel* m_header;
    QLabel* m_laps;
    QLabel* m_share;
    QLabel* m_picks[4];
    QTableWidget* m_results;
    QListWidget* m_quinella;
    QTabWidget* m_pages;
    QTableWidget* m_matrix;
    QTableWidget* m_bracket;
    MatrixView m_view = MatrixView::Payout;
    const RaceDay* m_day = nullptr;
    int m_slot = -1;
};

} // namespace vornal::ui
