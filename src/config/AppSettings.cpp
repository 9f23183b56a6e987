#include "config/AppSettings.h"

#include "config/Endpoints.h"
#include "config/ProfileFile.h"
#include "platform/AutostartEntry.h"
#include "platform/ScreenSaver.h"

namespace koro {

void AppSettings::readConfigIni(const ProfileFile& configIni) {
    using namespace settings;
    UseHotKey = configIni.readString(MainForm, "UseHotKey", "1");
    pifu = configIni.readString(MainForm, "pifu", "");
    opennewfrm = configIni.readString(MainForm, "opennewfrm", "NewForm");
    FrontShow = configIni.readString(MainForm, "FrontShow", "1");
    CloseTips = configIni.readString(MainForm, "CloseTips", "0");
    MinTask = configIni.readString(MainForm, "MinTask", "0");
    Minstart = configIni.readString(MainForm, "Minstart", "0");
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

    // Every key on every save, in this order; a throw leaves the rest unwritten.
    configIni.writeString(settings::MainForm, "pifu", settings.pifu);
    configIni.writeString(settings::MainForm, "FindWay", engineName);
    configIni.writeString(settings::MainForm, "CloseTips", settings.CloseTips);
    configIni.writeString(settings::MainForm, "opennewfrm", settings.opennewfrm);
    configIni.writeString(settings::MainForm, "frontshow", settings.FrontShow);
    configIni.writeString(settings::MainForm, "MinTask", settings.MinTask);
    configIni.writeString(settings::MainForm, "UseHotKey", settings.UseHotKey);
    configIni.writeString(settings::MainForm, "Minstart", settings.Minstart);

    userIni.writeString(settings::UserPage, "SP", settings.SP);

    autostart.removeEntry();
}

} // namespace koro
