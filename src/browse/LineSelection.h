#pragma once

#include <QObject>

class QAction;

namespace koro {

class BrowserControl;
struct AppSettings;
struct Endpoints;

// The menu "线路选择": the user's network line decides the home page.
class LineSelection : public QObject {
    Q_OBJECT
public:
    // telcom and cnc are the menu's two checkable items; the home page goes to settings.
    LineSelection(QAction* telcom, QAction* cnc, BrowserControl& page, const Endpoints& endpoints,
                  AppSettings& settings, QObject* parent);

    void telcomClick();
    void cncClick();

private:
    // Choosing the line already checked does it all again, which reloads the home page.
    void choose(bool telecom);

    QAction* m_telcom;
    QAction* m_cnc;
    BrowserControl& m_page;
    const Endpoints& m_endpoints;
    AppSettings& m_settings;
};

} // namespace koro
