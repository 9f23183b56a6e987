#include "config/AppSettings.h"

#include "config/ProfileFile.h"
#include "platform/AutostartEntry.h"
#include "platform/ScreenSaver.h"

namespace koro {

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
