#pragma once

#include <array>
#include <atomic>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include <QWidget>

#include "app/Progress.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The waiting window of long operations: a blinking first line, two progress lines and a
// bar, borderless, on top and centred, with "中止": a window of its own, so the user reaches
// it while the main window drops input.
namespace vornal::ui {

class WaitWindow : public QWidget
{
    Q_OBJECT
public:
    explicit WaitWindow(QWidget* parent = nullptr);

    QString Line(int line) const;
    int BarValue() const;
    QPushButton* CancelButton() const { return m_cancel; }

signals:
    // "中止" was pressed.
    void CancelRequested();

public slots:
    void SetLine(int line, const QString& text);
    void SetBar(int bar, int position, int maximum);
    // Shows the window with its lines back at their first texts.
    void Open();

private:
    QLabel* m_title;
    QLabel* m_lines[2];
    QProgressBar* m_bar;
    QPushButton* m_cancel;
    QTimer* m_blink;
    void setFrameStyle();

    bool m_red = true;
};

// The core's progress, called on the worker thread, shown by the waiting window on the
// user-interface thread. Only copies of texts and numbers cross, under a mutex; however often
// the worker reports, at most one update waits in the event queue, so a fast load never
// floods the user-interface thread with repaints it has no time to show.
class QueuedProgress : public QObject, public Progress
{
    Q_OBJECT
public:
    explicit QueuedProgress(WaitWindow* window);
    void SetLine(int line, const std::string& text) override;
    void SetBar(int bar, int position, int maximum) override;

private:
    void Post();
    void Flush();

    WaitWindow* m_window;
    std::mutex m_mutex;
    std::array<std::optional<std::string>, 2> m_lines;
    std::optional<std::pair<int, int>> m_bar;
    std::atomic<bool> m_posted{false};
};

} // namespace vornal::ui
