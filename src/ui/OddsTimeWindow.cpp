#include "ui/OddsTimeWindow.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/SettingKeys.h"

namespace vornal::ui {

OddsTimeWindow::OddsTimeWindow(std::filesystem::path appDir, QWidget* parent)
    : QDialog(parent), m_appDir(std::move(appDir)), m_minutes(new QSpinBox(this))
{
    setWindowTitle(QStringLiteral("オッズ取得時刻指定"));
    setModal(true);
    m_minutes->setObjectName(QStringLiteral("Minutes"));
    m_minutes->setRange(3, 59);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("オッズの取得時刻を、各レースの発走時刻の何分前とするかで指定します。"), this));
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("発走"), this));
    row->addWidget(m_minutes);
    row->addWidget(new QLabel(QStringLiteral("分前"), this));
    row->addStretch(1);
    layout->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // Not saved, the window still takes the value now; the next start shows the old one.
        static_cast<void>(kAutoOddsMinutes.Write(Settings(SettingsFile(m_appDir)), m_minutes->value()));
        accept();
    });
    Refresh();
}

void OddsTimeWindow::Refresh()
{
    // A value outside 3..59 written by hand shows clamped; it is only written back on OK.
    m_minutes->setValue(kAutoOddsMinutes.Read(Settings(SettingsFile(m_appDir))));
}

} // namespace vornal::ui
