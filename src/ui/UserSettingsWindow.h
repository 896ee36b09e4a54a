#pragma once

#include <array>
#include <filesystem>
#include <functional>

#include <QDialog>

#include "betting/UserSetFile.h"
#include "session/DaySession.h"

class QComboBox;
class QLineEdit;

// "ユーザー買い目設定": the user's betting rule sets in "UserSet.usd", one input per field of
// a set's line. The checks, the questions' texts and the file writing are the core's.
namespace vornal::ui {

class UserSettingsWindow : public QDialog
{
    Q_OBJECT
public:
    using Ask = std::function<bool(const QString& question)>;
    using Tell = std::function<void(const QString& message)>;

    // Saves and deletes through `session` (under its store lock); it must outlive the window.
    explicit UserSettingsWindow(DaySession& session, QWidget* parent = nullptr);

    // Replaces the message boxes (tests answer without a modal loop).
    void SetPrompts(Ask ask, Tell tell);

    // The input of field `field` (0..36) of the set's line.
    QWidget* Input(int field) const { return m_inputs[static_cast<std::size_t>(field)]; }
    QComboBox* Selector() const { return m_selector; }
    const UserSetFile& Sets() const { return m_sets; }

    void Register(); // "設定登録(R)"
    void Delete();   // "設定削除"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString FieldText(int field) const;
    void SetFieldText(int field, const QString& text);
    void ClearAll();
    void ShowLine(int line);
    void FillSelector(int showLine);

    DaySession& m_session;
    std::filesystem::path m_appDir;
    UserSetFile m_sets;
    std::vector<int> m_selectorLines; // the file line of each selector entry
    std::array<QWidget*, 37> m_inputs{};
    QComboBox* m_selector;
    Ask m_ask;
    Tell m_tell;
};

} // namespace vornal::ui
