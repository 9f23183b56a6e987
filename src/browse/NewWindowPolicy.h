#pragma once

#include <QObject>
#include <QString>

namespace koro {

class BrowserControl;
class TForm1;
class TForm3;

// Decides where a page's request for a new window goes: into a popup window of its own, or,
// with opennewfrm "OldForm", into the main page area by way of the hidden catcher.
class NewWindowPolicy : public QObject {
    Q_OBJECT
public:
    // Connects itself to the main window's page area and catcher; the main window owns it.
    explicit NewWindowPolicy(TForm1& mainWindow);

    // Popups hand their own requests here too, so they follow the same policy.
    void Webbrowser1NewWindow2(BrowserControl** target, bool* cancel);
    // Passes the new window's address on to the main page area and stops the catcher's load.
    void WebBrowser2BeforeNavigate2(const QString& url, bool* cancel);

    // A new popup window, already shown.
    TForm3* createPopup();
    // A popup showing url. When the navigation fails the window is destroyed and the error
    // goes on to the caller.
    TForm3* openPopup(const QString& url);

    TForm1& mainWindow() const { return m_main; }

signals:
    void popupCreated(koro::TForm3* popup);

private:
    TForm1& m_main;
};

} // namespace koro
