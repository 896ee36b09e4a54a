#include "ui/RaceAnalysisPanel.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "results/HitJudgement.h"
#include "ui/Text.h"

namespace vornal::ui {

namespace {

QTableWidget* MakeMatrix(int size, QWidget* parent)
{
    auto* table = new QTableWidget(size, size, parent);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->horizontalHeader()->setDefaultSectionSize(52);
    table->verticalHeader()->setDefaultSectionSize(16);
    for (int i = 0; i < size; ++i) {
        table->setHorizontalHeaderItem(i, new QTableWidgetItem(QString::number(i + 1)));
        table->setVerticalHeaderItem(i, new QTableWidgetItem(QString::number(i + 1)));
    }
    return table;
}

void FillMatrix(QTableWidget* table, const TriangleGrid& grid)
{
    for (int larger = 1; larger <= grid.Size(); ++larger) {
        for (int smaller = 1; smaller <= grid.Size(); ++smaller) {
            table->setItem(larger - 1, smaller - 1, new QTableWidgetItem(Q(grid.Cell(smaller, larger))));
        }
    }
}

QTableWidget* MakeResultTable(QWidget* parent)
{
    auto* table = new QTableWidget(0, 4, parent);
    table->setObjectName(QStringLiteral("Results"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setHorizontalHeaderLabels(
        {QStringLiteral("結果"), QStringLiteral("馬番"), QStringLiteral("人気"), QStringLiteral("配当")});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(15);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Columns as wide as their longest text ("ワイド", "10-18", "99", "12345678"), so the
    // table keeps one width whatever the race paid.
    const QFontMetrics metrics(QApplication::font("QTableView"));
    const QString widest[4] = {QStringLiteral("ワイド"), QStringLiteral("10-18"), QStringLiteral("人気"),
                               QStringLiteral("12345678")};
    int width = 2 * table->frameWidth() + table->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int c = 0; c < 4; ++c) {
        const int column = metrics.horizontalAdvance(widest[c]) + 14;
        table->setColumnWidth(c, column);
        width += column;
    }
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setFixedWidth(width);
    return table;
}

// One row per result the race has: its kind, horse number or combination, popularity and
// payout. A race not yet run has rows whose payout is blank: they show as no result.
template <std::size_t N>
void AddResultRows(QTableWidget* table, const QString& caption, const std::array<ResultRow, N>& rows)
{
    for (const ResultRow& row : rows) {
        const QString payout = Q(row.Payout).trimmed();
        if (payout.isEmpty() || payout == QLatin1String("0")) {
            continue;
        }
        const int at = table->rowCount();
        table->insertRow(at);
        const QString cells[4] = {caption, Q(row.Key), Q(row.Popularity), Q(row.Payout)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(c >= 2 ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
            table->setItem(at, c, item);
        }
    }
}

QLabel* Boxed(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::Box);
    label->setMinimumWidth(120);
    return label;
}

} // namespace

RaceAnalysisPanel::RaceAnalysisPanel(QWidget* parent)
    : QWidget(parent), m_header(new QLabel(this)), m_laps(new QLabel(this)), m_share(new QLabel(this)),
      m_picks{Boxed(this), Boxed(this), Boxed(this), Boxed(this)}, m_results(MakeResultTable(this)),
      m_quinella(new QListWidget(this)), m_pages(new QTabWidget(this)), m_matrix(MakeMatrix(18, this)),
      m_bracket(MakeMatrix(8, this))
{
    m_header->setObjectName(QStringLiteral("RaceHeader"));
    m_quinella->setObjectName(QStringLiteral("QuinellaList"));
    m_header->setTextFormat(Qt::PlainText);
    m_laps->setTextFormat(Qt::PlainText);
    m_share->setTextFormat(Qt::PlainText);

    auto* left = new QVBoxLayout;
    left->addWidget(m_header);
    left->addWidget(m_laps);
    left->addWidget(m_share);
    left->addStretch(1);

    // The picks two by two above the results, which take the rest of the strip's height so
    // that a race's usual payouts show unscrolled.
    auto* picks = new QGridLayout;
    picks->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        m_picks[i]->setMinimumWidth(0);
        picks->addWidget(m_picks[i], i / 2, i % 2);
    }
    auto* middle = new QVBoxLayout;
    middle->addLayout(picks);
    middle->addWidget(m_results, 1);

    auto* toggles = new QHBoxLayout;
    auto* payout = new QPushButton(QStringLiteral("配当"), this);
    auto* share = new QPushButton(QStringLiteral("投票率"), this);
    payout->setObjectName(QStringLiteral("MatrixPayout"));
    share->setObjectName(QStringLiteral("MatrixVoteShare"));
    connect(payout, &QPushButton::clicked, this, [this] { SetView(MatrixView::Payout); });
    connect(share, &QPushButton::clicked, this, [this] { SetView(MatrixView::VoteShare); });
    for (QPushButton* button : {payout, share}) {
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(button->text()) + 16);
        toggles->addWidget(button);
    }
    toggles->addStretch(1);
    m_pages->addTab(m_matrix, QStringLiteral("馬連"));
    m_pages->addTab(m_bracket, QStringLiteral("枠連"));
    // The race view shows the quinella page only; the bracket page stays for a later use.
    m_pages->setTabVisible(1, false);
    auto* right = new QVBoxLayout;
    right->addLayout(toggles);
    right->addWidget(m_pages, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(left, 3);
    layout->addLayout(middle);
    layout->addWidget(m_quinella, 2);
    layout->addLayout(right, 4);
}

void RaceAnalysisPanel::Show(const RaceAnalysis& a, const RaceDay& day)
{
    m_day = &day;
    m_slot = a.Slot;
    const RaceHeaderTexts& h = a.Header;
    m_header->setText(Q(h.RunnerCount + h.CourseName + " " + h.RaceNumber + "R  " + h.DateLine) + QLatin1Char('\n') +
                      Q(h.RaceName + "  " + h.Grade) + QLatin1Char('\n') +
                      Q(h.WeightKind + " " + h.Class + "  " + h.Track + " " + h.Distance + "  " + h.PostTime));
    // The track panel: green for turf, dark red otherwise, the text white on both.
    m_header->setStyleSheet(h.TurfPanel ? QStringLiteral("QLabel { background: rgb(0, 128, 0); color: white; }")
                                        : QStringLiteral("QLabel { background: rgb(128, 0, 0); color: white; }"));
    QStringList laps;
    for (const LapPanelRow& row : a.LapPanels) {
        laps << Q(row.Caption + row.SampleCount + row.Mean + row.StdDev + " | " + row.SpreadPlus + row.SpreadMinus);
    }
    m_laps->setText(laps.join(QLatin1Char('\n')));
    QStringList share;
    share << QStringLiteral("占有率 ") + Q(a.Share.Share) + QStringLiteral("  実力平均 ") + Q(a.Share.AbilityMean) +
                 QStringLiteral("  実力幅 ") + Q(a.Share.AbilitySpread);
    QStringList stats;
    for (std::size_t i = 0; i < a.Share.Percentages.size(); ++i) {
        stats << QString::fromUtf8(kShareStatCaptions[i].data(), static_cast<int>(kShareStatCaptions[i].size())) +
                     QLatin1Char(' ') + Q(a.Share.Percentages[i]);
    }
    for (std::size_t i = 0; i < a.Share.Averages.size(); ++i) {
        const std::string_view caption = kShareStatCaptions[6 + i];
        stats << QString::fromUtf8(caption.data(), static_cast<int>(caption.size())) + QLatin1Char(' ') +
                     Q(a.Share.Averages[i]);
    }
    // Three figures a line keep the strip within the window's default width.
    m_share->setText(share.join(QString()) + QLatin1Char('\n') + stats.mid(0, 3).join(QStringLiteral("  ")) +
                     QLatin1Char('\n') + stats.mid(3, 3).join(QStringLiteral("  ")) + QLatin1Char('\n') +
                     stats.mid(6).join(QStringLiteral("  ")));

    const PickBox* boxes[4] = {&a.ComboPicks[0], &a.ComboPicks[1], &a.ComboPicks[2], &a.RunnerPick};
    for (int i = 0; i < 4; ++i) {
        m_picks[i]->setText(Q(boxes[i]->Text + "  " + boxes[i]->Payout));
        // A pick that won turns its payout box red.
        m_picks[i]->setStyleSheet(boxes[i]->Hit ? QStringLiteral("QLabel { background: red; color: white; }")
                                                : QString());
        m_picks[i]->setProperty("hit", boxes[i]->Hit);
    }
    const RaceResults& r = a.Results;
    m_results->setRowCount(0);
    // The bet types are named as the core names them (hit files, totals); 枠連 is not a
    // bet type of the system and keeps its own caption.
    AddResultRows(m_results, Q(BetTypeName(BetType::Win)), r.Win);
    AddResultRows(m_results, Q(BetTypeName(BetType::Place)), r.Place);
    AddResultRows(m_results, QStringLiteral("枠連"), r.Bracket);
    AddResultRows(m_results, Q(BetTypeName(BetType::Quinella)), r.Quinella);
    AddResultRows(m_results, Q(BetTypeName(BetType::Wide)), r.Wide);

    m_quinella->clear();
    for (const std::string& line : a.QuinellaList) {
        m_quinella->addItem(Q(line));
    }
    m_pages->setCurrentIndex(0);
    FillMatrices();
    emit Shown(m_slot);
}

void RaceAnalysisPanel::Clear()
{
    m_day = nullptr;
    m_slot = -1;
    m_header->clear();
    m_laps->clear();
    m_share->clear();
    for (QLabel* pick : m_picks) {
        pick->clear();
        pick->setStyleSheet(QString());
    }
    m_results->setRowCount(0);
    m_quinella->clear();
    m_matrix->clearContents();
    m_bracket->clearContents();
}

void RaceAnalysisPanel::DayReplaced(const RaceDay& day)
{
    // A panel that shows nothing keeps showing nothing.
    if (m_day != nullptr) {
        m_day = &day;
    }
}

void RaceAnalysisPanel::SetView(MatrixView view)
{
    m_view = view;
    FillMatrices();
}

void RaceAnalysisPanel::FillMatrices()
{
    if (!m_day) {
        return;
    }
    FillMatrix(m_matrix, ShowQuinellaMatrix(*m_day, m_slot, m_view));
    FillMatrix(m_bracket, ShowBracketMatrix(*m_day, m_slot, m_view));
}

} // namespace vornal::ui
