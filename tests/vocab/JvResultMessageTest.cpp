#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "Cp932Checks.h"
#include "text/Encoding.h"
#include "vocab/JvResultMessage.h"

namespace vornal {
namespace {

using testing::IsWholeCp932;

const char* const kCallNames[] = {"JVInit", "JVSetUIProperties", "JVClose", "JVOpen", "JVRTOpen", "JVStatus", "JVRead"};

std::string Bracketed(int code)
{
    return "(" + std::to_string(code) + ")";
}

bool EndsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(JvResultMessage, EveryResultEndsWithTheBracketedCode)
{
    for (const char* name : kCallNames) {
        for (int code = -600; code <= 600; ++code) {
            std::string message = JvResultMessage(name, code);
            ASSERT_TRUE(EndsWith(message, Bracketed(code))) << name << ' ' << code;
            EXPECT_TRUE(IsWholeCp932(message)) << name << ' ' << code;
        }
    }
    EXPECT_EQ(JvResultMessage("JVRead", INT_MIN), "(-2147483648)");
}

TEST(JvResultMessage, OpenKeepsTheLeadingBlank)
{
    EXPECT_EQ(JvResultMessage("JVOpen", -1), Sjis(" 取得済みデータより最新のデータがありません。") + "(-1)");
    EXPECT_EQ(JvResultMessage("JVOpen", -1)[0], ' ');
}

TEST(JvResultMessage, RealtimeOpenSharesTheOpenTable)
{
    int documented = 0;
    for (int code = -600; code <= 10; ++code) {
        EXPECT_EQ(JvResultMessage("JVRTOpen", code), JvResultMessage("JVOpen", code)) << code;
        documented += JvResultMessage("JVOpen", code) != Bracketed(code) ? 1 : 0;
    }
    EXPECT_EQ(documented, 23);
}

TEST(JvResultMessage, PositiveCountsAreSpelledOut)
{
    EXPECT_EQ(JvResultMessage("JVRead", 120), Sjis("バッファにセットしたデータのサイズ") + "120(120)");
    EXPECT_EQ(JvResultMessage("JVStatus", 3), Sjis("ダウンロード済みファイル数") + "3(3)");
    // Other calls have no positive results: only the code remains.
    EXPECT_EQ(JvResultMessage("JVOpen", 5), "(5)");
    EXPECT_EQ(JvResultMessage("JVInit", 1), "(1)");
}

TEST(JvResultMessage, UndocumentedCodesAndNamesGiveTheCodeAlone)
{
    EXPECT_EQ(JvResultMessage("JVClose", -201), "(-201)");
    EXPECT_EQ(JvResultMessage("JVClose", 0), Sjis("正常に実行されました。") + "(0)");
    EXPECT_EQ(JvResultMessage("JVRead", -2), "(-2)");
    EXPECT_EQ(JvResultMessage("JVStatus", -202), "(-202)");
    // Call names are exact.
    EXPECT_EQ(JvResultMessage("jvopen", 0), "(0)");
    EXPECT_EQ(JvResultMessage("JVOpen ", -1), "(-1)");
    EXPECT_EQ(JvResultMessage("", 0), "(0)");
    EXPECT_EQ(JvResultMessage("JVMVOpen", -1), "(-1)");
}

TEST(JvResultMessage, EachCallHasItsOwnWording)
{
    // The init code -101 means a missing sid for JVInit but a registered key for the
    // properties dialog.
    EXPECT_EQ(JvResultMessage("JVInit", -101), Sjis("sid が設定されていません。") + "(-101)");
    EXPECT_EQ(JvResultMessage("JVSetUIProperties", -101), Sjis("すでにサービスキーが登録されています。") + "(-101)");
    EXPECT_EQ(JvResultMessage("JVSetUIProperties", -100),
              Sjis("パラメータが不正あるいはレジストリへの保存に失敗しました。") + "(-100)");
    // JVOpen writes "JVInit が" with a blank, JVStatus and JVRead without.
    EXPECT_EQ(JvResultMessage("JVOpen", -201), Sjis("JVInit が行なわれていません。") + "(-201)");
    EXPECT_EQ(JvResultMessage("JVStatus", -201), Sjis("JVInitが行なわれていません。") + "(-201)");
    EXPECT_EQ(JvResultMessage("JVRead", -201), JvResultMessage("JVStatus", -201));
    // Download failure: full-width brackets for JVStatus, half-width ones for JVRead.
    EXPECT_EQ(JvResultMessage("JVStatus", -502), Sjis("ダウンロードに失敗しました。") + "\x81\x69" +
                                                     Sjis("通信エラーやディスクエラーなど") + "\x81\x6A(-502)");
    EXPECT_EQ(JvResultMessage("JVRead", -502),
              Sjis("ダウンロードに失敗しました。") + "(" + Sjis("通信エラーやディスクエラー") + ")(-502)");
    EXPECT_EQ(JvResultMessage("JVRead", -1), Sjis("ファイルが切り替わりました。") + "(-1)");
}

} // namespace
} // namespace vornal
