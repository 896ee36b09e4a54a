#include "store/JvLink.h"

#include "text/Encoding.h"
#include "text/Fields.h"
#include "vocab/JvResultMessage.h"

namespace vornal {

std::string InitJvLink(JvLink& link)
{
    const int result = link.JVInit(kJvSoftwareId);
    if (result != 0) {
        return Sjis("JVInitエラー：") + JvResultMessage("JVInit", result);
    }
    return JvVersionNotice(link.Version());
}

std::string JvVersionNotice(std::string_view version)
{
    if (version >= "0490") {
        return {};
    }
    // "0480" reads as version 4.8.0: characters 2, 3 and 4 joined by dots.
    const std::string padded = PadRight(version, 4);
    const std::string dotted = padded.substr(1, 1) + "." + padded.substr(2, 1) + "." + padded.substr(3, 1);
    return Sjis("ご利用中のJV-Linkのバージョンは[") + dotted + Sjis("]です。") + "\r\n" +
           Sjis("本ソフトのご利用にはバージョン[4.9.0]以上が必要です。") + "\r\n" +
           Sjis("JRA-VANのホームページより最新のJV-Linkを入手し、インストールしてください。");
}

} // namespace vornal
