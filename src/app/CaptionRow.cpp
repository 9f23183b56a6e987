#include "app/CaptionRow.h"

#include <QAction>
#include <QCursor>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace koro {

CaptionRow::CaptionRow(QMenuBar* menus, QToolBar* bar)
    : QObject(bar)
    , m_bar(bar) {
    // Set on the bar itself, so it outranks any skin: a tool bar otherwise takes its margins
    // and spacing from whatever style sheet was active when it was polished.
    bar->setStyleSheet("QToolBar { border: none; margin: 0px; padding: 0px; spacing: 0px; }"
                       "QToolButton { padding: 0px 1px; }"
                       "QToolButton::menu-indicator { image: none; width: 0px; }");
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setSpacing(0);
    for (QAction* topLevel : menus->actions()) {
        auto* button = new QToolButton(bar);
        button->setDefaultAction(topLevel);
        button->setPopupMode(QToolButton::InstantPopup);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setAutoRaise(true);
        button->setFixedSize(55, 21);
        bar->addWidget(button);
        // While a menu is open it holds the pointer, so the buttons never learn that the
        // pointer left them; without this they stay drawn as hovered after the menu closes.
        if (QMenu* menu = topLevel->menu<QMenu*>()) {
            connect(menu, &QMenu::aboutToHide, this,
                    [this] { QTimer::singleShot(0, this, &CaptionRow::refreshHover); });
        }
    }
}

void CaptionRow::refreshHover() {
    const QPoint pointer = QCursor::pos();
    for (QToolButton* button : m_bar->findChildren<QToolButton*>()) {
        const bool inside =
            button->isVisible() && button->rect().contains(button->mapFromGlobal(pointer));
        if (button->underMouse() != inside) {
            button->setAttribute(Qt::WA_UnderMouse, inside);
            button->update();
        }
    }
}

} // namespace koro
