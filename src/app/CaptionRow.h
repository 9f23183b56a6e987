#pragma once

#include <QObject>

class QMenuBar;
class QToolBar;
class QToolButton;

namespace koro {

// Shows a menu bar's menus as a row of flat caption buttons in a tool bar. Each button follows
// its menu's title, so a language file applied later relabels the row by itself. The row's
// place and spacing belong to the window's layout, whatever skin is applied, and before or after
// it is shown.
class CaptionRow : public QObject {
    Q_OBJECT
public:
    CaptionRow(QMenuBar* menus, QToolBar* bar);

    // Brings each button's hover look in line with where the pointer is now.
    void refreshHover();

private:
    QToolBar* m_bar;
};

} // namespace koro
