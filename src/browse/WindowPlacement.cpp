#include "browse/WindowPlacement.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace koro {

namespace {

// How long after it is placed a window is held there, and how often it is put back.
constexpr int HoldMs = 2000;
constexpr int MaxTries = 3;

} // namespace

WindowPlacement::WindowPlacement(QWidget& window)
    : QObject(&window)
    , m_window(window) {
    m_window.installEventFilter(this);
}

void WindowPlacement::place(QSize size, QPoint frameTopLeft, const QRect& area,
                            const QMargins& frame) {
    m_size = size.boundedTo(area.size().shrunkBy(frame)).expandedTo(m_window.minimumSizeHint());
    m_frame = inside(QRect(frameTopLeft, m_size.grownBy(frame)), area);
    m_tries = 0;
    m_holding = QDeadlineTimer(HoldMs);
    // A place of the program's own, which the window system keeps where its own choice may run
    // over the screen's edge.
    m_window.setGeometry(m_frame->marginsRemoved(frame));
}

QRect WindowPlacement::inside(QRect outer, const QRect& area) {
    outer.setSize(outer.size().boundedTo(area.size()));
    outer.moveLeft(std::max(area.left(), std::min(outer.left(), area.right() + 1 - outer.width())));
    outer.moveTop(std::max(area.top(), std::min(outer.top(), area.bottom() + 1 - outer.height())));
    return outer;
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        hold();
    return QObject::eventFilter(watched, event);
}

void WindowPlacement::hold() {
    // Only once the frame is known; a size still on its way would be sent again with a move,
    // and lost.
    if (!m_frame || m_holding.hasExpired() || m_window.frameGeometry() == m_window.geometry() ||
        m_window.size() != m_size || m_window.frameGeometry().topLeft() == m_frame->topLeft() ||
        ++m_tries > MaxTries)
        return;
    QTimer::singleShot(0, this, [this] {
        if (m_frame && m_window.size() == m_size)
            m_window.move(m_window.pos() + m_frame->topLeft() - m_window.frameGeometry().topLeft());
    });
}

} // namespace koro
