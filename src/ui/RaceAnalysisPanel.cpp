#include "ui/RaceAnalysisPanel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

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

QString ResultLines(const char* caption, const auto& rows)
{
    QStringList lines;
    for (const ResultRow& row : rows) {
        // A race not yet run has rows whose payout is blank: they show as no result.
        if (QString::fromStdString(row.Payout).trimmed().isEmpty() ||
            QString::fromStdString(row.Payout).trimmed() == QLatin1String("0")) {
            continue;
        }
        {
            lines << Q(row.Key + " " + row.Popularity + " " + row.Payout);
        }
    }
    return QString::fromUtf8(caption) + QStringLiteral("：") + lines.join(QStringLiteral(" / "));
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
      m_picks{Boxed(this), Boxed(this), Boxed(this), Boxed(this)}, m_results(new QLabel(this)),
      m_quinella(new QListWidget(this)), m_pages(new QTabWidget(this)), m_matrix(MakeMatrix(18, this)),
      m_bracket(MakeMatrix(8, this))
{
    m_header->setObjectName(QStringLiteral("RaceHeader"));
    m_quinella->setObjectName(QStringLiteral("QuinellaList"));
    m_header->setTextFormat(Qt::PlainText);
    m_laps->setTextFormat(Qt::PlainText);
    m_share->setTextFormat(Qt::PlainText);
    m_results->setTextFormat(Qt::PlainText);
    m_results->setWordWrap(true);

    auto* left = new QVBoxLayout;
    left->addWidget(m_header);
    left->addWidget(m_laps);
    left->addWidget(m_share);
    left->addStretch(1);

    auto* middle = new QVBoxLayout;
    for (QLabel* pick : m_picks) {
        middle->addWidget(pick);
    }
    middle->addWidget(m_results, 1);

    auto* toggles = new QHBoxLayout;
    auto* payout = new QPushButton(QStringLiteral("配当"), this);
    auto* share = new QPushButton(QStringLiteral("投票率"), this);
    payout->setObjectName(QStringLiteral("MatrixPayout"));
    share->setObjectName(QStringLiteral("MatrixVoteShare"));
    connect(payout, &QPushButton::clicked, this, [this] { SetView(MatrixView::Payout); });
    connect(share, &QPushButton::clicked, this, [this] { SetView(MatrixView::VoteShare); });
    toggles->addWidget(payout);
    toggles->addWidget(share);
    toggles->addStretch(1);
    m_pages->addTab(m_matrix, QStringLiteral("馬連"));
    m_pages->addTab(m_bracket, QStringLiteral("枠連"));
    auto* right = new QVBoxLayout;
    right->addLayout(toggles);
    right->addWidget(m_pages, 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(left, 3);
    layout->addLayout(middle, 3);
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
    m_header->setStyleSheet(h.TurfPanel ? QStringLiteral("QLabel { background: #d8f0d8; }")
                                        : QStringLiteral("QLabel { background: #f0d8d8; }"));
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
    m_share->setText(share.join(QString()) + QLatin1Char('\n') + stats.mid(0, 4).join(QStringLiteral("  ")) +
                     QLatin1Char('\n') + stats.mid(4).join(QStringLiteral("  ")));

    const PickBox* boxes[4] = {&a.ComboPicks[0], &a.ComboPicks[1], &a.ComboPicks[2], &a.RunnerPick};
    for (int i = 0; i < 4; ++i) {
        m_picks[i]->setText(Q(boxes[i]->Text + "  " + boxes[i]->Payout));
        // A pick that won turns its payout box red.
        m_picks[i]->setStyleSheet(boxes[i]->Hit ? QStringLiteral("QLabel { background: red; color: white; }")
                                                : QString());
        m_picks[i]->setProperty("hit", boxes[i]->Hit);
    }
    const RaceResults& r = a.Results;
    m_results->setText(QStringList{ResultLines("単勝", r.Win), ResultLines("複勝", r.Place),
                                   ResultLines("枠連", r.Bracket), ResultLines("馬連", r.Quinella),
                                   ResultLines("ワイド", r.Wide)}
                           .join(QLatin1Char('\n')));

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
    m_results->clear();
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
