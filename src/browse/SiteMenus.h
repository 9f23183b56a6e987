#pragma once

#include "browse/TForm2.h"

#include <QObject>
#include <QPointer>

class QAction;

namespace koro {

class BrowserControl;
struct Endpoints;

// The main menu's fixed site lists and help items: each item keeps its address as its hint and
// opens it in the page area; "关于我们" opens a new about window.
class SiteMenus : public QObject {
    Q_OBJECT
public:
    // mainWindow holds the site items (found by object name) and owns the about windows;
    // gywm is the item that opens one.
    SiteMenus(QWidget& mainWindow, QAction* gywm, BrowserControl& page, const Endpoints& endpoints);

    // Object names of every site item, in menu order.
    static QStringList siteItemNames();

    // The handler behind every site item (sixroomClick, youkuClick, ...): they are all alike.
    void siteItemClick(QAction* item, const char* handlerName);
    void gywmClick();

    // The about window opened last, while it is open.
    TForm2* currentAbout() const { return m_currentAbout; }

private:
    QWidget& m_mainWindow;
    BrowserControl& m_page;
    const Endpoints& m_endpoints;
    QPointer<TForm2> m_currentAbout;
};

} // namespace koro
