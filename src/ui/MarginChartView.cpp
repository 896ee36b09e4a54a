#include "ui/MarginChartView.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include "present/MarginChart.h"
#include "render/DisplayListPainter.h"

namespace vornal::ui {

MarginChartCanvas::MarginChartCanvas(std::function<const RaceDay*()> day, std::function<int()> race, QWidget* parent)
    : QWidget(parent), m_day(std::move(day)), m_race(std::move(race))
{
    setObjectName(QStringLiteral("MarginChart"));
    setAutoFillBackground(false);
    setMinimumSize(320, 160);
}

void MarginChartCanvas::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const RaceDay* day = m_day ? m_day() : nullptr;
    const int race = m_race ? m_race() : -1;
    if (day == nullptr || race < 0) {
        return;
    }
    render::PaintDisplayList(painter, DrawMarginChart(*day, race, width(), height()).Picture);
}

MarginChartView::MarginChartView(std::function<const RaceDay*()> day, std::function<int()> race, QWidget* parent)
    : QWidget(parent), m_canvas(new MarginChartCanvas(std::move(day), std::move(race), this)),
      m_draw(new QPushButton(QStringLiteral("着差表描画"), this))
{
    m_draw->setObjectName(QStringLiteral("DrawMarginChart"));
    connect(m_draw, &QPushButton::clicked, this, &MarginChartView::Draw);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_draw);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(buttons);
    layout->addWidget(m_canvas, 1);
}

void MarginChartView::Draw()
{
    m_canvas->update();
}

} // namespace vornal::ui
