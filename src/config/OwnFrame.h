#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QToolButton>

namespace koro {

// A frame that a fixed-size window draws itself: a one-pixel border and a caption with the
// window's title and a single close button. Window managers such as openbox draw minimise and
// maximise buttons on every framed window, whatever hints it sets, so a window that must offer
// only "close" goes without the manager's frame (Qt::FramelessWindowHint) and uses this one.
//
// The window's child widgets move into a content area inside the frame, keeping their places,
// so layouts stay in the coordinates of the client area.
class OwnFrame : public QObject {
    Q_OBJECT
public:
    static constexpr int Border = 1;
    static constexpr int CaptionHeight = 20;

    explicit OwnFrame(QWidget* window);

    QWidget* caption() const { return m_caption; }
    QWidget* content() const { return m_content; }
    QToolButton* closeButton() const { return m_close; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeParts();
    void paintBorder();

    QWidget* m_window;
    QPointer<QWidget> m_caption;
    QPointer<QWidget> m_content;
    QPointer<QLabel> m_title;
    QPointer<QToolButton> m_close;
};

} // namespace koro
