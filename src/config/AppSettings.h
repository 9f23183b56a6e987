#pragma once

#include <QByteArray>

namespace koro {

class ProfileFile;
class ScreenSaver;
class AutostartEntry;

// The in-memory copy of both settings files. Values are kept as read (8-bit, code page) and
// written back unchanged unless something set them.
struct AppSettings {
    // Config.ini, section MainForm
    QByteArray UseHotKey;
    QByteArray pifu;
    QByteArray opennewfrm;
    QByteArray FrontShow;
    QByteArray CloseTips;
    QByteArray MinTask;
    QByteArray Minstart;
    // user.ini
    QByteArray SP;          // UserPage: home page, and with it the network line
    QByteArray SeeTime;     // UserTV: "H:M"; "24:0" means nothing is scheduled
    QByteArray ChannelName; // UserTv
    QByteArray ChannelUrl;  // UserTv
    // never stored
    QByteArray PowerOffTime;
    int LanguageId = 0;
};

namespace settings {
inline constexpr char MainForm[] = "MainForm";
inline constexpr char UserPage[] = "UserPage";
inline constexpr char UserTV[] = "UserTV";
inline constexpr char UserTv[] = "UserTv";
inline constexpr char NoViewing[] = "24:0";
} // namespace settings

// Turns the screen saver on again, writes Config.ini (MainForm) and then user.ini (UserPage)
// in the fixed key order, and last removes the autostart entry. engineName is the search
// engine the navigation bar holds. A failed write throws koro::Error and leaves the keys after
// it unwritten and the autostart entry in place.
void saveIni(const AppSettings& settings, const QByteArray& engineName, ProfileFile& configIni,
             ProfileFile& userIni, ScreenSaver& screenSaver, AutostartEntry& autostart);

} // namespace koro
