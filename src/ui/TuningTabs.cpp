#include "ui/TuningTabs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "present/TuningViews.h"
#include "season/CalibrationViews.h"
#include "ui/GridView.h"
#include "ui/PlainGridDelegate.h"
#include "ui/Text.h"

namespace vornal::ui {
namespace {

// A view of a tuning table; the tables with a colour rule of their own paint by it.
GridView* TuningGridView(const TuningView& shown)
{
    auto* view = new GridView;
    const QString caption = Q(shown.Caption);
    view->setObjectName(caption);
    view->SetGrid(shown.Grid);
    static const QStringList kPlain = {QStringLiteral("基準ﾗｯﾌﾟﾃﾞｰﾀ表"), QStringLiteral("単勝配当用"),
                                       QStringLiteral("馬連配当用"), QStringLiteral("単勝人気統計"),
                                       QStringLiteral("配当別実現確率")};
    if (kPlain.contains(caption)) {
        QTableView* table = view->Table();
        table->setItemDelegate(new PlainGridDelegate(PlainGrid::TuningTable, table));
        table->horizontalHeader()->setStyleSheet(
            QStringLiteral("QHeaderView::section { background-color: rgb(192, 192, 192); border: 1px solid gray; }"));
    }
    return view;
}

// A developer tab with the command that measures the tables again above its views.
QWidget* WithRecalibrate(QWidget* page, const std::function<void()>& recalibrate)
{
    auto* holder = new QWidget;
    auto* button = new QPushButton(Q(RecalibrateCaption()), holder);
    button->setObjectName(QStringLiteral("Recalibrate"));
    QObject::connect(button, &QPushButton::clicked, holder, [recalibrate] { recalibrate(); });
    auto* row = new QHBoxLayout;
    row->addWidget(button);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(page, 1);
    return holder;
}

} // namespace

void AddTuningTabs(QTabWidget& tabs, const TuningTables& tables, bool developerView,
                   const std::function<void()>& recalibrate)
{
    for (const TuningTab& tab : BuildTuningTabs(tables)) {
        QWidget* page = nullptr;
        if (tab.Views.size() == 1) {
            page = TuningGridView(tab.Views.front());
        } else {
            auto* sheets = new QTabWidget;
            sheets->setObjectName(Q(tab.Caption));
            for (const TuningView& sheet : tab.Views) {
                sheets->addTab(TuningGridView(sheet), Q(sheet.Caption));
            }
            page = sheets;
        }
        if (tab.DeveloperOnly && recalibrate) {
            page = WithRecalibrate(page, recalibrate);
        }
        const int index = tabs.addTab(page, Q(tab.Caption));
        tabs.setTabVisible(index, !tab.DeveloperOnly || developerView);
    }
}

} // namespace vornal::ui
