#include "PrintPreviewTest.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTest>

#include <algorithm>

#include <unistd.h>

#include "app/TuningTables.h"
#include "cli/CliRun.h"
#include "present/RaceSheets.h"
#include "session/DaySession.h"
#include "store/StorePaths.h"
#include "ui/GridView.h"
#include "ui/MainWindow.h"
#include "ui/PrintPreviewWindow.h"
#include "ui/Workbench.h"

namespace fs = std::filesystem;
using namespace vornal;
using namespace vornal::ui;

namespace {

int PdfPages(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]"))));
}

} // namespace

void PrintPreviewTest::initTestCase()
{
    m_root = fs::temp_directory_path() / ("vornal-print-ui-" + std::to_string(::getpid()));
    fs::remove_all(m_root);
    m_app = m_root / "app";
    fs::create_directories(m_app);
    const std::string app = test::ShellQuote(m_app.string());
    const std::string feed = test::ShellQuote((m_root / "feed").string());
    QCOMPARE(test::RunCli("samplegen --feed " + feed + " --days 1 --tuning " + app).exitCode, 0);
    QCOMPARE(test::RunCli("--app-dir " + app + " acquire --feed " + feed + " --from '2000/01/01 00:00:00'").exitCode,
             0);
    const std::vector<std::string> days = StoredDayNames(m_app);
    QVERIFY(!days.empty());
    DaySession session(m_app);
    QVERIFY(session.LoadDay(days.front()).outcome == LoadOutcome::Loaded);
    std::string message;
    const TuningTables* tables = session.Tables(message);
    QVERIFY(tables);
    m_sheets = PrintRaceSheets(*session.Day(), *tables, BetMethodKind::No1);
    QVERIFY(m_sheets.Pages.size() >= 3);
}

void PrintPreviewTest::cleanupTestCase()
{
    fs::remove_all(m_root);
}

void PrintPreviewTest::opensOnPageOneAndTheSelectorMovesPages()
{
    PrintPreviewWindow window(m_sheets, m_app);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* selector = window.findChild<QSpinBox*>(QStringLiteral("PageSelector"));
    QVERIFY(selector);
    QCOMPARE(window.ShownPage(), 1);
    QCOMPARE(selector->maximum(), static_cast<int>(m_sheets.Pages.size()));
    QCOMPARE(window.windowTitle(), QStringLiteral("Vornal 分析表印刷"));
    const QImage first = window.PreviewPixmap().toImage();
    selector->setFocus();
    QTest::keyClick(selector, Qt::Key_Up);
    QTest::keyClick(selector, Qt::Key_Up);
    QCOMPARE(window.ShownPage(), 3);
    QVERIFY(window.PreviewPixmap().toImage() != first);
    QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR));
    QVERIFY(window.grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/print-preview.png")));
    QVERIFY(!window.findChild<QPushButton*>(QStringLiteral("Print"))->isVisible());
}

void PrintPreviewTest::theZoomSurvivesARestart()
{
    int widthAt75 = 0;
    {
        PrintPreviewWindow window(m_sheets, m_app);
        window.show();
        QCOMPARE(window.Zoom(), 50);
        const int widthAt50 = window.PreviewPixmap().width();
        auto* zoom75 = window.findChild<QRadioButton*>(QStringLiteral("Zoom75"));
        QVERIFY(zoom75);
        QTest::mouseClick(zoom75, Qt::LeftButton, {}, QPoint(5, zoom75->height() / 2));
        QCOMPARE(window.Zoom(), 75);
        widthAt75 = window.PreviewPixmap().width();
        QVERIFY(qAbs(widthAt75 - widthAt50 * 1.5) <= 1.0);
        window.close();
    }
    PrintPreviewWindow again(m_sheets, m_app);
    QCOMPARE(again.Zoom(), 75);
    QVERIFY(again.findChild<QRadioButton*>(QStringLiteral("Zoom75"))->isChecked());
    QCOMPARE(again.PreviewPixmap().width(), widthAt75);
}

void PrintPreviewTest::printingSendsTheChosenPagesAsOneJob()
{
    PrintPreviewWindow window(m_sheets, m_app);
    window.show();
    const QString all = QString::fromStdString((m_root / "all.pdf").string());
    window.Printer().setOutputFileName(all);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PrintAll")), Qt::LeftButton);
    QVERIFY2(window.LastError().isEmpty(), qPrintable(window.LastError()));
    QCOMPARE(PdfPages(all), static_cast<int>(m_sheets.Pages.size()));

    const QString shown = QString::fromStdString((m_root / "shown.pdf").string());
    window.Printer().setOutputFileName(shown);
    window.findChild<QSpinBox*>(QStringLiteral("PageSelector"))->setValue(3);
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("PrintShown")), Qt::LeftButton);
    QCOMPARE(PdfPages(shown), 1);

    const QString saved = QString::fromStdString((m_root / "saved.pdf").string());
    QVERIFY(window.SavePdf(saved));
    QCOMPARE(PdfPages(saved), static_cast<int>(m_sheets.Pages.size()));

    // A bare name gets ".pdf", and the window says where the file went.
    const QString bare = QString::fromStdString((m_root / "bare").string());
    QVERIFY(window.SavePdf(bare));
    QVERIFY(!QFile::exists(bare));
    QCOMPARE(PdfPages(bare + QStringLiteral(".pdf")), static_cast<int>(m_sheets.Pages.size()));
    QTRY_VERIFY(window.findChild<QMessageBox*>(QStringLiteral("Message")));
    const QList<QMessageBox*> boxes = window.findChildren<QMessageBox*>(QStringLiteral("Message"));
    QVERIFY(std::any_of(boxes.begin(), boxes.end(), [&](QMessageBox* box) {
        return box->text().contains(QDir::toNativeSeparators(bare + QStringLiteral(".pdf"))) &&
               box->text().contains(QStringLiteral("保存しました"));
    }));
}

void PrintPreviewTest::withoutAPrinterPrintingSaysSo()
{
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        QSKIP("this machine has a printer installed");
    }
    PrintPreviewWindow window(m_sheets, m_app);
    window.Printer().setOutputFileName(QString());
    window.show();
    QVERIFY(!window.PrintAllPages());
    QCOMPARE(window.LastError(), QStringLiteral("プリンタが登録されていません"));
}

void PrintPreviewTest::aTabPrintsItsTableInLandscapeAndSetsThePrinterBack()
{
    Workbench workbench(m_app);
    QVERIFY(!workbench.Open());
    MainWindow& window = *workbench.Window();
    window.show();
    QAction* allBets = window.findChild<QAction*>(QStringLiteral("PrintAllBetsSheet"));
    QVERIFY(allBets);
    allBets->trigger();
    QCOMPARE(window.LastMessage(), QStringLiteral("分析用ﾃﾞｰﾀを選択してください。"));
    QVERIFY(!window.findChild<PrintPreviewWindow*>());
    QVERIFY(window.LoadDate(StoredDayNames(m_app).front()));
    QTRY_VERIFY_WITH_TIMEOUT(!window.Loading(), 60000);
    allBets->trigger();
    auto* preview = window.findChild<PrintPreviewWindow*>();
    QVERIFY(preview);
    QCOMPARE(preview->windowTitle(), QStringLiteral("買い目一覧　印刷 by Tarvik"));
    QCOMPARE(preview->ShownPage(), 1);
    preview->close();
    QVERIFY(window.SelectTab(QStringLiteral("ﾗﾝｷﾝｸﾞ表")));
    GridView* view = window.View(QStringLiteral("ﾗﾝｷﾝｸﾞ表"));
    QVERIFY(view);
    // The first race shows in an event after the load.
    QTRY_VERIFY(view->Grid().RowCount() > 1);
    auto* button = view->findChild<QPushButton*>(QStringLiteral("TablePrint"));
    QVERIFY(button);
    const QString pdf = QString::fromStdString((m_root / "ranking.pdf").string());
    SharedPrinter().setOutputFileName(pdf);
    QTest::mouseClick(button, Qt::LeftButton);
    QFile file(pdf);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(PdfPages(pdf) >= 1);
    QCOMPARE(bytes.count("/MediaBox [0 0 842.000000 595.000000]"), PdfPages(pdf));
    QCOMPARE(SharedPrinter().pageLayout().orientation(), QPageLayout::Portrait);
    SharedPrinter().setOutputFileName(QString());
}
