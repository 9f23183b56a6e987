#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class QEvent;
class QLabel;

namespace koro {

// A button drawn as a stack of pictures with a transparent click label on top. The label takes
// the mouse: entering swaps the normal picture for the mouse-over one, pressing nudges the
// mouse-over picture 1 pixel down, and a left press and release inside is a click. A disabled
// label takes no mouse at all.
class PictureButton : public QObject {
    Q_OBJECT
public:
    // Named after the click label; the pictures stay owned by their parent widget.
    PictureButton(QLabel* clickLabel, QLabel* normal, QLabel* mouseOver, QObject* parent);

    void MouseEnter();
    void MouseLeave();
    void MouseDown(Qt::MouseButton button);
    // inside: whether the button was released over the label.
    void MouseUp(Qt::MouseButton button, bool inside);

    // Where the mouse-over picture rests; one pixel lower while pressed.
    int restingTop() const { return m_restingTop; }

signals:
    void clicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveMouseOverTo(int top);

    // Held as widgets: the label sends events from its base destructor, when it is no longer a
    // QLabel, and a QPointer<QLabel> would downcast it.
    QPointer<QWidget> m_label;
    QPointer<QWidget> m_normal;
    QPointer<QWidget> m_mouseOver;
    int m_restingTop = 0;
    bool m_pressed = false;
};

} // namespace koro
