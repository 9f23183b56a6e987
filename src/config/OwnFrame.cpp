#include "config/OwnFrame.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QToolButton>
#include <QWindow>

namespace koro {

namespace {

// A cross in the caption's text colour; drawn, so it needs no face or theme.
QIcon crossIcon(const QColor& colour) {
    constexpr int Size = 10;
    QPixmap cross(Size, Size);
    cross.fill(Qt::transparent);
    QPainter painter(&cross);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.drawLine(QPointF(1, 1), QPointF(Size - 1, Size - 1));
    painter.drawLine(QPointF(Size - 1, 1), QPointF(1, Size - 1));
    return QIcon(cross);
}

} // namespace

OwnFrame::OwnFrame(QWidget* window)
    : QObject(window)
    , m_window(window) {
    auto* content = new QWidget(window);
    content->setObjectName(QStringLiteral("OwnFrameContent"));
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == content)
            continue;
        // A new parent hides a widget; only what was meant to show shows again.
        const bool shown = !child->isHidden();
        child->setParent(content);
        child->setVisible(shown);
    }
    m_content = content;

    auto* caption = new QWidget(window);
    caption->setObjectName(QStringLiteral("OwnFrameCaption"));
    // Its own sheet outranks a skin's rules for every widget; the colours still follow the
    // skin's selection colours.
    caption->setAttribute(Qt::WA_StyledBackground);
    caption->setStyleSheet(QStringLiteral(
        "#OwnFrameCaption { background-color: palette(highlight); }"
        "#OwnFrameCaption QLabel { background: transparent; color: palette(highlighted-text); }"
        "#OwnFrameCaption QToolButton { background: transparent; border: none; padding: 0px; }"
        "#OwnFrameCaption QToolButton:hover { background-color: rgba(255, 255, 255, 0.3); }"));
    auto* row = new QHBoxLayout(caption);
    row->setContentsMargins(4, 0, 0, 0);
    row->setSpacing(0);
    auto* title = new QLabel(window->windowTitle(), caption);
    // Window titles come from pages.
    title->setTextFormat(Qt::PlainText);
    title->setAlignment(Qt::AlignCenter);
    auto* close = new QToolButton(caption);
    close->setObjectName(QStringLiteral("OwnFrameClose"));
    close->setIcon(crossIcon(window->palette().color(QPalette::HighlightedText)));
    close->setAutoRaise(true);
    close->setFixedSize(CaptionHeight, CaptionHeight);
    close->setFocusPolicy(Qt::NoFocus);
    close->setToolTip(QStringLiteral("关闭"));
    row->addWidget(title, 1);
    row->addWidget(close);
    m_caption = caption;
    m_title = title;
    m_close = close;

    connect(window, &QWidget::windowTitleChanged, title, &QLabel::setText);
    connect(close, &QToolButton::clicked, window, &QWidget::close);
    window->installEventFilter(this);
    caption->installEventFilter(this);
    title->installEventFilter(this);
    placeParts();
}

void OwnFrame::placeParts() {
    const QRect inner = m_window->rect().adjusted(Border, Border, -Border, -Border);
    m_caption->setGeometry(inner.left(), inner.top(), inner.width(), CaptionHeight);
    m_content->setGeometry(inner.adjusted(0, CaptionHeight, 0, 0));
}

void OwnFrame::paintBorder() {
    QPainter painter(m_window);
    painter.setPen(m_window->palette().color(QPalette::Dark));
    painter.drawRect(m_window->rect().adjusted(0, 0, -1, -1));
}

bool OwnFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window) {
        if (event->type() == QEvent::Resize)
            placeParts();
        else if (event->type() == QEvent::Paint)
            paintBorder();
        return false;
    }
    // Dragging the caption moves the window, as the manager's own caption would.
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (QWindow* handle = m_window->windowHandle())
            return handle->startSystemMove();
    }
    return false;
}

} // namespace koro
