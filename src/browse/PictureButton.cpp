#include "browse/PictureButton.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace koro {

PictureButton::PictureButton(QLabel* clickLabel, QLabel* normal, QLabel* mouseOver, QObject* parent)
    : QObject(parent)
    , m_label(clickLabel)
    , m_normal(normal)
    , m_mouseOver(mouseOver)
    , m_restingTop(mouseOver->y()) {
    setObjectName(clickLabel->objectName());
    clickLabel->installEventFilter(this);
}

void PictureButton::MouseEnter() {
    if (!m_label->isEnabled())
        return;
    m_mouseOver->show();
    m_normal->hide();
}

void PictureButton::MouseLeave() {
    if (!m_label->isEnabled())
        return;
    m_normal->show();
    m_mouseOver->hide();
}

void PictureButton::MouseDown(Qt::MouseButton button) {
    if (!m_label->isEnabled() || button != Qt::LeftButton)
        return;
    m_pressed = true;
    moveMouseOverTo(m_restingTop + 1);
}

void PictureButton::MouseUp(Qt::MouseButton button, bool inside) {
    if (!m_label->isEnabled())
        return;
    moveMouseOverTo(m_restingTop);
    if (button != Qt::LeftButton)
        return;
    const bool click = m_pressed && inside;
    m_pressed = false;
    if (click)
        emit clicked();
}

void PictureButton::moveMouseOverTo(int top) {
    m_mouseOver->move(m_mouseOver->x(), top);
}

bool PictureButton::eventFilter(QObject* watched, QEvent* event) {
    // The pictures may already be gone while the window is torn down.
    if (watched != m_label || !m_normal || !m_mouseOver)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
        MouseEnter();
        return false;
    case QEvent::Leave:
        MouseLeave();
        return false;
    case QEvent::MouseButtonPress: {
        if (!m_label->isEnabled())
            return false;
        MouseDown(static_cast<QMouseEvent*>(event)->button());
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        // The second press of a double click: the first press and release already clicked, so
        // this one only nudges the picture.
        if (!m_label->isEnabled())
            return false;
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            moveMouseOverTo(m_restingTop + 1);
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!m_label->isEnabled())
            return false;
        auto* mouse = static_cast<QMouseEvent*>(event);
        MouseUp(mouse->button(), m_label->rect().contains(mouse->position().toPoint()));
        return true;
    }
    default:
        return false;
    }
}

} // namespace koro
