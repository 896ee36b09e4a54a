#include "vocab/JvResultMessage.h"

#include <span>

#include "text/Encoding.h"

namespace vornal {
namespace {

struct ResultText
{
    int code;
    std::string_view text; // UTF-8
};

// The texts are the component's own wording, odd blanks and half-width brackets included;
// users quote them to the data service's support, so they are kept as they are.
constexpr ResultText kInitTexts[] = {
    {0, "正常に実行されました。"},
    {-101, "sid が設定されていません。"},
    {-102, "sid が64byte 以上あります。"},
    {-103, "sid が不正（sid の１桁目がスペース）です。"},
};

constexpr ResultText kSetUiPropertiesTexts[] = {
    {0, "正常に実行されました。"},
    {-100, "パラメータが不正あるいはレジストリへの保存に失敗しました。"},
    {-101, "すでにサービスキーが登録されています。"},
};

constexpr ResultText kCloseTexts[] = {
    {0, "正常に実行されました。"},
};

// JVOpen and JVRTOpen share their result codes.
constexpr ResultText kOpenTexts[] = {
    {0, "正常に実行されました。"},
    {-1, " 取得済みデータより最新のデータがありません。"},
    {-2, "セットアップダイアログでキャンセルが押されました。"},
    {-111, "dataspec パラメータが不正です。"},
    {-112, "fromdate パラメータが不正です。"},
    {-114, "key パラメータが不正です。"},
    {-115, "option パラメータが不正です。"},
    {-116, "dataspec とoption の組み合わせが不正です。"},
    {-201, "JVInit が行なわれていません。"},
    {-202, "前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose が呼ばれていません。（オープン中）"},
    {-211, "レジストリ内容が不正（レジストリ内容が不正に変更された）です。"},
    {-301, "認証エラーが発生しました。"},
    {-302, "サービスキーの有効期限切れです。"},
    {-303, "サービスキーが設定されていません。（サービスキーが空値）"},
    {-305, "JV-Link 利用規約への同意が必要です。"},
    {-401, "JV-Link 内部エラーが発生しました。"},
    {-411, "サーバーエラー（HTTP ステータス404 NotFount ）が発生しました。"},
    {-412, "サーバーエラー（HTTP ステータス403 Forbidden ）が発生しました。"},
    {-413, "サーバーエラー（HTTP ステータス200,403,404 以外）が発生しました。"},
    {-421, "サーバーエラー（サーバーの応答が不正）が発生しました。"},
    {-431, "サーバーエラー（サーバーアプリケーション内部エラー）が発生しました。"},
    {-501, "セットアップ処理においてＣＤ －ＲＯＭ が無効です。"},
    {-504, "サーバーがメンテナンス中です。"},
};

constexpr ResultText kStatusTexts[] = {
    {0, "正常に実行されました。"},
    {-201, "JVInitが行なわれていません。"},
    {-203, "JVOpenが行なわれていません。"},
    {-502, "ダウンロードに失敗しました。（通信エラーやディスクエラーなど）"},
};

constexpr ResultText kReadTexts[] = {
    {0, "全ファイルの読み込みが終了しました。（ＥＯＦ ）"},
    {-1, "ファイルが切り替わりました。"},
    {-3, "ファイルダウンロード中"},
    {-201, "JVInitが行なわれていません。"},
    {-202, "前回のJVOpen/JVRTOpen/JVMVOpen に対してJVClose が呼ばれていません。（オープン中）"},
    {-203, "JVOpenが行なわれていません。"},
    {-402, "ダウンロードしたファイルサイズが異常です。"},
    {-403, "ダウンロードしたファイル内容が異常です。"},
    {-502, "ダウンロードに失敗しました。(通信エラーやディスクエラー)"},
    {-503, "ファイルが見つかりません。"},
};

std::span<const ResultText> TextsOf(std::string_view callName)
{
    if (callName == "JVInit") {
        return kInitTexts;
    }
    if (callName == "JVSetUIProperties") {
        return kSetUiPropertiesTexts;
    }
    if (callName == "JVClose") {
        return kCloseTexts;
    }
    if (callName == "JVOpen" || callName == "JVRTOpen") {
        return kOpenTexts;
    }
    if (callName == "JVStatus") {
        return kStatusTexts;
    }
    if (callName == "JVRead") {
        return kReadTexts;
    }
    return {};
}

std::string MessageOf(std::string_view callName, int code)
{
    // A positive JVStatus result is the number of files downloaded so far, a positive JVRead
    // result the size of the record just read.
    if (code > 0 && callName == "JVStatus") {
        return Sjis("ダウンロード済みファイル数") + std::to_string(code);
    }
    if (code > 0 && callName == "JVRead") {
        return Sjis("バッファにセットしたデータのサイズ") + std::to_string(code);
    }
    for (const ResultText& entry : TextsOf(callName)) {
        if (entry.code == code) {
            return Sjis(entry.text);
        }
    }
    return {};
}

} // namespace

std::string JvResultMessage(std::string_view callName, int code)
{
    return MessageOf(callName, code) + "(" + std::to_string(code) + ")";
}

} // namespace vornal
