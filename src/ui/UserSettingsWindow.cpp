#include "ui/UserSettingsWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "ui/Text.h"

namespace vornal::ui {

namespace {

constexpr int kFieldCount = 37;

bool IsCountField(int field)
{
    return field == 29 || field == 30 || field == 33 || field == 34;
}

QComboBox* MakeList(const QStringList& items, QWidget* parent)
{
    auto* box = new QComboBox(parent);
    box->addItem(QString());
    box->addItems(items);
    return box;
}

QStringList Numbers(int from, int to)
{
    QStringList items;
    for (int n = from; n <= to; ++n) {
        items << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char(' '));
    }
    return items;
}

} // namespace

UserSettingsWindow::UserSettingsWindow(DaySession& session, QWidget* parent)
    : QDialog(parent), m_session(session), m_appDir(session.AppDir()), m_sets(LoadUserSets(m_appDir)), m_selector(new QComboBox(this))
{
    setWindowTitle(QStringLiteral("ユーザー買い目設定"));
    m_ask = [this](const QString& question) {
        return QMessageBox::question(this, windowTitle(), question) == QMessageBox::Yes;
    };
    m_tell = [this](const QString& message) { QMessageBox::information(this, windowTitle(), message); };

    QStringList ratings;
    for (const std::string& name : UserRatingNames()) {
        ratings << Q(name);
    }
    for (int field = 1; field <= 28; ++field) {
        m_inputs[static_cast<std::size_t>(field)] =
            field % 2 == 1 ? MakeList(ratings, this) : MakeList(Numbers(1, 18), this);
    }
    for (int field = 29; field < kFieldCount; ++field) {
        if (IsCountField(field)) {
            m_inputs[static_cast<std::size_t>(field)] = MakeList(Numbers(5, 18), this);
        } else {
            auto* distance = new QLineEdit(this);
            distance->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,4}")), distance));
            distance->setMaxLength(4);
            // A distance below the shortest race is taken as the shortest on leaving.
            connect(distance, &QLineEdit::editingFinished, distance, [distance] {
                if (distance->text().toInt() < kShortestUserDistance) {
                    distance->setText(QString::number(kShortestUserDistance));
                }
            });
            m_inputs[static_cast<std::size_t>(field)] = distance;
        }
    }
    auto* name = new QLineEdit(this);
    m_inputs[0] = name;
    for (int field = 0; field < kFieldCount; ++field) {
        Input(field)->setObjectName(QStringLiteral("field%1").arg(field));
        Input(field)->installEventFilter(this);
    }

    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("設定選択"), this));
    top->addWidget(m_selector, 1);
    top->addWidget(new QLabel(QStringLiteral("設定名"), this));
    top->addWidget(name, 1);
    layout->addLayout(top);
    const char* pairCaptions[] = {"１点目", "２点目", "３点目"};
    for (int surface = 0; surface < 2; ++surface) {
        auto* group = new QGroupBox(surface == 0 ? QStringLiteral("芝") : QStringLiteral("ﾀﾞｰﾄ"), this);
        auto* grid = new QGridLayout(group);
        auto addClear = [&](int row, std::initializer_list<int> fields) {
            auto* clear = new QPushButton(QStringLiteral("ｸﾘｱ"), group);
            std::vector<int> list(fields);
            connect(clear, &QPushButton::clicked, this, [this, list] {
                for (int field : list) {
                    SetFieldText(field, QString());
                }
            });
            grid->addWidget(clear, row, 5);
        };
        const int win = 1 + 2 * surface;
        grid->addWidget(new QLabel(QStringLiteral("単勝"), group), 0, 0);
        grid->addWidget(Input(win), 0, 1);
        grid->addWidget(Input(win + 1), 0, 2);
        addClear(0, {win, win + 1});
        for (int pair = 0; pair < 3; ++pair) {
            const int base = 5 + 12 * surface + 4 * pair;
            grid->addWidget(new QLabel(QString::fromUtf8(pairCaptions[pair]), group), pair + 1, 0);
            for (int i = 0; i < 4; ++i) {
                grid->addWidget(Input(base + i), pair + 1, i + 1);
            }
            addClear(pair + 1, {base, base + 1, base + 2, base + 3});
        }
        const int range = 29 + 4 * surface;
        grid->addWidget(new QLabel(QStringLiteral("頭数／距離"), group), 4, 0);
        for (int i = 0; i < 4; ++i) {
            grid->addWidget(Input(range + i), 4, i + 1);
        }
        layout->addWidget(group);
    }
    auto* note = new QLabel(QStringLiteral("※予想対象ﾚｰｽ条件で指定した範囲の頭数および距離のﾚｰｽのみﾕｰｻﾞｰ買い目の表示がされます。"
                                           "なお、新馬、未出走戦および障害ﾚｰｽは自動的に対象外とされます。"),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("設定登録(&R)"), this);
    auto* add = new QPushButton(QStringLiteral("設定追加"), this);
    auto* remove = new QPushButton(QStringLiteral("設定削除"), this);
    auto* close = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    save->setAutoDefault(false);
    add->setAutoDefault(false);
    remove->setAutoDefault(false);
    close->setAutoDefault(false);
    connect(save, &QPushButton::clicked, this, &UserSettingsWindow::Register);
    connect(add, &QPushButton::clicked, this, [this] {
        const std::vector<int> lines = m_sets.SetLines();
        FillSelector(lines.empty() ? -1 : lines.back());
    });
    connect(remove, &QPushButton::clicked, this, &UserSettingsWindow::Delete);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    for (QPushButton* button : {save, add, remove, close}) {
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    connect(m_selector, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(m_selectorLines.size())) {
            ShowLine(m_selectorLines[static_cast<std::size_t>(index)]);
        }
    });

    ClearAll();
    const int setId = kUserBettingSetId.Read(Settings(SettingsFile(m_appDir)));
    FillSelector(m_sets.SetAt(setId) ? setId : (m_sets.SetLines().empty() ? -1 : m_sets.SetLines().front()));
}

void UserSettingsWindow::SetPrompts(Ask ask, Tell tell)
{
    m_ask = std::move(ask);
    m_tell = std::move(tell);
}

QString UserSettingsWindow::FieldText(int field) const
{
    QWidget* input = Input(field);
    if (auto* box = qobject_cast<QComboBox*>(input)) {
        return box->currentText();
    }
    return static_cast<QLineEdit*>(input)->text();
}

void UserSettingsWindow::SetFieldText(int field, const QString& text)
{
    QWidget* input = Input(field);
    if (auto* box = qobject_cast<QComboBox*>(input)) {
        int found = 0;
        for (int i = 0; i < box->count(); ++i) {
            if (box->itemText(i).trimmed() == text.trimmed()) {
                found = i;
                break;
            }
        }
        box->setCurrentIndex(found);
        return;
    }
    static_cast<QLineEdit*>(input)->setText(text.trimmed());
}

void UserSettingsWindow::ClearAll()
{
    for (int field = 0; field < kFieldCount; ++field) {
        SetFieldText(field, QString());
    }
    for (int field : {31, 35}) {
        SetFieldText(field, QStringLiteral("1000"));
    }
    for (int field : {32, 36}) {
        SetFieldText(field, QStringLiteral("3000"));
    }
    // A new set starts on every field size; a shown set then sets its own counts.
    for (int field : {29, 33}) {
        SetFieldText(field, QStringLiteral(" 5"));
    }
    for (int field : {30, 34}) {
        SetFieldText(field, QStringLiteral("18"));
    }
}

void UserSettingsWindow::ShowLine(int line)
{
    ClearAll();
    const UserRuleSet* set = m_sets.SetAt(line);
    if (!set) {
        return;
    }
    // Not saved, the window still takes the value now; the next start shows the old one.
    static_cast<void>(kUserBettingSetId.Write(Settings(SettingsFile(m_appDir)), line));
    const std::vector<std::string> fields = UserRuleSetFields(AsShownInWindow(*set));
    for (int field = 0; field < kFieldCount && field < static_cast<int>(fields.size()); ++field) {
        SetFieldText(field, Q(fields[static_cast<std::size_t>(field)]));
    }
}

void UserSettingsWindow::FillSelector(int showLine)
{
    const QSignalBlocker blocker(m_selector);
    m_selector->clear();
    m_selectorLines = m_sets.SetLines();
    int index = -1;
    for (std::size_t i = 0; i < m_selectorLines.size(); ++i) {
        m_selector->addItem(Q(m_sets.SetAt(m_selectorLines[i])->name));
        if (m_selectorLines[i] == showLine) {
            index = static_cast<int>(i);
        }
    }
    m_selector->setCurrentIndex(index);
    if (index >= 0) {
        ShowLine(showLine);
    } else {
        ClearAll();
    }
}

void UserSettingsWindow::Register()
{
    std::vector<std::string> fields;
    for (int field = 0; field < kFieldCount; ++field) {
        fields.push_back(Cp932(FieldText(field)));
    }
    const std::optional<UserRuleSet> set = UserRuleSetFromFields(fields);
    if (!set) {
        return;
    }
    const UserSetResult result = m_session.SaveUserSet(m_sets, *set, [this](const std::string& q) { return m_ask(Q(q)); });
    if (!result.message.empty()) {
        m_tell(Q(result.message));
    }
    if (result.Written()) {
        FillSelector(result.shownLine);
    }
}

void UserSettingsWindow::Delete()
{
    const int index = m_selector->currentIndex();
    const int line = index >= 0 && index < static_cast<int>(m_selectorLines.size())
                         ? m_selectorLines[static_cast<std::size_t>(index)]
                         : -1;
    const UserSetResult result = m_session.DeleteUserSet(m_sets, line, [this](const std::string& q) { return m_ask(Q(q)); });
    if (!result.message.empty()) {
        m_tell(Q(result.message));
    }
    if (result.Written()) {
        FillSelector(result.shownLine);
    }
}

bool UserSettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Enter moves on to the next input, as the users type a whole set from the keyboard.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (auto* edit = qobject_cast<QLineEdit*>(watched)) {
                emit edit->editingFinished();
            }
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vornal::ui
