#include "ui/Workbench.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <cstdio>

#include "app/AppDir.h"
#include "store/StorePaths.h"
#include "text/Encoding.h"
#include "ui/MainWindow.h"
#include "ui/RaceListPanel.h"
#include "ui/StartUp.h"
#include "ui/Text.h"

namespace vornal::ui {

void SetApplicationFonts()
{
    QFont::insertSubstitution(QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"));
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    QFont font(QStringLiteral("ＭＳ Ｐゴシック"));
    font.setPixelSize(12);
    QApplication::setFont(font);
    QFont fixed(QStringLiteral("ＭＳ ゴシック"));
    fixed.setPixelSize(12);
    // The tables align their numbers by character widths: they need the fixed-pitch face.
    QApplication::setFont(fixed, "QTableView");
    QApplication::setFont(fixed, "QHeaderView");
    QApplication::setFont(fixed, "QListWidget");
    QApplication::setFont(fixed, "QLabel");
}

bool InstallQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qt"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

Workbench::Workbench(std::filesystem::path appDir) : m_session(std::move(appDir)) {}

Workbench::~Workbench() = default;

std::optional<QString> Workbench::Open()
{
    const StartUpOutcome startUp = RunStartUp(m_session);
    if (!startUp.ok) {
        return Q(startUp.message);
    }
    m_window = std::make_unique<MainWindow>(m_session, startUp);
    return std::nullopt;
}

namespace {

int Screenshot(MainWindow& window, const QString& file)
{
    window.show();
    QApplication::processEvents();
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "vornal: cannot write %s\n", file.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

} // namespace

int RunWorkbench(QApplication& app)
{
    QApplication::setApplicationName(QStringLiteral("Vornal"));
    SetApplicationFonts();
    InstallQtTranslations(app);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption appDirOption(QStringLiteral("app-dir"), QStringLiteral("application folder"),
                                          QStringLiteral("DIR"));
    const QCommandLineOption dateOption(QStringLiteral("date"), QStringLiteral("race date to load"),
                                        QStringLiteral("DAY"));
    const QCommandLineOption slotOption(QStringLiteral("slot"), QStringLiteral("race slot to show"),
                                        QStringLiteral("N"));
    const QCommandLineOption tabOption(QStringLiteral("tab"), QStringLiteral("tab to show"), QStringLiteral("NAME"));
    const QCommandLineOption shotOption(QStringLiteral("screenshot"), QStringLiteral("write the window to a PNG and exit"),
                                        QStringLiteral("FILE.png"));
    const QCommandLineOption feedOption(QStringLiteral("feed"), QStringLiteral("replay feed folder of JVデータ取得"),
                                        QStringLiteral("DIR"));
    const QCommandLineOption bridgeOption(QStringLiteral("bridge"),
                                          QStringLiteral("bridge program of the component, \"COMMAND ARG...\""),
                                          QStringLiteral("COMMAND"));
    parser.addOptions({appDirOption, dateOption, slotOption, tabOption, shotOption, feedOption, bridgeOption});
    parser.process(app);

    std::optional<std::filesystem::path> appDir;
    if (parser.isSet(appDirOption)) {
        appDir = std::filesystem::path(parser.value(appDirOption).toStdString());
    }
    Workbench workbench(ResolveAppDir(appDir));
    const bool screenshot = parser.isSet(shotOption);
    if (const std::optional<QString> message = workbench.Open()) {
        if (screenshot) {
            std::fprintf(stderr, "vornal: %s\n", message->toStdString().c_str());
        } else {
            QMessageBox::information(nullptr, QStringLiteral("Vornal"), *message);
        }
        return 1;
    }
    MainWindow& window = *workbench.Window();
    if (parser.isSet(feedOption)) {
        window.SetFeedFolder(parser.value(feedOption).toStdString());
    } else if (parser.isSet(bridgeOption)) {
        const Result<LinkChoice> choice = BridgeLinkChoice(parser.value(bridgeOption).toStdString());
        if (!choice) {
            std::fprintf(stderr, "vornal: %s\n", ToUtf8(choice.message()).c_str());
            return 2;
        }
        window.SetLink(choice.value);
    }
    std::string dayName;
    if (parser.isSet(dateOption)) {
        dayName = ParseDayName(Cp932(parser.value(dateOption)));
        if (dayName.empty()) {
            std::fprintf(stderr, "vornal: not a date: %s\n", parser.value(dateOption).toStdString().c_str());
            return 2;
        }
    }
    const int slot = parser.value(slotOption).toInt();
    const QString tab = parser.value(tabOption);
    const QString shotFile = parser.value(shotOption);
    // A screenshot of a day or tab that is not there would show something else: say why and
    // fail before anything is written.
    if (screenshot && !dayName.empty()) {
        const std::vector<std::string> stored = StoredDayNames(workbench.Session().AppDir());
        if (std::find(stored.begin(), stored.end(), dayName) == stored.end()) {
            std::fprintf(stderr, "vornal: no race day %s in the store\n", ToUtf8(dayName).c_str());
            return 1;
        }
    }
    if (!tab.isEmpty() && !window.SelectTab(tab)) {
        std::fprintf(stderr, "vornal: no tab %s\n", tab.toStdString().c_str());
        if (screenshot) {
            return 2;
        }
    }

    int code = 0;
    auto afterLoad = [&](bool ok) {
        if (ok && parser.isSet(slotOption)) {
            for (int entry = 0; entry < window.ListPanel()->EntryCount(); ++entry) {
                if (window.ListPanel()->SlotOf(entry) == slot) {
                    window.ShowEntry(entry);
                }
            }
        }
        if (!tab.isEmpty()) {
            window.SelectTab(tab);
        }
        if (screenshot) {
            if (!ok) {
                std::fprintf(stderr, "vornal: the day could not be loaded\n");
            }
            code = ok ? Screenshot(window, shotFile) : 1;
            QApplication::quit();
        }
    };
    QObject::connect(&window, &MainWindow::DayShown, &window, afterLoad);
    window.show();
    if (!dayName.empty()) {
        window.LoadDate(dayName);
    } else if (screenshot) {
        QTimer::singleShot(0, &window, [&] { afterLoad(true); });
    }
    const int loop = app.exec();
    return code != 0 ? code : loop;
}

} // namespace vornal::ui
