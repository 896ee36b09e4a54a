#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include <QDialog>

#include "present/PrintPage.h"

class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace vornal {
class DaySession;
}

// The print preview of the race sheets and the all-bets sheet: the pages of a sheet drawn as
// white sheets of the printer's paper with the printable area dotted, a page selector, the
// zoom (kept in the settings file) and the print buttons. Printing sends the chosen pages to
// the printer as one job; "PDFに保存" writes the same pages to a PDF file.
namespace vornal::ui {

class PrintPreviewWindow : public QDialog
{
    Q_OBJECT
public:
    PrintPreviewWindow(PrintDocument document, std::filesystem::path appDir, QWidget* parent = nullptr);
    ~PrintPreviewWindow() override;

    // The printer the buttons print on (the shared one). Tests point it at a PDF file.
    QPrinter& Printer() { return *m_printer; }
    int ShownPage() const { return m_shownPage; }
    // Zoom in percent of the chosen radio item.
    int Zoom() const;
    // The message of the last failed print, empty after a success (UTF-16).
    const QString& LastError() const { return m_lastError; }

    // "表示ﾍﾟｰｼﾞ印刷(&P)" and "全ﾍﾟｰｼﾞ印刷(&P)": false when nothing could be printed.
    bool PrintShownPage();
    bool PrintAllPages();
    // "PDFに保存" to `path` (".pdf" added when the name lacks it); says where it saved.
    bool SavePdf(const QString& path);

    // The preview of the shown page as drawn on screen (for tests and screenshots).
    QPixmap PreviewPixmap() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void ShowPage(int page);
    void Redraw();
    bool PrintRange(int first, int last);
    void Fail(const QString& message);
    // An information box that does not block the window ("Message").
    void Tell(const QString& message);
    void SavePlace();

    PrintDocument m_document;
    std::filesystem::path m_appDir;
    QPrinter* m_printer;
    int m_shownPage = 1;
    QSpinBox* m_pageSelector;
    QRadioButton* m_zoomButtons[4];
    QLabel* m_sheet;
    QString m_lastError;
    bool m_placeSaved = false;
};

// The "プリンタが登録されていません" message.
QString NoPrinterMessage();

// The printer of the program: the preview windows, the table prints and "ﾌﾟﾘﾝﾀの設定(&R)..."
// share it, so a printer chosen once serves every later print.
QPrinter& SharedPrinter();
// False when `printer` prints to no file and no printer is installed.
bool PrinterAvailable(const QPrinter& printer);

// Adds "ﾚｰｽ別印刷(&P)...", "全買い目印刷(&K)" and "ﾌﾟﾘﾝﾀの設定(&R)..." to the file menu. Without a
// loaded race list the two sheets say "分析用ﾃﾞｰﾀを選択してください。" through `notify`.
void AddPrintActions(QMenu* file, QWidget* parent, DaySession& session, std::function<void(const QString&)> notify);

} // namespace vornal::ui
