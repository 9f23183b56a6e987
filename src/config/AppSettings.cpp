#include "config/AppSettings.h"

#include "config/Endpoints.h"
#include "config/ProfileFile.h"
#include "platform/AutostartEntry.h"
#include "platform/ScreenSaver.h"

namespace koro {

AppSettings AppSettings::fresh() {
    AppSettings s;
    s.UseHotKey = "1";
    s.opennewfrm = "NewForm";
    s.FrontShow = "1";
    s.CloseTips = "0";
    s.MinTask = "0";
    s.Minstart = "0";
    s.SeeTime = settings::NoViewing;
    return s;
}

void AppSettings::readConfigIni(const ProfileFile& configIni) {
    const AppSettings d = fresh();
    const auto read = [&](const char* key, const QByteArray& def) {
        return configIni.readString(settings::MainForm, key, def);
    };
    UseHotKey = read("UseHotKey", d.UseHotKey);
    pifu = read("pifu", d.pifu);
    opennewfrm = read("opennewfrm", d.opennewfrm);
    FrontShow = read("FrontShow", d.FrontShow);
    CloseTips = read("CloseTips", d.CloseTips);
    MinTask = read("MinTask", d.MinTask);
    Minstart = read("Minstart", d.Minstart);
}

void AppSettings::readUserIni(const ProfileFile& userIni, const Endpoints& endpoints) {
    const QByteArray telecom = endpoints.telecomHome.toUtf8();
    SP = userIni.readString(settings::UserPage, "SP", telecom);
    if (SP != telecom)
        SP = endpoints.netcomHome.toUtf8();
    SeeTime = userIni.readString(settings::UserTV, "SeeTime", settings::NoViewing);
}

bool AppSettings::onTelecomLine(const Endpoints& endpoints) const {
    return SP == endpoints.telecomHome.toUtf8();
}

QByteArray readSearchEngine(const ProfileFile& configIni) {
    return configIni.readString(settings::MainForm, "FindWay", "Baidu");
}

void saveIni(const AppSettings& settings, const QByteArray& engineName, ProfileFile& configIni,
             ProfileFile& userIni, ScreenSaver& screenSaver, AutostartEntry& autostart) {
    // Undoes the suspension of the start-up.
    screenSaver.setActive(true);

    // Every key on every save, in this order, each file replaced once: a crash in the middle
    // never leaves keys of two saves in one file.
    configIni.writeStrings(settings::MainForm, {{"pifu", settings.pifu},
                                                {"FindWay", engineName},
                                                {"CloseTips", settings.CloseTips},
                                                {"opennewfrm", settings.opennewfrm},
                                                {"frontshow", settings.FrontShow},
                                                {"MinTask", settings.MinTask},
                                                {"UseHotKey", settings.UseHotKey},
                                                {"Minstart", settings.Minstart}});

    userIni.writeString(settings::UserPage, "SP", settings.SP);

    autostart.removeEntry();
}

} // namespace koro
