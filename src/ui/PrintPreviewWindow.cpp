#include "ui/PrintPreviewWindow.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/ErrorLog.h"
#include "app/SettingKeys.h"
#include "betting/BetMethod.h"
#include "present/RaceSheets.h"
#include "render/PagePainter.h"
#include "results/HitJudgement.h"
#include "results/HitReport.h"
#include "session/DaySession.h"
#include "ui/Text.h"
#include "ui/WindowPlace.h"

namespace vornal::ui {
namespace {

constexpr int kZoomPercent[] = {25, 50, 75, 100};

} // namespace

// A printer pointed at a file needs no printer installed; any other needs one.
bool PrinterAvailable(const QPrinter& printer)
{
    return !printer.outputFileName().isEmpty() || !QPrinterInfo::availablePrinters().isEmpty();
}

QPrinter& SharedPrinter()
{
    static QPrinter* printer = [] {
        auto* made = new QPrinter(QPrinter::HighResolution);
        made->setPageSize(QPageSize(QPageSize::A4));
        made->setPageOrientation(QPageLayout::Portrait);
        return made;
    }();
    return *printer;
}

QString NoPrinterMessage()
{
    return QStringLiteral("プリンタが登録されていません");
}

PrintPreviewWindow::PrintPreviewWindow(PrintDocument document, std::filesystem::path appDir, QWidget* parent)
    : QDialog(parent), m_document(std::move(document)), m_appDir(std::move(appDir)), m_printer(&SharedPrinter())
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(QString::fromStdString(m_document.Caption));

    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    layout->addLayout(controls);

    controls->addWidget(new QLabel(QStringLiteral("ﾍﾟｰｼﾞ選択"), this));
    m_pageSelector = new QSpinBox(this);
    m_pageSelector->setObjectName(QStringLiteral("PageSelector"));
    m_pageSelector->setRange(m_document.FirstPage, std::max(m_document.FirstPage, m_document.LastPage));
    m_pageSelector->setValue(1);
    controls->addWidget(m_pageSelector);

    auto* zoomBox = new QGroupBox(QStringLiteral("倍率"), this);
    auto* zoomLayout = new QHBoxLayout(zoomBox);
    auto* zoomGroup = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        m_zoomButtons[i] = new QRadioButton(QString::number(kZoomPercent[i]) + "%", zoomBox);
        m_zoomButtons[i]->setObjectName(QStringLiteral("Zoom%1").arg(kZoomPercent[i]));
        zoomGroup->addButton(m_zoomButtons[i], i);
        zoomLayout->addWidget(m_zoomButtons[i]);
    }
    const CheckedInteger zoom = ReadPrintZoom(Settings(SettingsFile(m_appDir)));
    if (!zoom.warning.empty()) {
        static_cast<void>(AppendErrorLine(m_appDir, zoom.warning));
    }
    m_zoomButtons[zoom.value]->setChecked(true);
    controls->addWidget(zoomBox);

    auto addButton = [&](const QString& caption, const char* name) {
        auto* button = new QPushButton(caption, this);
        button->setObjectName(QString::fromLatin1(name));
        button->setAutoDefault(false);
        controls->addWidget(button);
        return button;
    };
    QPushButton* shown = addButton(QStringLiteral("表示ﾍﾟｰｼﾞ印刷(&P)"), "PrintShown");
    QPushButton* all = addButton(QStringLiteral("全ﾍﾟｰｼﾞ印刷(&P)"), "PrintAll");
    // "印刷(&P)" does what "表示ﾍﾟｰｼﾞ印刷(&P)" does; both sheets keep it hidden.
    QPushButton* print = addButton(QStringLiteral("印刷(&P)"), "Print");
    print->hide();
    QPushButton* setup = addButton(QStringLiteral("ﾌﾟﾘﾝﾀ設定(&S)"), "PrinterSetup");
    QPushButton* pdf = addButton(QStringLiteral("PDFに保存"), "SavePdf");
    QPushButton* close = addButton(QStringLiteral("閉じる"), "Close");
    controls->addStretch();

    auto* scroll = new QScrollArea(this);
    scroll->setBackgroundRole(QPalette::Dark);
    m_sheet = new QLabel(scroll);
    m_sheet->setObjectName(QStringLiteral("Sheet"));
    scroll->setWidget(m_sheet);
    scroll->setAlignment(Qt::AlignCenter);
    layout->addWidget(scroll, 1);

    connect(m_pageSelector, &QSpinBox::valueChanged, this, &PrintPreviewWindow::ShowPage);
    connect(zoomGroup, &QButtonGroup::idClicked, this, [this](int id) {
        // A zoom that cannot be saved only costs the next opening its zoom.
        static_cast<void>(kPrintZoom.Write(Settings(SettingsFile(m_appDir)), id));
        Redraw();
    });
    connect(shown, &QPushButton::clicked, this, [this] { PrintShownPage(); });
    connect(print, &QPushButton::clicked, this, [this] { PrintShownPage(); });
    connect(all, &QPushButton::clicked, this, [this] { PrintAllPages(); });
    connect(setup, &QPushButton::clicked, this, [this] {
        if (!PrinterAvailable(*m_printer)) {
            Fail(NoPrinterMessage());
            return;
        }
        QPrintDialog dialog(m_printer, this);
        dialog.exec();
        Redraw();
    });
    connect(pdf, &QPushButton::clicked, this, [this] {
        const QString path =
            QFileDialog::getSaveFileName(this, QStringLiteral("PDFに保存"), QString(), QStringLiteral("PDF (*.pdf)"));
        if (!path.isEmpty()) {
            SavePdf(path);
        }
    });
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    RestoreWindowPlace(*this, kPrintPreviewPlace, m_appDir);
    ShowPage(1);
}

PrintPreviewWindow::~PrintPreviewWindow() = default;

int PrintPreviewWindow::Zoom() const
{
    for (int i = 0; i < 4; ++i) {
        if (m_zoomButtons[i]->isChecked()) {
            return kZoomPercent[i];
        }
    }
    return kZoomPercent[kPrintZoom.defaultValue];
}

void PrintPreviewWindow::ShowPage(int page)
{
    // A page number outside the document is ignored.
    if (page < 1 || page > static_cast<int>(m_document.Pages.size())) {
        return;
    }
    m_shownPage = page;
    Redraw();
}

QPixmap PrintPreviewWindow::PreviewPixmap() const
{
    const int dpiX = m_printer->resolution();
    const int dpiY = m_printer->resolution();
    const int screenDpi = 96;
    const double scale = Zoom() / 100.0 * screenDpi / dpiY;
    const QRectF paper = m_printer->paperRect(QPrinter::DevicePixel);
    const QRectF printable = m_printer->pageRect(QPrinter::DevicePixel);
    QPixmap pixmap(std::max(1, qRound(paper.width() * scale)), std::max(1, qRound(paper.height() * scale)));
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    QPen dotted(Qt::gray);
    dotted.setStyle(Qt::DotLine);
    painter.setPen(dotted);
    painter.drawRect(QRectF(printable.topLeft() * scale, printable.size() * scale));
    if (m_shownPage >= 1 && m_shownPage <= static_cast<int>(m_document.Pages.size())) {
        painter.translate(printable.topLeft() * scale);
        PaintPage(painter, m_document.Pages[m_shownPage - 1], PageDevice{dpiX, dpiY, screenDpi, scale});
    }
    return pixmap;
}

void PrintPreviewWindow::Redraw()
{
    m_sheet->setPixmap(PreviewPixmap());
    m_sheet->resize(m_sheet->pixmap().size());
}

bool PrintPreviewWindow::PrintShownPage()
{
    return PrintRange(m_shownPage, m_shownPage);
}

bool PrintPreviewWindow::PrintAllPages()
{
    return PrintRange(m_pageSelector->minimum(), m_pageSelector->maximum());
}

bool PrintPreviewWindow::PrintRange(int first, int last)
{
    if (!PrinterAvailable(*m_printer)) {
        Fail(NoPrinterMessage());
        return false;
    }
    m_printer->setDocName(QString::fromStdString(m_document.Caption));
    QString error;
    if (!PaintDocument(*m_printer, m_document, first, last, &error)) {
        Fail(NoPrinterMessage());
        return false;
    }
    m_lastError.clear();
    return true;
}

bool PrintPreviewWindow::SavePdf(const QString& path)
{
    // A bare name typed into the dialog gets the extension the filter promises.
    const QString file =
        path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf");
    std::string error;
    if (!WritePdf(m_document, file.toStdString(), error)) {
        Fail(QString::fromStdString(error));
        return false;
    }
    m_lastError.clear();
    Tell(QStringLiteral("PDFファイル「%1」に保存しました。").arg(QDir::toNativeSeparators(file)));
    return true;
}

void PrintPreviewWindow::Fail(const QString& message)
{
    m_lastError = message;
    Tell(message);
}

void PrintPreviewWindow::Tell(const QString& message)
{
    auto* box = new QMessageBox(QMessageBox::Information, windowTitle(), message, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("Message"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void PrintPreviewWindow::SavePlace()
{
    if (m_placeSaved) {
        return;
    }
    m_placeSaved = true;
    const QRect rect = geometry();
    // A place that cannot be saved only costs the next opening its place.
    static_cast<void>(kPrintPreviewPlace.Write(Settings(SettingsFile(m_appDir)), {rect.top(), rect.left(), rect.width(), rect.height()}));
}

void PrintPreviewWindow::closeEvent(QCloseEvent* event)
{
    SavePlace();
    QDialog::closeEvent(event);
}

void PrintPreviewWindow::done(int result)
{
    SavePlace();
    QDialog::done(result);
}

void AddPrintActions(QMenu* file, QWidget* parent, DaySession& session, std::function<void(const QString&)> notify)
{
    auto openPreview = [parent, &session, notify](bool raceSheets) {
        const RaceDay* day = session.Day();
        if (day == nullptr || RaceListCount(*day) == 0) {
            notify(Q(NoDayForHitReportMessage()));
            return;
        }
        PrintDocument document;
        if (raceSheets) {
            std::string message;
            const TuningTables* tables = session.Tables(message);
            if (tables == nullptr) {
                notify(Q(message));
                return;
            }
            const Settings settings(SettingsFile(session.AppDir()));
            document = PrintRaceSheets(*day, *tables, ReadPipelineBetMethod(session.AppDir(), settings).method.kind);
        } else {
            document = PrintAllBetsSheet(*day);
        }
        auto* window = new PrintPreviewWindow(std::move(document), session.AppDir(), parent);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->setModal(true);
        window->open();
    };
    QAction* raceSheets = file->addAction(QStringLiteral("ﾚｰｽ別印刷(&P)..."));
    raceSheets->setObjectName(QStringLiteral("PrintRaceSheets"));
    QObject::connect(raceSheets, &QAction::triggered, parent, [openPreview] { openPreview(true); });
    QAction* allBets = file->addAction(QStringLiteral("全買い目印刷(&K)"));
    allBets->setObjectName(QStringLiteral("PrintAllBetsSheet"));
    QObject::connect(allBets, &QAction::triggered, parent, [openPreview] { openPreview(false); });
    QAction* setup = file->addAction(QStringLiteral("ﾌﾟﾘﾝﾀの設定(&R)..."));
    setup->setObjectName(QStringLiteral("PrinterSetup"));
    QObject::connect(setup, &QAction::triggered, parent, [parent, notify] {
        if (!PrinterAvailable(SharedPrinter())) {
            notify(NoPrinterMessage());
            return;
        }
        QPrintDialog dialog(&SharedPrinter(), parent);
        dialog.exec();
    });
}

} // namespace vornal::ui
