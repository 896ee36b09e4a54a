#include "ui/TablePrintButtons.h"

#include <QBoxLayout>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>

#include "present/RaceAnalysisView.h"
#include "present/TablePrint.h"
#include "present/ViewRegistry.h"
#include "ui/RaceViewBindings.h"
#include "render/PagePainter.h"
#include "session/DaySession.h"
#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/PrintPreviewWindow.h"

namespace vornal::ui {

void AddTablePrintButtons(MainWindow& window, DaySession& session, std::function<void(const QString&)> notify)
{
    for (const ViewDescription& printed : Views()) {
        if (!printed.Printed) {
            continue;
        }
        const std::string_view caption = printed.Caption;
        const bool racePrint = printed.Scope == ViewScope::Race;
        GridView* view = window.View(printed);
        auto* layout = view != nullptr ? qobject_cast<QBoxLayout*>(view->layout()) : nullptr;
        if (layout == nullptr) {
            continue;
        }
        auto* row = new QHBoxLayout;
        row->addStretch(1);
        auto* button = new QPushButton(QStringLiteral("印刷"), view);
        button->setObjectName(QStringLiteral("TablePrint"));
        row->addWidget(button);
        layout->insertLayout(0, row);
        QObject::connect(button, &QPushButton::clicked, view, [&window, &session, view, caption, racePrint, notify] {
            const RaceDay* day = session.Day();
            if (day == nullptr) {
                return;
            }
            const int slot = std::clamp(window.SelectedRace(), 0, kRaceSlots - 1);
            std::array<LapPanelRow, 3> lapPanels{};
            // The lap card's page header shows its lap statistics; the other styles ignore them.
            if (racePrint) {
                std::string message;
                if (const TuningTables* tables = session.Tables(message)) {
                    lapPanels = ShowRaceAnalysis(*day, *tables, slot).LapPanels;
                }
            }
            const PrintDocument document =
                PrintTable(view->Grid(), *TabPrintStyle(caption, day->Races[slot], lapPanels), caption);
            QPrinter& printer = SharedPrinter();
            if (!PrinterAvailable(printer)) {
                notify(NoPrinterMessage());
                return;
            }
            printer.setDocName(QString::fromUtf8(caption.data(), static_cast<int>(caption.size())));
            if (!PaintDocument(printer, document, 1, static_cast<int>(document.Pages.size()))) {
                notify(NoPrinterMessage());
            }
        });
    }
}

} // namespace vornal::ui
