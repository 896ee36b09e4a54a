#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include <QDialog>

#include "app/Settings.h"
#include "app/StoreLock.h"
#include "store/Acquisition.h"
#include "store/ReplayLink.h"

class QDateTimeEdit;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;

// The bulk acquisition window: the core's Acquisition state machine with its buttons, the
// from-date picker, the download and read bars, the label and the created-files list. The
// run is the core's single-threaded one: it lets this window's events run between records,
// so the window repaints and the cancel button answers while it reads.
namespace vornal::ui {

class AcquisitionWindow : public QDialog, private AcquisitionView
{
    Q_OBJECT
public:
    using Ask = std::function<bool(const QString& question)>;
    using Tell = std::function<void(const QString& message)>;

    AcquisitionWindow(std::filesystem::path appDir, std::filesystem::path feedFolder, QWidget* parent = nullptr);
    ~AcquisitionWindow() override;

    void SetPrompts(Ask ask, Tell tell);
    const Acquisition& Run() const { return *m_acquisition; }
    QPushButton* StartButton() const { return m_start; }
    QPushButton* CancelButton() const { return m_cancelButton; }
    QProgressBar* ReadBar() const { return m_bars[1]; }
    QListWidget* CreatedFiles() const { return m_files; }
    QLabel* Label() const { return m_label; }

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void StartRun();
    void AskCancel();
    void SyncPicker();

    // AcquisitionView
    void SetLine(int line, const std::string& text) override;
    void SetBar(int bar, int position, int maximum) override;
    void ProcessEvents() override;
    void ClearCreatedFiles() override;
    void AddCreatedFile(const std::string& line) override;
    void ShowMessage(const std::string& text) override;
    void Beep() override;
    void SetBusy(bool busy) override;

    std::filesystem::path m_appDir;
    // Held from the start of a run to its end, as every writer of the store holds it.
    StoreLock m_lock;
    Settings m_settings;
    CancelFlag m_cancel;
    ReplayLink m_link;
    std::unique_ptr<Acquisition> m_acquisition;
    QPushButton* m_start;
    QPushButton* m_cancelButton;
    QPushButton* m_linkSettings;
    QDateTimeEdit* m_from;
    QProgressBar* m_bars[2];
    QLabel* m_label;
    QListWidget* m_files;
    QTimer* m_status;
    int m_linkResult = 0;
    Ask m_ask;
    Tell m_tell;
};

} // namespace vornal::ui
