#pragma once

#include "browse/TForm2.h"

#include <QObject>
#include <QPointer>

class QAction;

namespace koro {

class TForm1;

// The main menu's fixed site lists and help items: each item keeps its address as its hint and
// opens it in the page area; "关于我们" opens a new about window.
class SiteMenus : public QObject {
    Q_OBJECT
public:
    explicit SiteMenus(TForm1& form);

    // Object names of every site item, in menu order.
    static QStringList siteItemNames();

    // The handler behind every site item (sixroomClick, youkuClick, ...): they are all alike.
    void siteItemClick(QAction* item, const char* handlerName);
    void gywmClick();

    // The about window opened last, while it is open.
    TForm2* currentAbout() const { return m_currentAbout; }

private:
    TForm1& m_form;
    QPointer<TForm2> m_currentAbout;
};

} // namespace koro
