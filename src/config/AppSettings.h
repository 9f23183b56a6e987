#pragma once

#include <QByteArray>

namespace koro {

class ProfileFile;
class ScreenSaver;
class AutostartEntry;
struct Endpoints;

namespace settings {
inline constexpr char MainForm[] = "MainForm";
inline constexpr char UserPage[] = "UserPage";
inline constexpr char UserTV[] = "UserTV";
inline constexpr char UserTv[] = "UserTv";
inline constexpr char NoViewing[] = "24:0";
} // namespace settings

// The in-memory copy of both settings files. Values are kept as read (8-bit, code page) and
// written back unchanged unless something set them; code asks the typed accessors, so an odd
// stored value ("yes") acts as off and still goes back to the file as it was.
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

    bool useHotKey() const { return UseHotKey == "1"; }
    bool hasSkin() const { return !pifu.isEmpty(); }
    // New windows of a page replace the main page instead of opening a popup.
    bool opensInMainWindow() const { return opennewfrm == "OldForm"; }
    bool alwaysOnTop() const { return FrontShow == "1"; }
    bool closeWithoutAsking() const { return CloseTips != "0"; }
    // Popups get a taskbar entry of their own instead of belonging to the main window.
    bool minimizeToTaskbar() const { return MinTask == "1"; }
    bool compactAtStart() const { return Minstart == "1"; }
    bool viewingScheduled() const { return SeeTime != settings::NoViewing; }

    // What a start without settings files holds, but the home page, which the line decides.
    static AppSettings fresh();
    bool operator==(const AppSettings&) const = default;

    // Every MainForm key of Config.ini, each with its default when missing.
    void readConfigIni(const ProfileFile& configIni);
    // The home page and the viewing time of user.ini. A home page that is not the telecom
    // line's becomes the netcom line's: there are only the two lines.
    void readUserIni(const ProfileFile& userIni, const Endpoints& endpoints);
    bool onTelecomLine(const Endpoints& endpoints) const;
};

// The search engine Config.ini names ("Baidu" when missing); the navigation bar keeps it.
QByteArray readSearchEngine(const ProfileFile& configIni);

// Turns the screen saver on again, writes Config.ini (MainForm) and then user.ini (UserPage)
// in the fixed key order, and last removes the autostart entry. engineName is the search
// engine the navigation bar holds. A failed write throws koro::Error and leaves the keys after
// it unwritten and the autostart entry in place.
void saveIni(const AppSettings& settings, const QByteArray& engineName, ProfileFile& configIni,
             ProfileFile& userIni, ScreenSaver& screenSaver, AutostartEntry& autostart);

} // namespace koro
