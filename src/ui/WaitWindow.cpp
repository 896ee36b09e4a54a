#include "ui/WaitWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/Text.h"

namespace vornal::ui {

namespace {
const QString kWaitTitle = QStringLiteral("【計算中】　しばらくお待ちください。");
const QString kWaitLine = QStringLiteral("しばらくお待ちください。");
} // namespace

WaitWindow::WaitWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_title(new QLabel(kWaitTitle, this)), m_lines{new QLabel(kWaitLine, this), new QLabel(kWaitLine, this)},
      m_bar(new QProgressBar(this)), m_cancel(new QPushButton(QStringLiteral("中止"), this)),
      m_blink(new QTimer(this))
{
    setObjectName(QStringLiteral("WaitWindow"));
    setFrameStyle();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_lines[0]);
    layout->addWidget(m_lines[1]);
    layout->addWidget(m_bar);
    layout->addWidget(m_cancel, 0, Qt::AlignRight);
    m_cancel->setObjectName(QStringLiteral("WaitCancel"));
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, &WaitWindow::CancelRequested);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    setMinimumWidth(420);
    m_blink->setInterval(500);
    connect(m_blink, &QTimer::timeout, this, [this] {
        m_red = !m_red;
        m_title->setStyleSheet(m_red ? QStringLiteral("color: red;") : QStringLiteral("color: gray;"));
    });
    m_title->setStyleSheet(QStringLiteral("color: red;"));
    m_blink->start();
}

void WaitWindow::setFrameStyle()
{
    setStyleSheet(QStringLiteral("vornal--ui--WaitWindow { border: 1px solid gray; }"));
    setAutoFillBackground(true);
}

QString WaitWindow::Line(int line) const
{
    return line >= 0 && line < 2 ? m_lines[line]->text() : QString();
}

int WaitWindow::BarValue() const
{
    return m_bar->value();
}

void WaitWindow::SetLine(int line, const QString& text)
{
    if (line >= 0 && line < 2) {
        m_lines[line]->setText(text);
    }
}

void WaitWindow::SetBar(int, int position, int maximum)
{
    m_bar->setRange(0, std::max(1, maximum));
    m_bar->setValue(std::clamp(position, 0, std::max(1, maximum)));
}

void WaitWindow::Open()
{
    m_lines[0]->setText(kWaitLine);
    m_lines[1]->setText(kWaitLine);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    show();
    raise();
}

QueuedProgress::QueuedProgress(WaitWindow* window) : QObject(window), m_window(window) {}

void QueuedProgress::SetLine(int line, const std::string& text)
{
    if (line < 0 || line > 1) {
        return;
    }
    {
        const std::lock_guard lock(m_mutex);
        m_lines[static_cast<std::size_t>(line)] = text;
    }
    Post();
}

void QueuedProgress::SetBar(int, int position, int maximum)
{
    {
        const std::lock_guard lock(m_mutex);
        m_bar = std::pair{position, maximum};
    }
    Post();
}

void QueuedProgress::Post()
{
    if (!m_posted.exchange(true)) {
        QMetaObject::invokeMethod(this, &QueuedProgress::Flush, Qt::QueuedConnection);
    }
}

void QueuedProgress::Flush()
{
    m_posted = false;
    std::array<std::optional<std::string>, 2> lines;
    std::optional<std::pair<int, int>> bar;
    {
        const std::lock_guard lock(m_mutex);
        lines.swap(m_lines);
        bar.swap(m_bar);
    }
    for (int line = 0; line < 2; ++line) {
        if (lines[static_cast<std::size_t>(line)]) {
            m_window->SetLine(line, Q(*lines[static_cast<std::size_t>(line)]));
        }
    }
    if (bar) {
        m_window->SetBar(0, bar->first, bar->second);
    }
}

} // namespace vornal::ui
