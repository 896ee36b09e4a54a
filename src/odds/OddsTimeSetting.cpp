#include "odds/OddsTimeSetting.h"

#include "app/AppDir.h"
#include "app/SettingKeys.h"
#include "app/Settings.h"
#include "text/Encoding.h"
#include "text/Format.h"

namespace vornal {

int OddsTimeSetting(const std::filesystem::path& appDir)
{
    return kAutoOddsMinutes.Read(Settings(SettingsFile(appDir)));
}

Status SetOddsTimeSetting(const std::filesystem::path& appDir, int minutes)
{
    if (minutes < kOddsTimeMin || minutes > kOddsTimeMax) {
        return Status::Failure(fmt::sprintf(Sjis("発走%d分前から%d分前までの値を指定してください。"), kOddsTimeMin, kOddsTimeMax));
    }
    if (!kAutoOddsMinutes.Write(Settings(SettingsFile(appDir)), minutes)) {
        return Status::Failure(Sjis("設定ファイルに書き込めません: ") + PathText(SettingsFile(appDir)));
    }
    return Status::Success();
}

} // namespace vornal
