#pragma once

#include <QDeadlineTimer>
#include <QMargins>
#include <QObject>
#include <QRect>

#include <optional>

class QWidget;

namespace koro {

// Puts a window, frame and all, wholly inside a screen area and holds its frame there while the
// window system frames it: systems place a window they are still framing by its frame or by its
// inside, and some move it to the screen's corner.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    explicit WindowPlacement(QWidget& window);

    // Gives the window the inside size and puts its frame at frameTopLeft, both cut to lie in
    // area. frame: the frame the window system draws, or the best guess before it has.
    void place(QSize size, QPoint frameTopLeft, const QRect& area, const QMargins& frame);

    // The outer rectangle moved, and cut where it is larger, to lie wholly in area.
    static QRect inside(QRect outer, const QRect& area);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void hold();

    QWidget& m_window;
    std::optional<QRect> m_frame; // where the frame goes, while the window system may move it
    QSize m_size;
    QDeadlineTimer m_holding;
    int m_tries = 0;
};

} // namespace koro
