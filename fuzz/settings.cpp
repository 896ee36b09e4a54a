// The settings file "vornal.ini": every reader of a key and the user settings built from it.
#include "FuzzSupport.h"
#include "app/Settings.h"
#include "app/SettingKeys.h"
#include "app/UserSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path file = vornal::fuzz::ScratchDir() / "vornal.ini";
    vornal::fuzz::WriteInput(file, vornal::fuzz::Input(data, size));
    const vornal::Settings settings(file);
    (void)settings.ReadInteger("kaime", "No", 0);
    (void)settings.ReadBool("kaihatu", "priority", false);
    (void)settings.ReadString("Dir", "jikeiretu", "");
    std::vector<std::string> list{"1", "2"};
    settings.ReadStrings("User", "CarHosei", list);
    const vornal::Result<vornal::UserSettings> user = vornal::ReadUserSettings(settings);
    if (user) {
        for (int runs = -1; runs <= 12; ++runs) {
            (void)user.value.CareerAdj(runs);
        }
        for (int f = -1; f <= 12; ++f) {
            (void)user.value.JockeyTrainerCoefficient(f);
        }
    }
    return 0;
}
