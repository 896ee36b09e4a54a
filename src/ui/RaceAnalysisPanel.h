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

    // Shows `analysis` (without its message: the caller says it) of `day`, the day the
    // session shows; the matrix toggles read it until the next Show, Clear or DayReplaced.
    void Show(const RaceAnalysis& analysis, const RaceDay& day);
    void Clear();
    // The session replaced the day shown (DaySession::OnDayReplaced): the old one is gone,
    // the toggles read `day` from now on. Nothing changes on screen until the next Show.
    void DayReplaced(const RaceDay& day);

    QLabel* HeaderLabel() const { return m_header; }
    QListWidget* QuinellaList() const { return m_quinella; }
    QTableWidget* QuinellaMatrix() const { return m_matrix; }
    MatrixView View() const { return m_view; }
    // The race slot shown, -1 when nothing is.
    int ShownSlot() const { return m_slot; }
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
