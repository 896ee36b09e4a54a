#pragma once

#include <atomic>

#include <QMetaObject>
#include <QProgressBar>

#include "app/Progress.h"

namespace vornal::ui {

// A worker's steps shown on one bar of the window: however often the worker reports, at most
// one update waits in the window's event queue. Texts are not shown.
class BarProgress : public Progress
{
public:
    explicit BarProgress(QProgressBar* bar) : m_bar(bar) {}
    void SetLine(int, const std::string&) override {}
    void SetBar(int, int position, int maximum) override
    {
        m_position = position;
        m_maximum = maximum;
        if (!m_posted.exchange(true)) {
            QMetaObject::invokeMethod(m_bar, [this] { Flush(); }, Qt::QueuedConnection);
        }
    }
    // Shows the last step now (on the window's thread).
    void Flush()
    {
        m_posted = false;
        if (m_maximum > 0) {
            m_bar->setMaximum(m_maximum);
            m_bar->setValue(m_position);
        }
    }

private:
    QProgressBar* m_bar;
    std::atomic<int> m_position{0};
    std::atomic<int> m_maximum{0};
    std::atomic<bool> m_posted{false};
};

} // namespace vornal::ui
