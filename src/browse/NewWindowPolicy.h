#pragma once

#include <QObject>
#include <QString>

namespace koro {

class BrowserControl;
class BrowserFactory;
class TForm3;
struct AppSettings;

// Decides where a page's request for a new window goes: into a popup window of its own, or,
// with opennewfrm "OldForm", into the main page area by way of the hidden catcher.
class NewWindowPolicy : public QObject {
    Q_OBJECT
public:
    // Connects itself to the main window's page area and catcher; the main window owns it and
    // the popups it makes. settings decides, at each request, where a new window goes.
    NewWindowPolicy(QWidget& mainWindow, BrowserControl& page, BrowserControl& catcher,
                    BrowserFactory& browsers, const AppSettings& settings);

    // Popups hand their own requests here too, so they follow the same policy.
    void Webbrowser1NewWindow2(BrowserControl** target, bool* cancel);
    // Passes the new window's address on to the main page area and stops the catcher's load.
    void WebBrowser2BeforeNavigate2(const QString& url, bool* cancel);

    // A new popup window, already shown.
    TForm3* createPopup();
    // A popup showing url. When the navigation fails the window is destroyed and the error
    // goes on to the caller.
    TForm3* openPopup(const QString& url);

    // Opens url in the main page area (a popup's "go to the main window").
    void openInMainWindow(const QString& url);

signals:
    void popupCreated(koro::TForm3* popup);

private:
    QWidget& m_main;
    BrowserControl& m_page;
    BrowserControl& m_catcher;
    BrowserFactory& m_browsers;
    const AppSettings& m_settings;
};

} // namespace koro
