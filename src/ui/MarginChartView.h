#pragma once

#include <functional>

#include <QWidget>

#include "raceday/RaceDay.h"

class QPushButton;

// The visual margin chart of the shown race: "着差表描画" and the picture under it, drawn
// whole from the day at every paint and scaled to the widget.
namespace vornal::ui {

class MarginChartCanvas : public QWidget
{
    Q_OBJECT
public:
    MarginChartCanvas(std::function<const RaceDay*()> day, std::function<int()> race, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::function<const RaceDay*()> m_day;
    std::function<int()> m_race;
};

class MarginChartView : public QWidget
{
    Q_OBJECT
public:
    MarginChartView(std::function<const RaceDay*()> day, std::function<int()> race, QWidget* parent = nullptr);

    MarginChartCanvas* Canvas() const { return m_canvas; }
    QPushButton* DrawButton() const { return m_draw; }

public slots:
    // "着差表描画": draws the chart afresh.
    void Draw();

private:
    MarginChartCanvas* m_canvas;
    QPushButton* m_draw;
};

} // namespace vornal::ui
