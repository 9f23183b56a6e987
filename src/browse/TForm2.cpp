#include "browse/TForm2.h"

#include "config/Endpoints.h"
#include "platform/FileVersion.h"
#include "ui_TForm2.h"
#include "webengine/BrowserControl.h"

#include <QIcon>
#include <QMouseEvent>
#include <QWindow>

namespace koro {

namespace {

constexpr char Song[] = "宋体";
constexpr char SansSerif[] = "MS Sans Serif";

QFont pixelFont(const char* family, int pixels) {
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

TForm2::TForm2(QWidget& owner, BrowserControl& page, const Endpoints& endpoints,
               const QString& executablePath)
    : QWidget(&owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
    , m_ui(std::make_unique<Ui::TForm2>())
    , m_owner(owner)
    , m_page(page) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // Until the window manager tells the frame's size, the client area takes the whole size.
    setFixedSize(OuterSize);
    applyFonts();

    m_ui->Image1->setPixmap(QIcon(":/images/app/koro.svg").pixmap(48, 48));
    setLink(m_ui->Label4, endpoints.makerHome);
    setLink(m_ui->Label8, endpoints.makerAbout);
    connect(m_ui->Button1, &QPushButton::clicked, this, &TForm2::Button1Click);

    FormCreate(executablePath);
    placeOverOwner();
}

TForm2::~TForm2() = default;

void TForm2::applyFonts() {
    setFont(pixelFont(SansSerif, 11));
    for (QWidget* chinese : {m_ui->Label6, m_ui->Label3, m_ui->Label7})
        chinese->setFont(pixelFont(Song, 12));
    m_ui->Label5->setFont(pixelFont(Song, 21));
    m_ui->Label2->setFont(pixelFont(SansSerif, 13));
    m_ui->Button1->setFont(pixelFont(Song, 13));
    // Captions that size themselves to their text, so a link is clickable only on its text.
    for (QLabel* label : {m_ui->Label5, m_ui->Label2})
        label->adjustSize();
}

void TForm2::setLink(QLabel* label, const QString& url) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setText(url);
    label->setToolTip(url);
    label->adjustSize();
    label->installEventFilter(this);
}

void TForm2::FormCreate(const QString& executablePath) {
    m_ui->version->setText(fileVersionText(executablePath));
    m_ui->version->adjustSize();
}

void TForm2::Label4Click() {
    followLink(m_ui->Label4);
}

void TForm2::Label8Click() {
    followLink(m_ui->Label8);
}

void TForm2::Button1Click() {
    close();
}

void TForm2::followLink(const QLabel* label) {
    // The main window may be hidden in the tray: its page area still takes the address.
    m_page.navigate(label->toolTip());
    close();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* label = static_cast<QLabel*>(watched);
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A click is a press and release over the label, as with a button.
        if (mouse->button() == Qt::LeftButton &&
            label->rect().contains(mouse->position().toPoint())) {
            if (label == m_ui->Label4)
                Label4Click();
            else if (label == m_ui->Label8)
                Label8Click();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TForm2::placeOverOwner() {
    const QPoint centre = m_owner.frameGeometry().center();
    move(centre - QPoint(OuterSize.width() / 2, OuterSize.height() / 2));
}

bool TForm2::event(QEvent* event) {
    // The frame's size is known only once the window manager has framed the window.
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowActivate:
        fitOuterSize();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TForm2::fitOuterSize() {
    const QWindow* window = windowHandle();
    if (!window)
        return;
    const QSize client = OuterSize.shrunkBy(window->frameMargins());
    if (client.isValid() && size() != client)
        setFixedSize(client);
}

} // namespace koro
