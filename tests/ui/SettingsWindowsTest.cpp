#include "SettingsWindowsTest.h"

#include <QComboBox>
#include <QDir>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "betting/UserSetFile.h"
#include "text/Encoding.h"
#include "ui/OddsTimeWindow.h"
#include "ui/UserSettingsWindow.h"

namespace fs = std::filesystem;
using namespace vornal;
using namespace vornal::ui;

namespace {

fs::path FreshDir(const char* name)
{
    const fs::path dir = fs::temp_directory_path() / (std::string(name) + "-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void Choose(UserSettingsWindow& window, int field, const QString& text)
{
    if (auto* box = qobject_cast<QComboBox*>(window.Input(field))) {
        box->setCurrentIndex(box->findText(text));
        QVERIFY(box->currentIndex() >= 0);
    } else {
        static_cast<QLineEdit*>(window.Input(field))->setText(text);
    }
}

std::string FileText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return ToUtf8(text.str());
}

} // namespace

void SettingsWindowsTest::theRuleSetWindowRejectsABadRuleAndSavesAGoodOne()
{
    const fs::path app = FreshDir("vornal-usersets");
    DaySession session(app);
    UserSettingsWindow window(session);
    QStringList told;
    QStringList asked;
    bool answer = false;
    window.SetPrompts([&](const QString& q) { asked << q; return answer; }, [&](const QString& m) { told << m; });
    window.show();
    // A new set shows the default runner counts: saved as they stand, it bets.
    for (int field : {29, 33}) {
        QCOMPARE(static_cast<QComboBox*>(window.Input(field))->currentText(), QStringLiteral(" 5"));
    }
    for (int field : {30, 34}) {
        QCOMPARE(static_cast<QComboBox*>(window.Input(field))->currentText(), QStringLiteral("18"));
    }

    Choose(window, 0, QStringLiteral("ABC"));
    Choose(window, 1, QStringLiteral("実績確率")); // a rating without its rank
    window.Register();
    QCOMPARE(told, QStringList{QStringLiteral("単勝・芝の入力が不正です。")});
    QVERIFY(!fs::exists(UserSetPath(app)));

    Choose(window, 2, QStringLiteral(" 1"));
    Choose(window, 5, QStringLiteral("格"));
    Choose(window, 6, QStringLiteral(" 2"));
    Choose(window, 7, QStringLiteral("格"));
    Choose(window, 8, QStringLiteral(" 2")); // both members the same
    window.Register();
    QCOMPARE(told.last(), QStringLiteral("芝１点目の入力が不正です。"));
    Choose(window, 8, QStringLiteral(" 3"));
    // Runner counts emptied on both surfaces: the set could never bet and is refused.
    for (int field : {29, 30, 33, 34}) {
        static_cast<QComboBox*>(window.Input(field))->setCurrentIndex(0);
    }
    window.Register();
    QCOMPARE(told.last(), QString::fromUtf8(kNeverBetsMessage));
    QVERIFY(!fs::exists(UserSetPath(app)));
    Choose(window, 29, QStringLiteral(" 5"));
    Choose(window, 30, QStringLiteral("18"));
    window.Register();
    QCOMPARE(told.last(), QStringLiteral("設定[ABC]を保存しました。"));
    QVERIFY(FileText(UserSetPath(app)).starts_with("ABC,実績確率, 1,,,格, 2,格, 3,"));
    QCOMPARE(window.Selector()->count(), 1);
    QCOMPARE(kUserBettingSetId.Read(Settings(SettingsFile(app))), 0);

    // The same name again asks first; No writes nothing.
    const std::string before = FileText(UserSetPath(app));
    Choose(window, 2, QStringLiteral(" 4"));
    const int toldBefore = static_cast<int>(told.size());
    window.Register();
    QCOMPARE(asked, QStringList{QStringLiteral("[ABC]はすでに登録済みの名称です。上書きしますか?")});
    QCOMPARE(static_cast<int>(told.size()), toldBefore);
    QCOMPARE(FileText(UserSetPath(app)), before);

    // A reopened window shows the saved set.
    UserSettingsWindow again(session);
    QDir().mkpath(QStringLiteral(VORNAL_SCREENSHOT_DIR));
    QVERIFY(again.grab().save(QStringLiteral(VORNAL_SCREENSHOT_DIR "/ユーザー買い目設定.png")));
    QCOMPARE(static_cast<QComboBox*>(again.Input(8))->currentText(), QStringLiteral(" 3"));
    fs::remove_all(app);
}

void SettingsWindowsTest::enterMovesOnAndAShortDistanceBecomes1000()
{
    const fs::path app = FreshDir("vornal-distance");
    DaySession session(app);
    UserSettingsWindow window(session);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* distance = static_cast<QLineEdit*>(window.Input(31));
    distance->setFocus();
    QTRY_VERIFY(distance->hasFocus());
    distance->setText(QStringLiteral("800"));
    QTest::keyClick(distance, Qt::Key_Return);
    QCOMPARE(distance->text(), QStringLiteral("1000"));
    QVERIFY(!distance->hasFocus());
    fs::remove_all(app);
}

void SettingsWindowsTest::theOddsTimeIsWrittenOnlyOnOk()
{
    const fs::path app = FreshDir("vornal-oddstime");
    {
        OddsTimeWindow window(app);
        QCOMPARE(window.Minutes()->value(), 30);
        window.Minutes()->setValue(45);
        window.reject();
    }
    QCOMPARE(kAutoOddsMinutes.Read(Settings(SettingsFile(app))), 30);
    OddsTimeWindow window(app);
    window.Minutes()->setValue(45);
    QTest::mouseClick(window.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(kAutoOddsMinutes.Read(Settings(SettingsFile(app))), 45);
    fs::remove_all(app);
}
