#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QMenu;
class QUrl;
class QWebChannel;

namespace koro {

// What the program needs of an embedded web page area. Signals carry out-parameters, so
// they must be connected directly (same thread).
class BrowserControl : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;

    // Takes full addresses, bare host names, "about:blank" and local file paths.
    virtual void navigate(const QString& url) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void refresh() = 0;
    virtual void stop() = 0;
    virtual QString locationName() const = 0;
    virtual QString locationURL() const = 0;
    // Offers the channel's objects to the program's own page at ownPage (query and fragment
    // aside). The engine can only offer them to whatever the page area shows: the objects
    // must answer nothing unless locationURL() is the own page.
    virtual void setOwnPageChannel(QWebChannel* /*channel*/, const QUrl& /*ownPage*/) {}

    // CommandStateChange command numbers.
    static constexpr int CommandForward = 1;
    static constexpr int CommandBack = 2;

signals:
    void beforeNavigate2(const QString& url, bool* cancel);
    // The handler stores the instance that takes the new window's page in *target.
    void newWindow2(koro::BrowserControl** target, bool* cancel);
    void documentComplete(const QString& url);
    void commandStateChange(int command, bool enable);
    void statusTextChange(const QString& text);
    void windowClosing(bool isChildWindow, bool* cancel);
    // Nothing is loading any more, whatever the outcome: complete, failed, stopped, refused,
    // or a navigation inside a frame that left the page as it was.
    void loadingStopped();
    // The page's context menu is about to show; a handler may add its own actions to it.
    void contextMenuAboutToShow(QMenu* menu);
    // Size and place a script asked for (window.open features, resizeTo, moveTo).
    void geometryChangeRequested(const QRect& geometry);
};

enum class BrowserRole {
    PageArea,    // webbrowser1 of the main window
    Catcher,     // Webbrowser2: receives new windows and passes them on
    LoadingIcon, // WebLoading: the 16 x 16 animation
    Popup        // Webbrowser1 of a popup window
};

class BrowserFactory {
public:
    virtual ~BrowserFactory() = default;
    // The parent owns the result.
    virtual BrowserControl* create(BrowserRole role, QWidget* parent) = 0;
};

} // namespace koro
