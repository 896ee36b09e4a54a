#include "ui/TuningTabs.h"

#include <QTabWidget>

#include "present/TuningViews.h"
#include "ui/GridView.h"
#include "ui/Text.h"

namespace vornal::ui {

void AddTuningTabs(QTabWidget& tabs, const TuningTables& tables, bool developerView)
{
    for (const TuningTab& tab : BuildTuningTabs(tables)) {
        QWidget* page = nullptr;
        if (tab.Views.size() == 1) {
            auto* view = new GridView;
            view->setObjectName(Q(tab.Views.front().Caption));
            view->SetGrid(tab.Views.front().Grid);
            page = view;
        } else {
            auto* sheets = new QTabWidget;
            sheets->setObjectName(Q(tab.Caption));
            for (const TuningView& sheet : tab.Views) {
                auto* view = new GridView;
                view->setObjectName(Q(sheet.Caption));
                view->SetGrid(sheet.Grid);
                sheets->addTab(view, Q(sheet.Caption));
            }
            page = sheets;
        }
        const int index = tabs.addTab(page, Q(tab.Caption));
        tabs.setTabVisible(index, !tab.DeveloperOnly || developerView);
    }
}

} // namespace vornal::ui
