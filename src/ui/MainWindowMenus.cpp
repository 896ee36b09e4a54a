#include <QActionGroup>
#include <QListWidget>
#include <QMenuBar>
#include <QStatusBar>
#include <QLabel>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "betting/BetMethod.h"
#include "store/ReplayLink.h"
#include "text/Encoding.h"
#include "ui/DayLoader.h"
#include "ui/AcquisitionWindow.h"
#include "ui/MainWindow.h"
#include "ui/OddsTimeWindow.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/TablePrintButtons.h"
#include "ui/UserSettingsWindow.h"
#include "ui/RaceListPanel.h"
#include "ui/SeasonReportWindow.h"
#include "ui/Text.h"

// The menus of the main window: the betting methods, the developer methods, the race-list
// option and the exit. Choosing a method reruns the day pipeline alone.
namespace vornal::ui {

namespace {

QStringList MethodCaptions(std::initializer_list<BetMethodKind> kinds)
{
    QStringList captions;
    for (BetMethodKind kind : kinds) {
        captions << Q(BetMethodCaption(kind));
    }
    return captions;
}

QActionGroup* MethodGroup(QMenu* menu, const QStringList& captions, int selected)
{
    auto* group = new QActionGroup(menu);
    for (int i = 0; i < captions.size(); ++i) {
        QAction* action = menu->addAction(captions[i]);
        action->setCheckable(true);
        action->setChecked(i + 1 == selected);
        action->setData(i + 1);
        action->setObjectName(captions[i]);
        group->addAction(action);
    }
    return group;
}

} // namespace

void MainWindow::BuildMenus()
{
    const Settings settings(SettingsFile(m_session.AppDir()));
    QMenu* file = menuBar()->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    QAction* acquire = file->addAction(QStringLiteral("JVデータ取得"));
    acquire->setObjectName(QStringLiteral("Acquire"));
    connect(acquire, &QAction::triggered, this, [this] {
        auto* window = new AcquisitionWindow(m_session, *m_link, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // New dates are in the store once the window closes; its feed is the feed of the
        // main window's link from now on.
        connect(window, &QDialog::finished, this, [this] {
            // The feed chosen by "JVLink設定" is the settings file's from now on.
            if (const auto* replay = dynamic_cast<const ReplayLink*>(m_link.get());
                replay != nullptr && replay->FeedFolder() != m_feedFolder) {
                m_feedFolder = replay->FeedFolder();
                if (!kLinkFeedFolder.Write(Settings(SettingsFile(m_session.AppDir())), ToCp932(m_feedFolder.string()))) {
                    NotifyUnsavedSetting();
                }
            }
            BuildDateList();
        });
        window->open();
    });
    file->setObjectName(QStringLiteral("FileMenu"));
    file->addSeparator();
    AddPrintActions(file, this, m_session, [this](const QString& message) { Notify(message); });
    AddTablePrintButtons(*this, m_session, [this](const QString& message) { Notify(message); });
    file->addSeparator()->setObjectName(QStringLiteral("ExitSeparator"));
    QAction* exit = file->addAction(QStringLiteral("終了(&X)"));
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* bets = menuBar()->addMenu(QStringLiteral("買い目"));
    QActionGroup* methods = MethodGroup(bets, MethodCaptions({BetMethodKind::No1, BetMethodKind::No2, BetMethodKind::User}),
                                        SelectedSetNumber(kBettingSet.Read(settings)));
    connect(methods, &QActionGroup::triggered, this, [this](QAction* action) {
        if (!kBettingSet.Write(Settings(SettingsFile(m_session.AppDir())), action->data().toInt())) {
            NotifyUnsavedSetting();
        }
        RerunPipeline();
    });

    QMenu* judge = menuBar()->addMenu(QStringLiteral("判定"));
    QAction* season = judge->addAction(QStringLiteral("成績分析"));
    season->setObjectName(QStringLiteral("SeasonReport"));
    connect(season, &QAction::triggered, this, [this] {
        auto* window = new SeasonReportWindow(m_session.AppDir(), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
    });

    QMenu* options = menuBar()->addMenu(QStringLiteral("ｵﾌﾟｼｮﾝ"));
    m_closeListOption = options->addAction(QStringLiteral("分析画面表示後、ﾃﾞｰﾀﾘｽﾄを消す"));
    m_closeListOption->setObjectName(QStringLiteral("分析画面表示後、ﾃﾞｰﾀﾘｽﾄを消す"));
    m_closeListOption->setCheckable(true);
    m_closeListOption->setChecked(kCloseDateList.Read(settings));
    connect(m_closeListOption, &QAction::toggled, this, [this](bool on) {
        if (!kCloseDateList.Write(Settings(SettingsFile(m_session.AppDir())), on)) {
            NotifyUnsavedSetting();
        }
    });

    QAction* oddsTime = options->addAction(QStringLiteral("ｵｯｽﾞ取得指定(&A)"));
    connect(oddsTime, &QAction::triggered, this, [this] {
        auto* window = new OddsTimeWindow(m_session.AppDir(), this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->open();
    });

    QMenu* user = menuBar()->addMenu(QStringLiteral("ﾕｰｻﾞｰ設定(&U)"));
    QAction* userSets = user->addAction(QStringLiteral("ﾕｰｻﾞｰ買い目設定(&U)"));
    userSets->setObjectName(QStringLiteral("UserSettings"));
    connect(userSets, &QAction::triggered, this, [this] {
        auto* window = new UserSettingsWindow(m_session, this);
        window->setAttribute(Qt::WA_DeleteOnClose);
        // Closing reapplies the bets of the day shown: the chosen set may have changed.
        connect(window, &QDialog::finished, this, [this] { RerunPipeline(); });
        window->open();
    });
    if (!m_developerView) {
        return;
    }
    QMenu* developer = menuBar()->addMenu(QStringLiteral("開発用"));
    developer->setObjectName(QStringLiteral("DeveloperMenu"));
    QActionGroup* developerMethods =
        MethodGroup(developer,
                    MethodCaptions({BetMethodKind::Developer1, BetMethodKind::Developer2, BetMethodKind::Developer3}),
                    SelectedSetNumber(kDeveloperBettingSet.Read(settings)));
    connect(developerMethods, &QActionGroup::triggered, this, [this](QAction* action) {
        if (!kDeveloperBettingSet.Write(Settings(SettingsFile(m_session.AppDir())), action->data().toInt())) {
            NotifyUnsavedSetting();
        }
        RerunPipeline();
    });
    developer->addSeparator();
    QAction* priority = developer->addAction(QStringLiteral("開発用買い目を優先する"));
    priority->setObjectName(QStringLiteral("開発用買い目を優先する"));
    priority->setCheckable(true);
    priority->setChecked(kDeveloperBetsFirst.Read(settings));
    connect(priority, &QAction::toggled, this, [this](bool on) {
        if (!kDeveloperBetsFirst.Write(Settings(SettingsFile(m_session.AppDir())), on)) {
            NotifyUnsavedSetting();
        }
        RerunPipeline();
    });
}

void MainWindow::NotifyUnsavedSetting()
{
    // The choice holds for this session only; the next start reads the old one.
    Notify(QStringLiteral("設定を保存できませんでした: ") + QString::fromStdString(SettingsFile(m_session.AppDir()).string()));
}

void MainWindow::UpdateMethodLabel()
{
    const Settings settings(SettingsFile(m_session.AppDir()));
    const BetMethodChoice choice = ReadPipelineBetMethod(m_session.AppDir(), settings);
    m_methodLabel->setText(QStringLiteral("買い目指定：") + Q(BetMethodLabel(choice.method)));
}

void MainWindow::RerunPipeline()
{
    UpdateMethodLabel();
    // Only a day on screen has a pipeline to rerun, and never beside a load.
    if (Loading() || !m_session.Day()) {
        return;
    }
    // On the worker, into a copy of the day shown; the copy replaces it when complete.
    auto rerun = std::make_shared<PreparedDay>();
    const DaySession* session = &m_session;
    const bool started = m_loader->Run([session, rerun](const CancelFlag&) { *rerun = session->PreparePipelineRerun(); },
                                       [this, rerun] {
                                           SetBusy(false, false);
                                           if (!rerun->result.Ok()) {
                                               Notify(Q(rerun->result.message));
                                               emit CommandDone();
                                               return;
                                           }
                                           m_session.AdoptDay(std::move(*rerun));
                                           const int entry = m_list->Races()->currentRow();
                                           RefreshDay();
                                           ShowFirstRace();
                                           // The race the user was looking at stays on screen.
                                           if (entry > 0) {
                                               ShowEntry(entry);
                                           }
                                           emit CommandDone();
                                       });
    if (started) {
        SetBusy(true, false);
    }
}

} // namespace vornal::ui
